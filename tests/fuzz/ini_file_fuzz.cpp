// vostrel.ini of any content: comment lines, "- command" lines with options,
// protocol commands and moves, long and broken lines.
#include <string>

#include "driver/engine.h"
#include "driver/options.h"
#include "driver/xboard.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Engine& engine = quietFuzzEngine();
    // Each line as the file reader sees it: cut at 255 characters, a command
    // after "- ". Unsafe commands go; the rest keeps its bytes.
    std::string file, line;
    auto finish = [&](bool ended) {
        std::string seen = line.substr(0, 255);
        if (seen.size() >= 2 && seen[0] == '-') {
            std::string command = seen.substr(2);
            if (!command.empty() && command.back() == '\r') command.pop_back();
            if (!isSafeCommand(command)) seen.clear();
        }
        file += seen;
        if (ended) file += '\n';
        line.clear();
    };
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            finish(true);
        } else {
            line += char(data[i]);
        }
    }
    finish(false);
    clearScratchDirectory();
    writeScratchFile("vostrel.ini", reinterpret_cast<const uint8_t*>(file.data()), file.size());
    setDefaultSettings(engine.settings);
    engine.clock.nodeLimit = FuzzNodeLimit;
    readConfigurationFile(engine, dispatchCommand);
    return 0;
}
