// Win32 services: performance counter, console detection, reads, module path.
#include <direct.h>
#include <windows.h>

#include <cstring>

#include "platform/platform.h"

namespace {

// Large pages need the privilege to lock memory, which only an account
// granted it holds, and then only once the process enables it.
bool lockMemoryPrivilegeEnabled() {
    static const bool enabled = [] {
        HANDLE token;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
            return false;
        TOKEN_PRIVILEGES privileges{};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        bool done = LookupPrivilegeValueA(nullptr, "SeLockMemoryPrivilege",
                                          &privileges.Privileges[0].Luid) &&
                    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
                    GetLastError() == ERROR_SUCCESS;  // not ERROR_NOT_ALL_ASSIGNED
        CloseHandle(token);
        return done;
    }();
    return enabled;
}

}  // namespace

void* allocateLargeBlock(size_t bytes) {
    if (bytes == 0) bytes = 1;
    const SIZE_T large = GetLargePageMinimum();
    // A block smaller than a large page would be rounded up to one.
    if (large && bytes >= large && lockMemoryPrivilegeEnabled()) {
        const SIZE_T rounded = (bytes + large - 1) / large * large;
        void* block = VirtualAlloc(nullptr, rounded, MEM_RESERVE | MEM_COMMIT | MEM_LARGE_PAGES,
                                   PAGE_READWRITE);
        if (block) return block;
    }
    return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void freeLargeBlock(void* block) {
    if (block) VirtualFree(block, 0, MEM_RELEASE);
}

uint64_t readCounter() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return uint64_t(now.QuadPart);
}

uint64_t readCounterFrequency() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return uint64_t(frequency.QuadPart);
}

bool inputIsConsole() {
    DWORD mode;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

bool errorIsConsole() {
    DWORD mode;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

// rename refuses an existing target on Windows.
bool replaceFile(const char* from, const char* to) {
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// A write to a closed pipe just fails. Windows GUIs send no signals, but
// xboard does, also to an engine under wine, which turns the interrupt into a
// Ctrl+C event whose default handler ends the process.
void ignoreGuiSignals() { SetConsoleCtrlHandler(nullptr, TRUE); }

// Windows ends a process with TerminateProcess, which nothing can delay.
void watchTermination(void (*)()) {}

bool changeToProgramDirectory(const char*) {
    char path[521];
    DWORD length = GetModuleFileNameA(GetModuleHandleA(nullptr), path, 520);
    if (length == 0 || length >= 520) return false;
    path[length] = '\0';
    char* slash = std::strrchr(path, '\\');
    char* other = std::strrchr(path, '/');
    if (other > slash) slash = other;
    if (!slash) return true;
    slash[1] = '\0';
    return _chdir(path) == 0;
}

InputSource standardInput() { return InputSource(GetStdHandle(STD_INPUT_HANDLE)); }

// A console, any pipe (also one made outside Windows, which cannot be
// peeked) and a file all read alike. A closed pipe, like every failure, ends
// the input.
int readSource(InputSource source, char* buffer, int size) {
    DWORD count = 0;
    if (!ReadFile(HANDLE(source), buffer, DWORD(size), &count, nullptr)) return 0;
    return int(count);
}
