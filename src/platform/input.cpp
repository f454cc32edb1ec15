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
    int limit = size - 1;
    if (limit > PendingSize - 2) limit = PendingSize - 2;
    for (;;) {
        const char* text = pending + pendingStart;
        const int available = pendingEnd - pendingStart;
        const char* newline = static_cast<const char*>(std::memchr(text, '\n', size_t(available)));
        int length, consumed;
        if (newline) {
            length = int(newline - text);
            consumed = length + 1;
            if (length > 0 && text[length - 1] == '\r') --length;
            if (length > limit) length = consumed = limit;  // overlong: the rest comes next
        } else if (available > limit + 1) {
            length = consumed = limit;  // no line end within reach (a CR may still end it)
        } else if (fillPending()) {
            continue;
        } else if (available == 0) {
            return -1;
        } else {
            length = consumed = available < limit ? available : limit;  // last line, no line end
        }
        std::memcpy(buffer, text, size_t(length));
        buffer[length] = '\0';
        pendingStart += consumed;
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
