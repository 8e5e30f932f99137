#include "app/shell/crashhandler.h"

#include "app/shell/version.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <cxxabi.h>
#include <exception>
#include <execinfo.h>
#include <fcntl.h>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <typeinfo>
#include <unistd.h>

// Everything that runs inside a handler is async-signal-safe: no heap, no
// stdio, no locks; numbers are formatted by hand and written with write(2).

namespace {

constexpr int kMaxFrames = 128;
constexpr std::size_t kAltStackSize = 64 * 1024;
// Enough for the main thread's signal frames and a backtrace.
alignas(16) char g_mainAltStack[kAltStackSize];

// Offset of local time from UTC in seconds, read at installation because
// localtime_r is not safe inside a signal handler.
std::atomic<long> g_utcOffset{0};
std::atomic<unsigned> g_randomState{1};
// Thread that is writing a report; 0 while none is.
std::atomic<long> g_handlingThread{0};

long currentThreadId() {
    return static_cast<long>(syscall(SYS_gettid));
}

void refreshUtcOffset() {
    tzset();
    const time_t now = time(nullptr);
    struct tm local;
    if (localtime_r(&now, &local))
        g_utcOffset.store(local.tm_gmtoff);
}

// A small linear congruential generator, so the handler needs no locked
// libc state; seeded at installation.
int drawRandom() {
    unsigned state = g_randomState.load();
    unsigned next;
    do {
        next = state * 1103515245u + 12345u;
    } while (!g_randomState.compare_exchange_weak(state, next));
    return static_cast<int>((next >> 16) % 100u);
}

// Civil date from days since 1970-01-01 (proleptic Gregorian).
void civilFromDays(long long z, int& year, int& month, int& day) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(month <= 2 ? y + 1 : y);
}

struct LocalTime {
    int year, month, day, hour, minute, second, millisecond;
};

LocalTime localNow() {
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    const long long local = static_cast<long long>(ts.tv_sec) + g_utcOffset.load();
    long long days = local / 86400;
    long long rest = local % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    LocalTime t;
    civilFromDays(days, t.year, t.month, t.day);
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest / 60 % 60);
    t.second = static_cast<int>(rest % 60);
    t.millisecond = static_cast<int>(ts.tv_nsec / 1000000);
    return t;
}

// Appends text to a fixed buffer without allocating.
class Text {
public:
    Text(char* buf, std::size_t size) : m_buf(buf), m_size(size) { m_buf[0] = '\0'; }

    Text& str(const char* s) {
        while (s && *s && m_len + 1 < m_size)
            m_buf[m_len++] = *s++;
        m_buf[m_len] = '\0';
        return *this;
    }
    Text& dec(long long v, int minDigits = 1) {
        char digits[24];
        int n = 0;
        const bool negative = v < 0;
        unsigned long long u = negative ? 0ull - static_cast<unsigned long long>(v)
                                        : static_cast<unsigned long long>(v);
        do {
            digits[n++] = static_cast<char>('0' + u % 10);
            u /= 10;
        } while (u && n < 23);
        while (n < minDigits && n < 23)
            digits[n++] = '0';
        if (negative)
            str("-");
        while (n > 0) {
            const char c[2] = {digits[--n], '\0'};
            str(c);
        }
        return *this;
    }
    Text& hex(std::uintptr_t v) {
        char digits[2 + 2 * sizeof v + 1];
        digits[0] = '0';
        digits[1] = 'x';
        for (std::size_t i = 0; i < 2 * sizeof v; ++i)
            digits[2 + i] = "0123456789abcdef"[(v >> (4 * (2 * sizeof v - 1 - i))) & 0xf];
        digits[sizeof digits - 1] = '\0';
        return str(digits);
    }
    const char* data() const { return m_buf; }
    std::size_t size() const { return m_len; }
    void clear() {
        m_len = 0;
        m_buf[0] = '\0';
    }

private:
    char* m_buf;
    std::size_t m_size;
    std::size_t m_len = 0;
};

bool writeAll(int fd, const char* data, std::size_t len) {
    while (len > 0) {
        const ssize_t n = write(fd, data, len);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        len -= static_cast<std::size_t>(n);
    }
    return true;
}

bool flush(int fd, Text& text) {
    const bool ok = writeAll(fd, text.data(), text.size());
    text.clear();
    return ok;
}

const char* signalName(int sig) {
    switch (sig) {
    case SIGSEGV:
        return "SIGSEGV";
    case SIGFPE:
        return "SIGFPE";
    case SIGILL:
        return "SIGILL";
    case SIGBUS:
        return "SIGBUS";
    case SIGABRT:
        return "SIGABRT";
    default:
        return "signal";
    }
}

