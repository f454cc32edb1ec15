#include "driver/output.h"

#include <cstdarg>
#include <cstdio>

void sendText(const char* format, ...) {
    char text[8192];
    va_list arguments;
    va_start(arguments, format);
    int length = std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (length < 0) return;
    if (length >= int(sizeof text)) length = int(sizeof text) - 1;
    std::fwrite(text, 1, size_t(length), stdout);
    std::fflush(stdout);
}
