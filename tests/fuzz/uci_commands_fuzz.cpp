// The UCI command stream as the program runs it, the lines that follow a
// "go" through the search's poll.
#include "driver/engine.h"
#include "driver/uci.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Engine& engine = fuzzEngine();
    static QuietHost quiet;
    static bool started = (startEngine(engine, quiet), beginUci(engine), true);
    (void)started;
    clearScratchDirectory();
    setDefaultSettings(engine.settings);
    std::vector<std::string> lines = {"setoption name UCI_Chess960 value false", "ucinewgame",
                                      "position startpos"};
    for (const std::string& line : safeCommandLines(data, size)) lines.push_back(line);
    // Whatever runs stops and answers.
    for (const char* line : {"stop", "isready", "stop"}) lines.push_back(line);
    runOnStandardInput(engine, lines, runUciCommand);
    return 0;
}
