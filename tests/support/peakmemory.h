#pragma once

// The process's peak resident set (VmHWM) in KiB, or -1 when unknown.
long peakResidentKiB();

// A test's bound on peakResidentKiB(), in KiB, for a bound of plainMiB in a
// plain build. The sanitizer build doubles it: AddressSanitizer's shadow
// memory, the red zones around every block and its quarantine of freed
// blocks (256 MiB by default) are resident beside the program's own memory.
long peakResidentBoundKiB(long plainMiB);
