#include "driver/dispatch.h"

#include <cstring>

#include "driver/bench.h"
#include "driver/engine.h"
#include "driver/options.h"
#include "driver/output.h"
#include "driver/xboard.h"
#include "platform/input.h"

namespace {

// "quit" as the line's first word. Matching it anywhere would end the program
// on a line such as "name Mesquite" in the middle of a game.
bool isQuit(const char* line) {
    return std::strncmp(line, "quit", 4) == 0 && (line[4] == '\0' || line[4] == ' ');
}

}  // namespace

void dispatchCommand(Engine& engine, const char* line) {
    if (isQuit(line)) shutdownEngine();
    if (line[0] == '\0') return;
    if (handleProtocolCommand(engine, line)) return;
    if (std::strncmp(line, "au ", 3) == 0 && std::strstr(line, "nodes ")) {
        runNodeBenchmark(engine, textFrom(line, 9));
        return;
    }
    if (handleOptionCommand(engine, line)) return;
    sendText("Error (unknown command): %s\n\n", line);
}

void readAndDispatchLine(Engine& engine) {
    char line[CommandLineSize];
    if (readInputLine(line, sizeof line) < 0) shutdownEngine();
    dispatchCommand(engine, line);
}
