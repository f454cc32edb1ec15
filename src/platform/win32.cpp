// Win32 services: performance counter, console or pipe input, module path.
#include <direct.h>
#include <windows.h>

#include <cstring>

#include "platform/platform.h"

namespace {

HANDLE inputHandle() {
    static HANDLE handle = GetStdHandle(STD_INPUT_HANDLE);
    return handle;
}

bool consoleInput() {
    static const bool console = [] {
        DWORD mode;
        if (!GetConsoleMode(inputHandle(), &mode)) return false;
        // Window and mouse events would wake the poll without any text.
        SetConsoleMode(inputHandle(), mode & ~DWORD(ENABLE_WINDOW_INPUT | ENABLE_MOUSE_INPUT));
        FlushConsoleInputBuffer(inputHandle());
        return true;
    }();
    return console;
}

}  // namespace

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

bool inputIsConsole() { return consoleInput(); }

// Windows GUIs send no signals, and a write to a closed pipe just fails.
void ignoreGuiSignals() {}

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

namespace platform_detail {

int readRaw(char* buffer, int size) {
    DWORD count = 0;
    if (!ReadFile(inputHandle(), buffer, DWORD(size), &count, nullptr)) {
        // A closed pipe reads as end of input.
        return GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
    }
    return int(count);
}

int inputReady() {
    HANDLE handle = inputHandle();
    if (consoleInput()) {
        DWORD events = 0;
        if (!GetNumberOfConsoleInputEvents(handle, &events)) return -1;
        if (events == 0) return 0;
        // Key releases and other events carry no text; only a whole typed line
        // can be read without blocking.
        INPUT_RECORD records[128];
        DWORD read = 0;
        if (!PeekConsoleInputA(handle, records, 128, &read)) return -1;
        for (DWORD i = 0; i < read; ++i)
            if (records[i].EventType == KEY_EVENT && records[i].Event.KeyEvent.bKeyDown &&
                records[i].Event.KeyEvent.uChar.AsciiChar == '\r')
                return 1;
        return 0;
    }
    if (GetFileType(handle) == FILE_TYPE_DISK) return 1;  // a file never blocks
    DWORD available = 0;
    if (!PeekNamedPipe(handle, nullptr, 0, nullptr, &available, nullptr)) return -1;
    return available > 0 ? 1 : 0;
}

}  // namespace platform_detail
