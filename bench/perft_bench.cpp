// Move-generation speed: perft from the start position to depth 6 and from a
// middle-game position full of tactics to depth 5. Prints leaves per second.
// Usage: perft_bench [repeats]   (the median of the repeats is reported)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "board/perft.h"
#include "driver/engine.h"
#include "notation/fen.h"
#include "platform/platform.h"
#include "search/searchstack.h"

namespace {

struct Case {
    const char* fen;
    int depth;
    uint64_t expected;
};

const Case cases[] = {
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 6, 119060324},
    {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 5, 193690690},
};

}  // namespace

int main(int argc, char** argv) {
    int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    static Engine engine;
    static QuietHost host;
    initEngine(engine, host);
    ensureInitialised(engine);
    int failures = 0;
    for (const Case& c : cases) {
        Board board;
        char message[FenMessageSize];
        if (!parseFen(board, engine.game.stack, c.fen, message)) return 2;
        std::vector<double> rates;
        uint64_t leaves = 0;
        for (int r = 0; r < repeats; ++r) {
            uint64_t start = readCounter();
            leaves = perft(board, c.depth);
            double seconds = double(readCounter() - start) / double(readCounterFrequency());
            rates.push_back(double(leaves) / seconds);
        }
        std::sort(rates.begin(), rates.end());
        if (leaves != c.expected) ++failures;
        std::printf("perft %d %llu %s  median %.1f M leaves/s over %d runs\n", c.depth,
                    (unsigned long long)leaves, leaves == c.expected ? "ok" : "WRONG",
                    rates[rates.size() / 2] / 1e6, repeats);
    }
    return failures ? 1 : 0;
}
