// Move text from the GUI (coordinates, SAN, promotions, castling in both
// notations) on positions that offer every kind of move.
#include <cstdlib>
#include <string>

#include "board/check.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "driver/engine.h"
#include "fuzz_support.h"
#include "notation/fen.h"
#include "notation/movetext.h"

namespace {

// Castling both ways, promotions with and without capture, en passant; a
// fischerandom position; a position in check.
constexpr const char* Positions[] = {
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ - 0 1",
    "8/8/8/8/k2Pp2Q/8/8/3K4 b - - 0 1",
    "bqnb1rkr/pp3ppp/3ppn2/2p5/5P2/P2P4/NPP1P1PP/BQ1BNRKR w HFhf - 2 9",
    "rk6/8/8/8/8/8/8/6KR w Ha - 0 1",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Engine& engine = quietFuzzEngine();
    if (size < 1) return 0;
    static Board board;
    char message[FenMessageSize];
    const char* fen = Positions[data[0] % (sizeof Positions / sizeof Positions[0])];
    if (!parseFen(board, engine.game.stack, fen, message)) std::abort();
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    // SAN names a legal move or gives a reason, never both.
    const SanReading reading = readMoveSan(board, text.c_str());
    if (!reading.move == !reading.error) std::abort();
    if (reading.move && !isMoveLegal(board, reading.move)) std::abort();
    const Move move = parseMoveText(board, text.c_str());
    if (!move) return 0;
    // A named move is one the generators make; legal or not, the board takes
    // it back whole.
    const int count = generateMoves(board);
    bool legal = false;
    for (int i = 0; i < count; ++i) legal |= board.stack->moveLists[0][i].move == move;
    if (legal != isMoveLegal(board, move)) std::abort();
    if (!legal) return 0;
    const uint64_t key = board.hashKey;
    char san[16];
    formatMoveSan(board, move, san);
    saveUndo(board);
    makeMove(board, move);
    if (findBoardInconsistency(board)) std::abort();
    unmakeMove(board);
    if (board.hashKey != key || findBoardInconsistency(board)) std::abort();
    return 0;
}
