// POSIX services: monotonic clock, terminal detection, signals, /proc/self/exe,
// reads.
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <thread>

#include "platform/platform.h"

void* allocateLargeBlock(size_t bytes) {
    // Aligned so that the kernel can back the whole block with 2 MiB pages,
    // sparing a TLB miss on most table probes; a smaller block could not use
    // one and is only page-aligned.
    constexpr size_t HugePage = size_t(2) << 20;
    void* block = nullptr;
    if (posix_memalign(&block, bytes >= HugePage ? HugePage : 4096, bytes ? bytes : 1) != 0)
        return nullptr;
#ifdef MADV_HUGEPAGE
    madvise(block, bytes, MADV_HUGEPAGE);  // advice only: refused, the pages stay small
#endif
    return block;
}

void freeLargeBlock(void* block) { std::free(block); }

uint64_t readCounter() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return uint64_t(now.tv_sec) * 1000000000u + uint64_t(now.tv_nsec);
}

uint64_t readCounterFrequency() { return 1000000000u; }

bool inputIsConsole() { return isatty(STDIN_FILENO) != 0; }

bool errorIsConsole() { return isatty(STDERR_FILENO) != 0; }

bool replaceFile(const char* from, const char* to) { return std::rename(from, to) == 0; }

void ignoreGuiSignals() {
    signal(SIGINT, SIG_IGN);
    signal(SIGPIPE, SIG_IGN);
}

constexpr int TerminationGraceSeconds = 3;

void watchTermination(void (*onTerminate)()) {
    // Blocked here and in every thread started later; one thread waits for it.
    static sigset_t termination;
    sigemptyset(&termination);
    sigaddset(&termination, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &termination, nullptr);
    std::thread([onTerminate] {
        int received = 0;
        if (sigwait(&termination, &received) != 0) return;
        // Reads stop at what the GUI has already written: the input's end.
        int flags = fcntl(0, F_GETFL);
        if (flags >= 0) fcntl(0, F_SETFL, flags | O_NONBLOCK);
        onTerminate();
        // Time enough to learn from a result and write the files; a search or
        // a count that would go on does not keep a terminated engine alive.
        std::this_thread::sleep_for(std::chrono::seconds(TerminationGraceSeconds));
        std::_Exit(128 + SIGTERM);
    }).detach();
}

bool changeToProgramDirectory(const char* argv0) {
    char path[PATH_MAX + 1];
    ssize_t length = readlink("/proc/self/exe", path, PATH_MAX);
    if (length <= 0) {
        if (!argv0 || std::strlen(argv0) > PATH_MAX) return false;
        std::strcpy(path, argv0);
        length = ssize_t(std::strlen(path));
    }
    path[length] = '\0';
    char* slash = std::strrchr(path, '/');
    if (!slash) return true;  // started from its own directory
    slash[1] = '\0';
    return chdir(path) == 0;
}

InputSource standardInput() { return STDIN_FILENO; }

int readSource(InputSource source, char* buffer, int size) {
    for (;;) {
        ssize_t count = read(int(source), buffer, size_t(size));
        if (count >= 0) return int(count);
        if (errno != EINTR) return 0;
    }
}
