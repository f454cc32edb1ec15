#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "driver/bench.h"
#include "driver/command_text.h"
#include "driver/engine.h"
#include "driver/output.h"
#include "driver/uci.h"
#include "driver/xboard.h"
#include "platform/cpu_features.h"
#include "platform/input.h"
#include "platform/platform.h"

namespace {

constexpr const char* BuildStamp = "Wed Dec  1 18:52:55 2010";

constexpr const char* Usage =
    "usage: vostrel [bench [DEPTH] | --help | --version]\n"
    "\n"
    "Without arguments the engine talks the xboard protocol on standard input\n"
    "and output, or UCI when the first command is \"uci\".\n"
    "  bench [DEPTH]  searches the built-in positions to DEPTH (default %d) and\n"
    "                 prints their nodes, the total and the rate\n"
    "  --help         prints this text\n"
    "  --version      prints the engine's name and version, and the processor\n"
    "                 extensions it was built for\n";

// The command line: the bench, help, the version. Returns only when there
// is nothing to do but play.
void runArguments(Engine& engine, int argc, char** argv) {
    if (argc < 2) return;
    const char* first = argv[1];
    if (!std::strcmp(first, "--help") || !std::strcmp(first, "-h")) {
        std::printf(Usage, BenchDepth);
        std::exit(0);
    }
    if (!std::strcmp(first, "--version")) {
        char features[128];
        nameCpuFeatures(buildCpuFeatures, features, sizeof features);
        std::printf("%s\nbuilt for %s:%s\n", EngineName, buildCpuName,
                    buildCpuFeatures ? features : " any processor of its family");
        std::exit(0);
    }
    if (!std::strcmp(first, "bench") && argc <= 3) {
        char* end = nullptr;
        long depth = argc == 3 ? std::strtol(argv[2], &end, 10) : BenchDepth;
        if (argc == 3 && (*end || depth < 1 || depth >= MaxPly)) {
            std::fprintf(stderr, "vostrel: bench depth must be 1 to %d: %s\n", MaxPly - 1, argv[2]);
            std::exit(2);
        }
        ensureInitialised(engine);
        sendBench(engine, int(depth));
        shutdownEngine(engine);
    }
    std::fprintf(stderr, "vostrel: unknown argument: %s\n", first);
    std::fprintf(stderr, Usage, BenchDepth);
    std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
    // Large records: in static storage, not on the stack.
    static Engine engine;
    static XboardHost host(engine);
    initEngine(engine, host, dispatchCommand);
    bool console = inputIsConsole();
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stdin, nullptr, _IONBF, 0);
    changeToProgramDirectory(argv[0]);
    runArguments(engine, argc, argv);
    checkBookDirectory(engine);
    if (console) {
        sendText("   %s  [%s]\n", EngineName, BuildStamp);
        sendText("     by %s\n\n", AuthorCredit);
        sendText("Use winboard to play a game\n\n");
    } else {
        ignoreGuiSignals();
        watchTermination(endStandardInputAfterPendingLines);
    }
    // The first command chooses the protocol.
    static char line[CommandLineSize];
    if (readInputLine(line, sizeof line) < 0) shutdownEngine(engine);
    if (isUciCommand(line)) runUci(engine, line);
    do dispatchCommand(engine, line);
    while (readInputLine(line, sizeof line) >= 0);
    shutdownEngine(engine);
}
