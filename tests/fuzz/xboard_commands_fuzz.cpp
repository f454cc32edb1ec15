// The xboard command stream as the program runs it: each line through the
// dispatcher, and the lines that follow a search's start through its poll.
#include "driver/command_text.h"
#include "driver/engine.h"
#include "driver/xboard.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Engine& engine = fuzzEngine();
    static XboardHost host(engine);
    static bool started = (startEngine(engine, host), true);
    (void)started;
    clearScratchDirectory();
    setDefaultSettings(engine.settings);
    std::vector<std::string> lines = {"new"};
    for (const std::string& line : safeCommandLines(data, size)) lines.push_back(line);
    // A running search moves or stops, an analysis ends, and play stops.
    for (const char* line : {"?", "exit", "force"}) lines.push_back(line);
    runOnStandardInput(engine, lines, dispatchCommand);
    return 0;
}
