// Candidate tactics from played games: positions where the side to move won
// material with the move the game went on with, and kept it. tools/tactics.py
// verifies them with a long search and scores builds on the ones that stand.
//
// A candidate: the mover gains at least two pawns (pawn 1, minor 3, rook 5,
// queen 9) four and five plies on, the move before it took nothing (so it is
// not a recapture in an exchange under way) and material was within three
// pawns. One line each, for UCI's "position":
//   START_FEN;COORDINATE MOVES TO THE POSITION;BEST MOVE
//
// Usage: vostrel_tactics GAMES.pgn... > candidates.txt
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "board/makemove.h"
#include "board/types.h"
#include "driver/engine.h"
#include "notation/fen.h"
#include "notation/movetext.h"
#include "notation/pgn.h"

namespace {

constexpr int MinGain = 2;       // pawns the move must win
constexpr int MaxBalance = 3;    // pawns either side may be ahead before it
constexpr int HoldPlies = 4;     // the gain must stand this many plies on, and one more
constexpr int OpeningPlies = 8;  // the first plies are the opening file's and the book's

int material(const SideState& side) {
    return popCount(side.pawns) + 3 * popCount(side.knights | side.bishops) +
           5 * popCount(side.rooks) + 9 * popCount(side.queens);
}

// Prints the game's candidates; false when its text or a move is bad.
bool extractGame(const PgnGame& game, BoardStack& stack) {
    if (game.variant[0] || game.moveCount < OpeningPlies + HoldPlies + 2) return false;
    Board board{};
    char message[FenMessageSize];
    const char* start = game.fen[0] ? game.fen : StartFen;
    if (!parseFen(board, stack, start, message)) return false;
    std::vector<int> balance;  // white minus black, before each move
    std::vector<std::string> moves;
    for (int i = 0; i < game.moveCount && undoHasRoom(board); ++i) {
        balance.push_back(material(board.white) - material(board.black));
        SanReading reading = readMoveSan(board, game.moves[i]);
        if (!reading.move) return false;
        char text[8];
        formatMoveCoordinates(reading.move, text);
        moves.push_back(text);
        saveUndo(board);
        makeMove(board, reading.move);
    }
    balance.push_back(material(board.white) - material(board.black));
    const int plies = int(moves.size());
    for (int i = OpeningPlies; i + HoldPlies + 1 <= plies; ++i) {
        const int sign = (board.startPly + i) % 2 == 0 ? 1 : -1;  // white moves at i
        const int before = sign * balance[size_t(i)];
        if (balance[size_t(i)] != balance[size_t(i - 1)] || before > MaxBalance ||
            before < -MaxBalance)
            continue;
        if (sign * balance[size_t(i + HoldPlies)] - before < MinGain ||
            sign * balance[size_t(i + HoldPlies + 1)] - before < MinGain)
            continue;
        std::string line = std::string(start) + ";";
        for (int j = 0; j < i; ++j) line += (j ? " " : "") + moves[size_t(j)];
        std::printf("%s;%s\n", line.c_str(), moves[size_t(i)].c_str());
        i += HoldPlies;  // one candidate per exchange
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: vostrel_tactics GAMES.pgn... > candidates.txt\n");
        return 2;
    }
    initPositionTables();
    auto stack = std::make_unique<BoardStack>();
    initBoardStack(*stack);
    auto game = std::make_unique<PgnGame>();
    auto reader = std::make_unique<PgnReader>();
    for (int a = 1; a < argc; ++a) {
        std::FILE* file = std::fopen(argv[a], "rb");
        if (!file) {
            std::fprintf(stderr, "vostrel_tactics: cannot read %s\n", argv[a]);
            return 1;
        }
        pgnReadFile(*reader, file);
        while (pgnNextGame(*reader, *game))
            if (!game->error) extractGame(*game, *stack);
        std::fclose(file);
    }
    return 0;
}
