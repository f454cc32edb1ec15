#include "driver/bench.h"

#include "driver/engine.h"
#include "driver/game.h"
#include "platform/platform.h"
#include "search/search.h"
#include "search/tt.h"

namespace {

// Openings, middle games and endgames of orthodox chess and fischerandom: the
// positions of the built-in bench. Its node total is the search's signature.
constexpr const char* benchPositions[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "rnbqkbnr/pppppppp/8/8/8/2P5/PP1PPPPP/RNBQKBNR b KQkq - 0 1",
    "r1bqkbnr/pppppppp/n7/8/8/6P1/PPPPPP1P/RNBQKBNR w KQkq - 1 2",
    "rn1qkbnr/ppp1pppp/4b3/3p4/8/N2P4/PPP1PPPP/R1BQKBNR w KQkq - 2 3",
    "rnbqkb1r/pp1pnppp/2p5/4p3/1P6/2P4N/P2PPPPP/RNBQKB1R b KQkq - 0 4",
    "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4",
    "rnb1kb1r/1ppqpppp/p4n2/3p4/2P3P1/3P3N/PP1BPP1P/RN1QKB1R b KQkq - 2 5",
    "rnbqk1nr/pp1pppb1/6p1/6Np/2p1P3/3P4/PPP1QPPP/RNB1KB1R w KQkq - 1 6",
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R2QKB1R w KQ - 0 1",
    "r2q1rk1/pp1nbppp/2p1pn2/3p4/2PP1B2/2N1PN2/PPQ2PPP/R3KB1R w KQ - 0 1",
    "rnbb2nr/1pNp2k1/p1p1pp1p/4P2Q/2BP1Pp1/1P4P1/q1P4P/R1B1K1NR b KQ - 0 16",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ - 0 1",
    "r1b1k1nr/1pqnbppp/p2p4/P1p1p3/2P3P1/RP6/3PPP1P/1NBQKBNR w Kkq - 2 8",
    "r2qkb1r/p1pp2pp/b3p2n/1p2np1P/2N5/3P2P1/PPPQPP2/R1B1KBNR w KQkq - 4 8",
    "rnb2b1r/ppppqk2/5n2/1P2p1pp/7p/2NP4/PBPQPPP1/R3KB1R w KQ - 0 12",
    "1rbq3r/pp1kb2p/n3pp1n/P5pP/2pP1B2/R1P2N2/1P2PPPR/1N2KB2 b - - 9 14",
    "1rb2b2/n2kqpp1/1p1pP2r/p1p1P1Np/1PP3n1/N6P/P1QPK1P1/R1B2B1R b - - 0 15",
    "bqnb1rkr/pp3ppp/3ppn2/2p5/5P2/P2P4/NPP1P1PP/BQ1BNRKR w HFhf - 2 9",
    "2nnrbkr/p1qppppp/8/1ppb4/6PP/3PP3/PPP2P2/BQNNRBKR w HEhe - 1 9",
    "b1nrknrq/pp1p1ppp/2p5/3Qp3/1PP5/6P1/Pb1PPP1P/BBNRKNR1 w GDgd - 0 5",
    "8/6Bk/1Rrpq3/p4p1p/PQ1Nn2P/4P1P1/2Pp1P1N/3R1K2 w - - 11 41",
    "6n1/2b4B/p1pk1r1p/p6P/PpPp4/5PR1/3K1R2/2B4q b - - 3 45",
    "4r3/1p3kpp/p7/8/8/P7/1P3PPP/4R1K1 w - - 0 1",
    "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "6k1/6b1/np1Pp1p1/1P5p/1P1P3P/p4Pp1/P3K2R/4R1N1 b - - 0 43",
    "8/5pk1/6p1/3p4/3P4/6P1/5PK1/8 w - - 0 1",
    "8/8/4k3/8/1r2P3/4K3/8/3R4 w - - 0 1",
    "8/2k5/8/1p6/1P3q2/2K5/8/6Q1 w - - 0 1",
    "8/8/8/8/k2Pp2Q/8/8/3K4 b - - 0 1",
    "8/k1P5/8/1K6/8/8/8/8 w - - 0 1",
};

}  // namespace

BenchFigures runBench(Engine& engine, int depth, BenchProgress progress) {
    Session& session = engine.session;
    const int post = session.post;
    const SearchLimits clock = engine.clock;
    session.post = 0;
    session.benchmarkRunning = 1;
    constexpr int Count = int(sizeof benchPositions / sizeof benchPositions[0]);
    double total = 0;
    const uint64_t start = readCounter();
    for (int i = 0; i < Count; ++i) {
        // A new game for each: empty tables, no history.
        setupPosition(engine, benchPositions[i]);
        engine.clock = SearchLimits{6000, 6000, 0, 0, 0, depth};
        searchGame(engine, SearchAnalysing);
        double nodes = searchNodeCount(engine.search);
        total += nodes;
        if (progress) progress(i + 1, Count, nodes);
    }
    const uint64_t ticks = readCounter() - start;
    engine.clock = clock;
    session.post = post;
    session.benchmarkRunning = 0;
    return {total, double(ticks) / double(readCounterFrequency())};
}
