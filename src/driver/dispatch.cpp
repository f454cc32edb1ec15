#include "driver/dispatch.h"

#include <cstdlib>
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

bool isBench(const char* line) {
    return std::strncmp(line, "bench", 5) == 0 && (line[5] == '\0' || line[5] == ' ');
}

int benchDepthOf(const char* line) {
    int depth = line[5] ? std::atoi(line + 6) : 0;
    return depth >= 1 && depth < MaxPly ? depth : BenchDepth;
}

namespace {

void runCommand(Engine& engine, const char* line) {
    if (handleProtocolCommand(engine, line)) return;
    if (std::strncmp(line, "au ", 3) == 0 && std::strstr(line, "nodes ")) {
        runNodeBenchmark(engine, textFrom(line, 9));
        return;
    }
    if (isBench(line)) {
        runBench(engine, benchDepthOf(line));
        return;
    }
    if (handleOptionCommand(engine, line)) return;
    sendText("Error (unknown command): %s\n", line);
}

}  // namespace

void dispatchCommand(Engine& engine, const char* line) {
    if (isQuit(line)) shutdownEngine(engine);
    if (line[0] == '\0') return;
    runCommand(engine, line);
    // An analysis that the command stopped goes on, on the position it left.
    resumeAnalysis(engine);
}

void readAndDispatchLine(Engine& engine) {
    // Static: too large for a stack that a search is on. A line read here runs
    // no search, so no second call comes while this one's line is in use.
    static char line[CommandLineSize];
    if (readInputLine(line, sizeof line) < 0) shutdownEngine(engine);
    dispatchCommand(engine, line);
}
