#include <cstdio>

#include "driver/dispatch.h"
#include "driver/engine.h"
#include "driver/output.h"
#include "driver/xboard.h"
#include "platform/input.h"
#include "platform/platform.h"

namespace {
constexpr const char* BuildStamp = "Wed Dec  1 18:52:55 2010";
constexpr const char* AuthorCredit = "the Vostrel developers";
}  // namespace

int main(int, char** argv) {
    // Large records: in static storage, not on the stack.
    static Engine engine;
    static XboardHost host(engine);
    initEngine(engine, host);
    bool console = inputIsConsole();
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stdin, nullptr, _IONBF, 0);
    changeToProgramDirectory(argv[0]);
    if (console) {
        sendText("   %s  [%s]\n", EngineName, BuildStamp);
        sendText("     by %s\n\n", AuthorCredit);
        sendText("Use winboard to play a game\n\n");
    } else {
        ignoreGuiSignals();
    }
    char line[CommandLineSize];
    while (readInputLine(line, sizeof line) >= 0) dispatchCommand(engine, line);
    shutdownEngine();
}
