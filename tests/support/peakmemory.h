#pragma once

// The process's peak resident set (VmHWM) in KiB, or -1 when unknown.
long peakResidentKiB();
