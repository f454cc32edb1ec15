// Shared set-up for the unit tests: tables initialised once, positions from FEN.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <string>
#include <vector>

#include "board/types.h"
#include "driver/engine.h"
#include "notation/fen.h"
#include "search/pv.h"
#include "search/searchstack.h"

// The tests' engine: initialised, with a quiet search host (searches run to
// their limits, print no thinking and use no book).
extern Engine& engine;

// The main search thread's evaluation memory, which the tests' evaluations use.
inline EvalMemory& testEval() { return engine.search.main.eval; }

// A board on the engine's board stack, set up from fen; fails the test if rejected.
inline Board& boardFromFen(const char* fen) {
    static Board board;
    char message[FenMessageSize];
    EXPECT_EQ(parseFen(board, engine.game.stack, fen, message), 1) << fen << ": " << message;
    return board;
}

// A reference position. The file holds one with nine white pawns: validation
// rejects it, but its board is whole and its move tree well defined.
Board& referenceBoard(const char* fen);

// Expects every maintained field of two boards at the same address to agree (a
// snapshot copy keeps the original's side pointers); the evaluation's scratch
// fields are left out. Returns false once any expectation failed.
bool sameBoard(const Board& a, const Board& b);

// Moves of list k in generation order, as coordinate text.
std::vector<std::string> listText(const Board& board, int list, int count);

// A pseudo-legal move of the position by its coordinate text, of this kind
// only when kind is not -1 (castling and a king step can share coordinates);
// 0 (and a failed expectation) when there is none.
Move findMove(Board& board, const char* text, int kind = -1);

// Makes the moves, checking the board after each.
void play(Board& board, std::initializer_list<const char*> moves);

// The lines of a file of tests/data/ that are neither blank nor "#" comments.
std::vector<std::string> dataRows(const char* name);

// The positions of tests/data/perft.txt, without their counts.
std::vector<std::string> referenceFens();

// FEN text of men by square (FEN letters, 0 for an empty square), without
// castling rights or en passant.
std::string squaresFen(const std::array<char, 64>& men, bool whiteToMove);

// The position as FEN text without castling rights or en passant.
std::string positionFen(const Board& board);

// The same FEN with the board flipped top to bottom and the colours of the men
// and of the side to move exchanged; castling and en passant dropped.
std::string mirrorFen(const std::string& fen);

// What fn printed to standard output.
template <class Fn>
std::string stdoutOf(Fn&& fn) {
    testing::internal::CaptureStdout();
    fn();
    return testing::internal::GetCapturedStdout();
}

// The moves, in coordinate text, as a variation played from board; board is
// left as it was.
PrincipalVariation variationFrom(Board& board, std::initializer_list<const char*> moves);

// A legal walk of count plies from board: the first generated move each time,
// or with wordy the move of the longest SAN. Board is left as it was.
PrincipalVariation legalWalk(Board& board, int count, bool wordy = false);

// The variation's SAN text, as thinking lines show it; board is left as it was.
std::string variationString(Board& board, const PrincipalVariation& pv);
