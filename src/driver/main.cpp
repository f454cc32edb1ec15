#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "book/book.h"
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
    "usage: vostrel [bench [DEPTH] | book import FILE.pgn... [--plies N] [--book FILE]\n"
    "               | --help | --version]\n"
    "\n"
    "Without arguments the engine talks the xboard protocol on standard input\n"
    "and output, or UCI when the first command is \"uci\".\n"
    "  bench [DEPTH]  searches the built-in positions to DEPTH (default %d) and\n"
    "                 prints their nodes, the total and the rate\n"
    "  book import    adds the positions of each finished game's first N plies\n"
    "                 (default %d) to the book (default vostrel.bk beside the\n"
    "                 program), as learning adds a game the engine played\n"
    "  --help         prints this text\n"
    "  --version      prints the engine's name and version, and the processor\n"
    "                 extensions it was built for\n";

constexpr int DefaultImportPlies = 40;

// "book import": the PGN files are named from the directory the program was
// started in; the main book is the one beside the program, which it plays with.
[[noreturn]] void importBook(int argc, char** argv) {
    std::vector<const char*> files;
    const char* bookName = nullptr;
    long plies = DefaultImportPlies;
    for (int i = 3; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--plies") && i + 1 < argc) {
            char* end = nullptr;
            plies = std::strtol(argv[++i], &end, 10);
            if (*end || end == argv[i] || plies < 0 || plies > MaxGamePlies) {
                std::fprintf(stderr, "vostrel: --plies must be 0 to %d: %s\n", MaxGamePlies,
                             argv[i]);
                std::exit(2);
            }
        } else if (!std::strcmp(argv[i], "--book") && i + 1 < argc) {
            bookName = argv[++i];
        } else if (argv[i][0] == '-' && argv[i][1] == '-') {
            std::fprintf(stderr, "vostrel: unknown or incomplete option: %s\n", argv[i]);
            std::exit(2);
        } else {
            files.push_back(argv[i]);
        }
    }
    if (files.empty()) {
        std::fprintf(stderr, "vostrel: book import needs at least one PGN file\n");
        std::exit(2);
    }
    std::string mainBook;
    if (!bookName) {
        std::error_code error;
        std::filesystem::path started = std::filesystem::current_path(error);
        if (error || !changeToProgramDirectory(argv[0])) {
            std::fprintf(stderr, "vostrel: the program's directory cannot be found; use --book\n");
            std::exit(2);
        }
        mainBook = (std::filesystem::current_path(error) / MainBookName).string();
        std::filesystem::current_path(started, error);
        bookName = mainBook.c_str();
    }
    initPositionTables();
    uint64_t start = readCounter();
    BookImport import{bookName, int(plies), stderr, errorIsConsole() ? stderr : nullptr};
    ImportSummary summary = bookImportPgn(import, files.data(), int(files.size()));
    double seconds = double(readCounter() - start) / double(readCounterFrequency());
    std::printf(
        "games read %ld, imported %ld, skipped %ld; positions added %ld, new %ld; "
        "%.1f s, %.0f games/s\n",
        summary.gamesRead, summary.imported, summary.skipped, summary.positionsAdded,
        summary.newPositions, seconds, seconds > 0 ? summary.gamesRead / seconds : 0.0);
    if (summary.written) std::printf("book written: %s\n", bookName);
    if (summary.imported == 0) std::printf("no game to import: the book is as it was\n");
    bool failed = summary.unreadableFiles > 0 || (summary.imported > 0 && !summary.written);
    std::exit(failed ? 1 : 0);
}

// The command line: the bench, help, the version. Returns only when there
// is nothing to do but play.
void runArguments(Engine& engine, int argc, char** argv) {
    if (argc < 2) return;
    const char* first = argv[1];
    if (!std::strcmp(first, "--help") || !std::strcmp(first, "-h")) {
        std::printf(Usage, BenchDepth, DefaultImportPlies);
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
    std::fprintf(stderr, Usage, BenchDepth, DefaultImportPlies);
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
    if (argc >= 3 && !std::strcmp(argv[1], "book") && !std::strcmp(argv[2], "import"))
        importBook(argc, argv);
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
