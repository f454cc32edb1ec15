#include "driver/bench.h"

#include <cstdio>
#include <cstring>

#include "driver/dispatch.h"
#include "driver/engine.h"
#include "driver/game.h"
#include "driver/output.h"
#include "search/search.h"
#include "search/tt.h"

void runNodeBenchmark(Engine& engine, const char* fileName) {
    std::FILE* input = std::fopen(fileName, "r");
    if (!input) return;
    Session& session = engine.session;
    int post = session.post;
    session.post = 0;
    session.benchmarkRunning = 1;
    // Without the output file the figures still reach standard output.
    std::FILE* output = std::fopen("nodes_fen.txt", "w+");
    double total = 0;
    int number = 0;
    char line[500];
    while (std::fgets(line, sizeof line, input)) {
        if (std::strlen(line) < 10) continue;
        line[std::strcspn(line, "\r\n")] = '\0';
        ++number;
        sendText("%d\t", number);
        if (output) std::fprintf(output, "%d\t", number);
        if (!setupPosition(engine, line)) continue;
        clearTables();
        dispatchCommand(engine, "sd 14");
        searchGame(engine, SearchAnalysing);
        double nodes = collectNodeCount(engine.search);
        total += nodes;
        sendText("%10.0f %10.0f\n", nodes, total);
        if (output) std::fprintf(output, "%10.0f %10.0f\n", nodes, total);
    }
    std::fclose(input);
    if (output) std::fclose(output);
    session.post = post;
    session.benchmarkRunning = 0;
}
