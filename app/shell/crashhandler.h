#pragma once

#include <csignal>
#include <ucontext.h>

// What a failure hook knows about the failure. Signal hooks get it from the
// kernel; the others (terminate, failed allocation) build it with
// captureExceptionPointers.
struct ExceptionPointers {
    int signal = 0;                      // 0 when the failure is no signal
    int code = 0;                        // si_code of a signal, or the caller's code
    const void* faultAddress = nullptr;  // si_addr, or the address of the failing call
    const ucontext_t* context = nullptr; // registers at the failure
    const char* reason = "";             // short text for the report, e.g. "terminate"
    const char* detail = nullptr;        // further text, e.g. the uncaught exception
    bool sentByProcess = false;          // kill(), sigqueue() or raise(): no fault address
    long senderPid = 0;                  // the sending process when sentByProcess
};

// Makes sure that a crash of any kind leaves a report in crash/ and ends the
// process with the exit code 1. One static instance is constructed before
// main runs; the hooks stay installed for the life of the process.
class CrashHandler {
public:
    CrashHandler();
    virtual ~CrashHandler();

    CrashHandler(const CrashHandler&) = delete;
    CrashHandler& operator=(const CrashHandler&) = delete;

    // The folder, relative to the working directory, that takes the reports.
    static constexpr const char* kDumpFolder = "crash";
};

// Failed allocation and abort (SIGABRT, SIGBUS), process-wide hooks.
void installProcessHandlers();
// terminate and the fatal signals SIGFPE, SIGILL and SIGSEGV, and an
// alternate signal stack for the calling thread so that a stack overflow
// can still be reported. Other threads may call it for their own stack.
void installThreadHandlers();

// Gives the calling thread an alternate signal stack unless it has one, so
// that a stack overflow on it still leaves a report. Cheap to call again;
// the stack of a thread other than the first is released when it ends.
void installThreadAltStack();

// Writes one report file into crash/. Async-signal-safe. Returns whether the
// whole report was written.
bool writeMiniDump(const ExceptionPointers* info);

// Builds failure information for a hook that is given none: the registers
// and return address at the call. Uses static storage, since the heap may be
// what failed; the process ends right after the report.
void captureExceptionPointers(int code, ExceptionPointers*& out);

// File name of a report for the given local time and random number 0..99:
// vesk.yyyy-MM-dd-hh-mm-ss-ms-rr.dmp, every field at least two digits wide.
// Writes into buf (at least 48 bytes) without allocating and returns buf.
char* crashDumpFileName(char* buf, int year, int month, int day, int hour, int minute, int second,
                        int millisecond, int random);
