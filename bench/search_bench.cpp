// Search speed: each position searched to a fixed depth from empty tables;
// prints nodes, time and nodes per second per position and in total.
// Usage: search_bench [depth] [off]   (default 10; "off" switches the
// five- and six-men endgame recognisers off, to measure what they cost)
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "driver/bench.h"
#include "driver/engine.h"
#include "driver/game.h"
#include "eval/endgame.h"
#include "notation/fen.h"
#include "platform/platform.h"
#include "search/search.h"

namespace {

const char* const positions[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R2QKB1R w KQ - 0 1",
    "r2q1rk1/pp1nbppp/2p1pn2/3p4/2PP1B2/2N1PN2/PPQ2PPP/R3KB1R w KQ - 0 1",
    "4r3/1p3kpp/p7/8/8/P7/1P3PPP/4R1K1 w - - 0 1",
    "8/5pk1/6p1/3p4/3P4/6P1/5PK1/8 w - - 0 1",
    "8/8/4k3/8/1r2P3/4K3/8/3R4 w - - 0 1",
    "8/2k5/8/1p6/1P3q2/2K5/8/6Q1 w - - 0 1",
};

}  // namespace

int main(int argc, char** argv) {
    int depth = argc > 1 ? std::atoi(argv[1]) : 10;
    if (argc > 2 && std::strcmp(argv[2], "off") == 0) recogniseFiveSixMen = false;
    static Engine engine;
    static QuietHost host;
    initEngine(engine, host);
    ensureInitialised(engine);
    double totalNodes = 0, totalSeconds = 0;
    for (const char* fen : positions) {
        if (!setupPosition(engine, fen)) return 2;
        engine.clock.depthLimit = depth;
        uint64_t start = readCounter();
        searchGame(engine, SearchAnalysing);
        double seconds = double(readCounter() - start) / double(readCounterFrequency());
        double nodes = searchNodeCount(engine.search);
        totalNodes += nodes;
        totalSeconds += seconds;
        std::printf("depth %2d %12.0f nodes %8.3f s %10.0f nodes/s  %s\n", depth, nodes, seconds,
                    nodes / seconds, fen);
    }
    std::printf("total    %12.0f nodes %8.3f s %10.0f nodes/s\n", totalNodes, totalSeconds,
                totalNodes / totalSeconds);
    return 0;
}
