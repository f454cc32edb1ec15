#include "driver/output.h"

#include <cstdarg>
#include <cstdio>

#include "driver/bench.h"

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

void sendBench(Engine& engine, int depth) {
    BenchFigures figures = runBench(engine, depth, [](int number, int count, double nodes) {
        sendText("Position %2d/%d: %.0f nodes\n", number, count, nodes);
    });
    sendText("\nNodes searched: %.0f\nNodes/second: %.0f\n", figures.nodes,
             figures.seconds > 0 ? figures.nodes / figures.seconds : 0.0);
}