bool writeRegisters(int fd, Text& text, const ucontext_t* ctx) {
    if (!ctx)
        return true;
    text.str("registers:\n");
#if defined(__x86_64__)
    static const struct {
        const char* name;
        int index;
    } regs[] = {
        {"rip", REG_RIP}, {"rsp", REG_RSP}, {"rbp", REG_RBP}, {"rax", REG_RAX},
        {"rbx", REG_RBX}, {"rcx", REG_RCX}, {"rdx", REG_RDX}, {"rsi", REG_RSI},
        {"rdi", REG_RDI}, {"r8", REG_R8},   {"r9", REG_R9},   {"r10", REG_R10},
        {"r11", REG_R11}, {"r12", REG_R12}, {"r13", REG_R13}, {"r14", REG_R14},
        {"r15", REG_R15}, {"efl", REG_EFL}, {"err", REG_ERR}, {"trapno", REG_TRAPNO},
    };
    for (const auto& r : regs) {
        text.str("  ")
            .str(r.name)
            .str(" ")
            .hex(static_cast<std::uintptr_t>(ctx->uc_mcontext.gregs[r.index]))
            .str("\n");
        if (!flush(fd, text))
            return false;
    }
#elif defined(__aarch64__)
    for (int i = 0; i < 31; ++i) {
        text.str("  x").dec(i).str(" ").hex(ctx->uc_mcontext.regs[i]).str("\n");
        if (!flush(fd, text))
            return false;
    }
    text.str("  sp ").hex(ctx->uc_mcontext.sp).str("\n");
    text.str("  pc ").hex(ctx->uc_mcontext.pc).str("\n");
    text.str("  pstate ").hex(ctx->uc_mcontext.pstate).str("\n");
#endif
    return flush(fd, text);
}

bool copyMaps(int fd) {
    const int maps = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (maps < 0)
        return false;
    char buf[4096];
    bool ok = true;
    for (;;) {
        const ssize_t n = read(maps, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        if (!writeAll(fd, buf, static_cast<std::size_t>(n))) {
            ok = false;
            break;
        }
    }
    close(maps);
    return ok;
}

// Opens a new report file; draws a new number when the name is taken, so an
// older report is never overwritten.
int createDumpFile() {
    mkdir(CrashHandler::kDumpFolder, 0755); // fails harmlessly when it exists
    const LocalTime t = localNow();
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[64];
        crashDumpFileName(name, t.year, t.month, t.day, t.hour, t.minute, t.second, t.millisecond,
                          drawRandom());
        char path[128];
        Text(path, sizeof path).str(CrashHandler::kDumpFolder).str("/").str(name);
        const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Entry of every hook: at most one thread writes a report, and a failure
// inside the handler itself ends the process at once.
[[noreturn]] void reportAndExit(const ExceptionPointers* info) {
    const long self = currentThreadId();
    long expected = 0;
    if (!g_handlingThread.compare_exchange_strong(expected, self)) {
        if (expected == self)
            _exit(1);
        // Another thread is writing its report and will end the process;
        // give it time, but never hang.
        for (int i = 0; i < 200; ++i) {
            struct timespec pause = {0, 50 * 1000 * 1000};
            nanosleep(&pause, nullptr);
        }
        _exit(1);
    }
    writeMiniDump(info);
    _exit(1);
}

void signalHandler(int sig, siginfo_t* si, void* uc) {
    ExceptionPointers info;
    info.signal = sig;
    info.code = si ? si->si_code : 0;
    info.faultAddress = si ? si->si_addr : nullptr;
    // For a signal that a process sent, si_addr overlays the sender's pid.
    if (si && (si->si_code == SI_USER || si->si_code == SI_QUEUE || si->si_code == SI_TKILL)) {
        info.sentByProcess = true;
        info.senderPid = si->si_pid;
        info.faultAddress = nullptr;
    }
    info.context = static_cast<const ucontext_t*>(uc);
    info.reason = signalName(sig);
    reportAndExit(&info);
}

void installSignal(int sig) {
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_sigaction = signalHandler;
    sigemptyset(&sa.sa_mask);
    // SA_NODEFER: a fault inside the handler re-enters it and ends the
    // process with the exit code 1 instead of a kill by the kernel.
    sa.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
    sigaction(sig, &sa, nullptr);
    // Blocked, as a launcher may leave it, a fault would end the process
    // without the handler; threads made later inherit this mask.
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, sig);
    pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
}

void newHandler() {
    ExceptionPointers* info = nullptr;
    captureExceptionPointers(0, info);
    info->reason = "failed allocation";
    reportAndExit(info);
}

char g_terminateDetail[512];

void terminateHandler() {
    ExceptionPointers* info = nullptr;
    captureExceptionPointers(0, info);
    info->reason = "terminate";
    Text detail(g_terminateDetail, sizeof g_terminateDetail);
    if (const std::type_info* type = abi::__cxa_current_exception_type()) {
        detail.str("uncaught exception of type ").str(type->name());
        try {
            throw;
        } catch (const std::exception& e) {
            detail.str(": ").str(e.what());
        } catch (...) {
        }
        info->detail = g_terminateDetail;
    }
    reportAndExit(info);
}

// A thread's own alternate stack, switched off and unmapped when the
// thread ends, so that pool threads that come and go leave nothing behind.
struct ThreadAltStack {
    bool checked = false;
    void* mapped = nullptr;
    ~ThreadAltStack() {
        if (!mapped)
            return;
        stack_t off;
        std::memset(&off, 0, sizeof off);
        off.ss_flags = SS_DISABLE;
        if (sigaltstack(&off, nullptr) == 0)
            munmap(mapped, kAltStackSize);
    }
};
thread_local ThreadAltStack t_altStack;

void installAltStack() {
    if (t_altStack.checked)
        return;
    t_altStack.checked = true;
    stack_t current;
    if (sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE))
        return; // this thread has one already
    static std::atomic<bool> mainStackUsed{false};
    void* mem = nullptr;
    if (!mainStackUsed.exchange(true)) {
        mem = g_mainAltStack;
    } else {
        mem = mmap(nullptr, kAltStackSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1,
                   0);
        if (mem == MAP_FAILED)
            return;
    }
    stack_t ss;
    ss.ss_sp = mem;
    ss.ss_size = kAltStackSize;
    ss.ss_flags = 0;
    if (sigaltstack(&ss, nullptr) != 0) {
        if (mem != g_mainAltStack)
            munmap(mem, kAltStackSize);
        return;
    }
    if (mem != g_mainAltStack)
        t_altStack.mapped = mem;
}

