// Exact verdicts on endings of few men, by material class: won, drawn, or a
// side that cannot lose. No tablebases; a handful of rules per class.
#pragma once

#include <cstdint>

#include "board/types.h"

// Verdicts, White's view.
constexpr int32_t ResultBlackWins = -1;
constexpr int32_t ResultDraw = 0;
constexpr int32_t ResultWhiteWins = 1;
constexpr int32_t ResultWhiteCannotLose = 2;
constexpr int32_t ResultBlackCannotLose = -2;

// Value of flag on entry; a recogniser sets 0 when neither side has winning
// material, which evaluate turns into 0 even without a verdict.
constexpr int32_t FlagUnset = 5;

// What one man adds to a side's materialSignature.
constexpr uint64_t MaterialPawn = signatureIncrement[Pawn];
constexpr uint64_t MaterialKnight = signatureIncrement[Knight];
constexpr uint64_t MaterialBishop = signatureIncrement[Bishop];
constexpr uint64_t MaterialRook = signatureIncrement[Rook];
constexpr uint64_t MaterialQueen = signatureIncrement[Queen];

// Class number 0 (not covered) to 170 from the men on the board; up to four
// men use 1..39, five and six men 40 and above (and the small classes that
// extend to them).
int classifyMaterial(const Board& board);

// The material that a class covers, White first ("KRPvKR", the mirror class
// "KRvKRP"); combinations sharing one recogniser are listed with commas. Each
// "+" stands for at least one further man of any kind, up to six men in all
// ("KQ+vKR": a queen and one or two more men; "KQ++vKP": a queen and two).
// "none" for class 0 and numbers out of range.
const char* materialClassName(int material);

// Off switch of the five- and six-men recognisers, for measuring the search
// without them; always on in play.
extern bool recogniseFiveSixMen;

// Sets result to 0 and flag to FlagUnset, then runs the recogniser of the
// position's class. Returns 1 when it reached a verdict (in result).
int probeEndgame(Board& board, int32_t& result, int32_t& flag);

// Helper tests shared by the recognisers and the thin-material evaluation.
// King steps of side onto squares free of side's men and not attacked by other.
Bitboard kingSafeSquares(const Board& board, const SideState& side, const SideState& other);
bool whitePawnUnstoppable(const Board& board);
bool blackPawnUnstoppable(const Board& board);
bool whitePawnSquareUnstoppable(const Board& board, int square);
bool blackPawnSquareUnstoppable(const Board& board, int square);
bool wrongRookPawnWhite(const Board& board);
bool wrongRookPawnBlack(const Board& board);
// Rook endings with one attacking pawn: the defending king stands in front of
// the pawn and its rook on a rank that holds the draw (colours, not sides).
bool rookEndingDefence(const Board& board, int defender, int attacker);
// The defending side (colour) holds a queen off with a pawn on its seventh.
bool queenVersusSeventhDraw(const Board& board, int colour);
