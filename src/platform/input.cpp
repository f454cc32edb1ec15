// Line reader over the raw input of the system. Everything read is kept until
// the main loop consumes it, so a peek during a search loses nothing.
#include <cstring>

#include "platform/platform.h"

namespace {

constexpr int PendingSize = 1 << 16;
char pending[PendingSize];
int pendingStart = 0;
int pendingEnd = 0;
bool endOfInput = false;

// Reads more raw input behind what is pending; false at end of input or error.
bool fillPending() {
    if (endOfInput) return false;
    if (pendingStart > 0) {
        std::memmove(pending, pending + pendingStart, size_t(pendingEnd - pendingStart));
        pendingEnd -= pendingStart;
        pendingStart = 0;
    }
    if (pendingEnd == PendingSize) return true;  // full: the caller splits a line
    int count = platform_detail::readRaw(pending + pendingEnd, PendingSize - pendingEnd);
    if (count <= 0) {
        endOfInput = true;
        return false;
    }
    pendingEnd += count;
    return true;
}

}  // namespace

int readInputLine(char* buffer, int size) {
    const int limit = size - 1;
    for (;;) {
        int available = pendingEnd - pendingStart;
        const char* text = pending + pendingStart;
        const void* newline = std::memchr(text, '\n', size_t(available));
        int length = newline ? int(static_cast<const char*>(newline) - text) : available;
        bool complete = newline != nullptr;
        if (length >= limit) {
            length = limit;  // overlong: split here, the rest is the next line
            complete = false;
        } else if (!complete && fillPending()) {
            continue;
        } else if (!complete && available == 0) {
            return -1;
        }
        std::memcpy(buffer, text, size_t(length));
        pendingStart += length + (complete ? 1 : 0);
        if (complete && length > 0 && buffer[length - 1] == '\r') --length;
        buffer[length] = '\0';
        return length;
    }
}

InputPeek peekInput(char* buffer, int size) {
    if (pendingEnd == pendingStart) {
        if (endOfInput) return InputGone;
        int ready = platform_detail::inputReady();
        if (ready < 0) return InputGone;
        if (ready == 0) return InputNothing;
        if (!fillPending()) return InputGone;
    }
    int length = pendingEnd - pendingStart;
    if (length > size - 1) length = size - 1;
    std::memcpy(buffer, pending + pendingStart, size_t(length));
    buffer[length] = '\0';
    return InputPending;
}
