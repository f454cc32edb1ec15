// Evaluation speed: positions from fixed random games out of a few start
// positions (opening to bare endings), evaluated with the caches cleared
// before every pass so that each call does the full work.
// Usage: eval_bench [repeats]   (the median of the repeats is reported)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "board/makemove.h"
#include "board/movegen.h"
#include "driver/engine.h"
#include "eval/evaluate.h"
#include "notation/fen.h"
#include "platform/platform.h"
#include "search/searchstack.h"
#include "search/tt.h"

namespace {

const char* const starts[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R2QKB1R w KQ - 0 1",
    "8/5pk1/6p1/3p4/3P4/6P1/5PK1/8 w - - 0 1",
    "4r1k1/1p3ppp/p7/8/8/P7/1P3PPP/4R1K1 w - - 0 1",
    "2r3k1/5ppp/8/3b4/3N4/8/5PPP/2R3K1 w - - 0 1",
};

// A copy of a Board points its side pointers at its own records.
Board copyBoard(const Board& board) {
    Board copy = board;
    bool whiteToMove = board.toMove == &board.white;
    copy.toMove = whiteToMove ? &copy.white : &copy.black;
    copy.opponent = whiteToMove ? &copy.black : &copy.white;
    return copy;
}

std::vector<Board> benchPositions(BoardStack& stack) {
    std::mt19937 random(7321);
    std::vector<Board> positions;
    for (const char* fen : starts) {
        for (int game = 0; game < 4; ++game) {
            Board board;
            char message[FenMessageSize];
            if (!parseFen(board, stack, fen, message)) std::exit(2);
            for (int ply = 0; ply < 120; ++ply) {
                int count = generateLegalMoves(board, 0);
                if (count == 0) break;
                positions.push_back(copyBoard(board));
                saveUndo(board);
                makeMove(board, board.stack->moveLists[0][random() % count].move);
            }
        }
    }
    return positions;
}

}  // namespace

int main(int argc, char** argv) {
    int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    static Engine engine;
    static QuietHost host;
    initEngine(engine, host);
    ensureInitialised(engine);
    std::vector<Board> positions = benchPositions(engine.game.stack);
    constexpr int Passes = 50;
    std::vector<double> rates;
    long long signature = 0;
    for (int r = 0; r < repeats; ++r) {
        uint64_t ticks = 0;
        signature = 0;
        for (int pass = 0; pass < Passes; ++pass) {
            clearEvalMemory(engine.search.main.eval);  // not timed
            uint64_t start = readCounter();
            for (Board& board : positions)
                signature += evaluate(engine.search.main.eval, board, -FullWindow, FullWindow);
            ticks += readCounter() - start;
        }
        double seconds = double(ticks) / double(readCounterFrequency());
        rates.push_back(double(positions.size()) * Passes / seconds);
    }
    std::sort(rates.begin(), rates.end());
    std::printf("evaluate: %zu positions, %d passes, median %.0f evaluations/s, signature %lld\n",
                positions.size(), Passes, rates[rates.size() / 2], signature / Passes);
    return 0;
}