void prepare() {
    refreshUtcOffset();
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    g_randomState.store(static_cast<unsigned>(ts.tv_sec) ^ static_cast<unsigned>(ts.tv_nsec) ^
                        (static_cast<unsigned>(getpid()) << 16));
    // The first call loads libgcc's unwinder, which must not happen inside a
    // signal handler.
    void* frames[4];
    backtrace(frames, 4);
}

} // namespace

char* crashDumpFileName(char* buf, int year, int month, int day, int hour, int minute, int second,
                        int millisecond, int random) {
    Text name(buf, 48);
    name.str("vesk.")
        .dec(year, 4)
        .str("-")
        .dec(month, 2)
        .str("-")
        .dec(day, 2)
        .str("-")
        .dec(hour, 2)
        .str("-")
        .dec(minute, 2)
        .str("-")
        .dec(second, 2)
        .str("-")
        .dec(millisecond, 2)
        .str("-")
        .dec(random, 2)
        .str(".dmp");
    return buf;
}

void installProcessHandlers() {
    prepare();
    std::set_new_handler(newHandler);
    installSignal(SIGABRT);
    installSignal(SIGBUS);
}

void installThreadAltStack() {
    installAltStack();
}

void installThreadHandlers() {
    installAltStack();
    std::set_terminate(terminateHandler);
    installSignal(SIGFPE);
    installSignal(SIGILL);
    installSignal(SIGSEGV);
}

CrashHandler::CrashHandler() {
    installProcessHandlers();
    installThreadHandlers();
}

CrashHandler::~CrashHandler() = default;

__attribute__((noinline)) void captureExceptionPointers(int code, ExceptionPointers*& out) {
    static ucontext_t context;
    static ExceptionPointers info;
    getcontext(&context);
    info = ExceptionPointers();
    info.code = code;
    info.faultAddress = __builtin_return_address(0);
    info.context = &context;
    out = &info;
}

bool writeMiniDump(const ExceptionPointers* info) {
    const int fd = createDumpFile();
    if (fd < 0)
        return false;

    char buf[512];
    Text text(buf, sizeof buf);
    const LocalTime t = localNow();
    text.str("vesk crash report\nversion: ")
        .str(kVeskVersion)
        .str("\ntime: ")
        .dec(t.year, 4)
        .str("-")
        .dec(t.month, 2)
        .str("-")
        .dec(t.day, 2)
        .str(" ")
        .dec(t.hour, 2)
        .str(":")
        .dec(t.minute, 2)
        .str(":")
        .dec(t.second, 2)
        .str(".")
        .dec(t.millisecond, 3)
        .str("\n");
    bool ok = flush(fd, text);
    if (info) {
        text.str("reason: ").str(info->reason).str("\n");
        if (info->signal)
            text.str("signal: ").dec(info->signal).str("\n");
        text.str("code: ").dec(info->code).str("\n");
        if (info->sentByProcess) {
            // Not a fault of this process: someone sent the signal.
            text.str("sent by process: ").dec(info->senderPid);
            if (info->senderPid == getpid())
                text.str(" (this process)");
            text.str("\n");
        } else {
            text.str("address: ")
                .hex(reinterpret_cast<std::uintptr_t>(info->faultAddress))
                .str("\n");
        }
        ok = flush(fd, text) && ok;
        if (info->detail) {
            ok = writeAll(fd, info->detail, std::strlen(info->detail)) && ok;
            ok = writeAll(fd, "\n", 1) && ok;
        }
    }
    text.str("pid: ").dec(getpid()).str("\nthread: ").dec(currentThreadId()).str("\n");
    ok = flush(fd, text) && ok;
    if (info)
        ok = writeRegisters(fd, text, info->context) && ok;

    text.str("backtrace:\n");
    ok = flush(fd, text) && ok;
    void* frames[kMaxFrames];
    const int count = backtrace(frames, kMaxFrames);
    backtrace_symbols_fd(frames, count, fd);

    text.str("maps:\n");
    ok = flush(fd, text) && ok;
    ok = copyMaps(fd) && ok;
    ok = close(fd) == 0 && ok;
    return ok;
}
