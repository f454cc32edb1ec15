#include "eval/endgame.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "board/attacks.h"
#include "board/pawnrace.h"
#include "board/tables.h"
#include "eval/endgame_view.h"

using namespace endgame;

namespace {

// Whole signatures of two men of one side.
constexpr uint64_t TwoKnights = 2 * MaterialKnight;
constexpr uint64_t TwoBishops = 2 * MaterialBishop;
constexpr uint64_t KnightBishop = MaterialKnight + MaterialBishop;
constexpr uint64_t BishopPawn = MaterialBishop + MaterialPawn;
constexpr uint64_t KnightPawn = MaterialKnight + MaterialPawn;
constexpr uint64_t TwoPawns = 2 * MaterialPawn;

// Rook pawns whose promotion square the bishop cannot cover, with the enemy
// king already in the corner: written for White, the board flipped for Black.
bool wrongBishopRookPawn(const Board& board, int colour) {
    const SideState& side = sideOf(board, colour);
    Bitboard bishops = fromSide(side.bishops, colour);
    Bitboard king = fromSide(sideOf(board, colour ^ 1).king, colour);
    return (!(side.pawns & ~FileA) && !(bishops & LightSquares) &&
            (king & (bit(A8) | bit(B8) | bit(A7) | bit(B7)))) ||
           (!(side.pawns & ~FileH) && !(bishops & DarkSquares) &&
            (king & (bit(G8) | bit(H8) | bit(G7) | bit(H7))));
}

// Piece code of a side's only man, from the pawn..queen count nibbles.
int loneMan(uint64_t signature) { return 1 + std::countr_zero(signature & 0xFFFFF) / 4; }

// Class of two men against the bare king, for White's men.
int pairClass(uint64_t signature) {
    if ((signature >> 32) & 15) return 11;  // a rook or queen and any second man
    switch (signature) {
        case TwoKnights: return 6;
        case TwoBishops: return 7;
        case BishopPawn: return 9;
        case KnightBishop: return 13;
        case TwoPawns: return 19;
        case KnightPawn: return 25;
        default: return 0;
    }
}

// Class of one man against one man, [white][black] by piece code pawn..queen.
constexpr uint8_t duelClass[6][6] = {
    {},
    {0, 31, 35, 37, 24, 22},  // white pawn
    {0, 34, 6, 6, 30, 16},    // white knight
    {0, 36, 6, 6, 39, 18},    // white bishop
    {0, 23, 29, 38, 32, 28},  // white rook
    {0, 21, 15, 17, 27, 33},  // white queen
};

// Class 1: no mating material at all.
int drawn(View&) { return Drawn; }

// Classes 2, 3: king and rook or queen against the bare king.
int majorVersusKing(View& v) {
    v.flag = v.sign();
    if (v.usToMove) return UsWins;
    Bitboard loose = v.us.straightSliders & ~kingAttacks[v.us.kingSquare];
    if (kingAttacks[v.them.kingSquare] & loose) return Drawn;
    if (!v.inCheck && !kingSafeSquares(v.board, v.them, v.us)) return Drawn;  // stalemate
    return UsWins;
}

// Classes 4, 5: king and pawn against king.
int pawnVersusKing(View& v) {
    int pawn = lowestSquare(v.us.pawns), king = v.sq(v.them.kingSquare);
    if (!v.usToMove && (kingAttacks[v.them.kingSquare] & v.us.pawns) &&
        !(kingAttacks[v.us.kingSquare] & v.us.pawns))
        return Drawn;
    int file = fileOf(pawn);
    if (file == 0 || file == 7) {
        // The defending king in front of a rook pawn, or beside its promotion square.
        int beside = file == 0 ? B7 : G7;
        if ((fileAhead[v.sq(pawn)] & bit(king)) || king == beside || king == beside + 8)
            return Drawn;
    }
    return pawnUnstoppable(v.board, v.us.colour) ? UsWins : UsCannotLose;
}

// Class 6: two knights against the bare king, or a minor against a minor.
// Seen from White; only a king on the edge next to the other can be mated.
int minorsOnly(View& v) {
    v.flag = 0;
    const Board& b = v.board;
    if (!((b.white.king | b.black.king) & Edge) ||
        squareDistance(b.white.kingSquare, b.black.kingSquare) > 2)
        return Drawn;
    if (v.us.materialSignature && v.them.materialSignature) return NoVerdict;
    const SideState& bare = v.us.materialSignature ? v.them : v.us;
    if (!(bare.king & Edge)) return Drawn;
    return v.us.materialSignature ? UsCannotLose : ThemCannotLose;
}

// Classes 7, 8: two bishops against the bare king.
int twoBishops(View& v) {
    Bitboard bishops = v.us.bishops;
    if (!(bishops & LightSquares) || !(bishops & DarkSquares)) return Drawn;
    return v.usToMove && !(kingAttacks[v.them.kingSquare] & bishops) ? UsWins : UsCannotLose;
}

// Classes 9, 10: bishop and pawn against the bare king.
int bishopPawn(View& v) {
    if (wrongRookPawn(v.board, v.us.colour)) return Drawn;
    if (v.usToMove) {
        if (pawnUnstoppable(v.board, v.us.colour)) return UsWins;
        int bishop = lowestSquare(v.us.bishops);
        bool cornered = v.us.bishops & (bit(A2) | bit(H2) | bit(A7) | bit(H7));
        bool rookPawn = v.us.pawns & (FileA | FileH);
        bool defended =
            (kingAttacks[v.us.kingSquare] | bishopAttacksOf(v.board, bishop)) & v.us.pawns;
        if (!cornered && !rookPawn && defended) return UsWins;
    }
    return UsCannotLose;
}

// Classes 11, 12: a rook or queen and a second man against the bare king.
int majorAndMan(View& v) {
    if (v.usToMove) return UsWins;
    if (!(kingAttacks[v.them.kingSquare] & v.us.straightSliders) &&
        (v.inCheck || kingSafeSquares(v.board, v.them, v.us)))
        return UsWins;
    return UsCannotLose;
}

// Classes 13, 14: bishop and knight against the bare king.
int bishopKnight(View& v) {
    bool free = !(kingAttacks[v.them.kingSquare] & v.us.all) && !(v.us.knights & Corners);
    return v.usToMove && free ? UsWins : UsCannotLose;
}

// Classes 15, 16: queen against knight.
int queenVersusKnight(View& v) {
    if (v.usToMove && !v.inCheck) return UsWins;
    return v.us.king & Corners ? NoVerdict : UsCannotLose;
}

// Classes 17, 18: queen against bishop; king and bishop both on the queen's
// diagonals leave room for a skewer or a pin.
int queenVersusBishop(View& v) {
    if (v.usToMove && !v.inCheck) {
        Bitboard diagonals = bishopAttacksOf(v.board, lowestSquare(v.us.queens));
        if (!(diagonals & v.us.king) || !(diagonals & v.them.bishops)) return UsWins;
    }
    return v.us.king & Corners ? NoVerdict : UsCannotLose;
}

// Classes 19, 20: two pawns against the bare king.
int twoPawns(View& v) {
    if (v.usToMove) {
        Bitboard pawns = v.us.pawns;
        bool seventh = fromSide(pawns, v.us.colour) & (bit(A7) | bit(H7));
        if (!seventh && (pawnAttacksOfSet(pawns, v.us.colour) & pawns)) return UsWins;
        if (!(v.them.king & (FileA | FileH)) && pawnUnstoppable(v.board, v.us.colour))
            return UsWins;
    }
    return UsCannotLose;
}

// Classes 21, 22: queen against pawn.
int queenVersusPawn(View& v) {
    int pawn = lowestSquare(v.them.pawns);
    if (!v.usToMove)
        return pawnAttackTable[v.them.colour][pawn] & v.us.queens ? ThemCannotLose : NoVerdict;
    if (v.inCheck) return NoVerdict;
    // A pawn far from promotion, or one that the queen blocks from in front.
    if (v.rank(pawn) >= 4 || (pawnPath(v.them.colour, pawn) & v.us.queens)) return UsWins;
    if (v.rank(v.us.kingSquare) == 7 && queenVersusSeventhDraw(v.board, v.them.colour))
        return Drawn;
    return UsCannotLose;
}

// Classes 23, 24: rook against pawn.
int rookVersusPawn(View& v) {
    const Board& b = v.board;
    int pawn = lowestSquare(v.them.pawns), rook = lowestSquare(v.us.rooks);
    Bitboard path = pawnPath(v.them.colour, pawn);
    Bitboard reach = rookAttacksOf(b, rook);
    bool guarded = kingAttacks[v.them.kingSquare] & v.them.pawns;
    bool rookAttacked = kingAttacks[v.them.kingSquare] & v.us.rooks;
    int rank = v.rank(pawn);
    if (v.usToMove && !v.inCheck) {
        if (path & v.us.king) return UsWins;
        if (!guarded && !(v.them.king & Corners) && (reach & v.them.pawns)) return UsWins;
        if (rank == 1 && !(path & v.them.king) && squareDistance(v.us.kingSquare, pawn) > 3 &&
            guarded)
            return reach & v.them.pawns ? Drawn : ThemCannotLose;
        return reach & (v.them.pawns | path) ? UsCannotLose : NoVerdict;
    }
    if (!rookAttacked && (fileAttacksOf(b, rook) & v.them.pawns)) return UsCannotLose;
    if (v.usToMove) return NoVerdict;  // in check
    if (pawnAttackTable[v.them.colour][pawn] & v.us.rooks) return ThemCannotLose;
    int kings = squareDistance(v.us.kingSquare, v.them.kingSquare);
    if (guarded && ((rank == 1 && kings > 3) || (rank == 2 && kings > 4))) return ThemCannotLose;
    if (rookAttacked && !(kingAttacks[v.us.kingSquare] & v.us.rooks)) return ThemCannotLose;
    return NoVerdict;
}

// Classes 25, 26: knight and pawn against the bare king.
int knightPawn(View& v) {
    int pawn = lowestSquare(v.us.pawns), knight = lowestSquare(v.us.knights);
    Bitboard king = bit(v.sq(v.them.kingSquare));
    Bitboard corner = v.sq(pawn) == A7   ? bit(A7) | bit(B7) | bit(A8) | bit(B8)
                      : v.sq(pawn) == H7 ? bit(G7) | bit(H7) | bit(G8) | bit(H8)
                                         : 0;
    if (king & corner) return Drawn;
    if (v.usToMove) {
        bool backed = (knightAttacks[knight] & v.us.pawns) && v.sq(knight) < v.sq(pawn);
        if (backed || pawnUnstoppable(v.board, v.us.colour)) return UsWins;
    }
    return UsCannotLose;
}

// Classes 27, 28: queen against rook.
int queenVersusRook(View& v) {
    if (!v.usToMove || v.inCheck) return NoVerdict;
    int king = v.them.kingSquare;
    bool rookAway = !((knightAttacks[king] | kingAttacks[king]) & v.them.rooks);
    if (!(v.them.king & Corners) && rookAway) return UsWins;
    int queen = lowestSquare(v.us.queens), own = v.us.kingSquare;
    return fileOf(queen) != fileOf(own) && rankOf(queen) != rankOf(own) ? UsWins : UsCannotLose;
}

// Classes 29, 30: rook against knight.
int rookVersusKnight(View& v) { return v.us.king & Corners ? NoVerdict : UsCannotLose; }

// Class 31: pawn against pawn, seen from the side to move.
int pawnVersusPawn(View& v) {
    const Board& b = v.board;
    int white = lowestSquare(b.white.pawns), black = lowestSquare(b.black.pawns);
    bool stopped = pawnAttackTable[Black][black] & bit(white + 8);
    bool guarded = (kingAttacks[b.white.kingSquare] & b.white.pawns) &&
                   (kingAttacks[b.black.kingSquare] & b.black.pawns);
    if (stopped && guarded) return Drawn;
    if ((kingAttacks[v.us.kingSquare] & v.them.pawns) &&
        !(kingAttacks[v.them.kingSquare] & v.them.pawns))
        return UsCannotLose;
    return NoVerdict;
}

// Class 32: rook against rook, seen from the side to move.
int rookVersusRook(View& v) {
    v.flag = 0;
    if (v.inCheck) return NoVerdict;
    bool exposed = !(v.them.king & Edge) && !(kingAttacks[v.them.kingSquare] & v.board.occupied);
    Bitboard reach =
        kingAttacks[v.us.kingSquare] | rookAttacksOf(v.board, lowestSquare(v.us.rooks));
    if (exposed && (reach & v.them.rooks)) return UsWins;
    return v.us.king & Edge ? NoVerdict : UsCannotLose;
}

// Class 33: queen against queen, seen from the side to move.
int queenVersusQueen(View& v) {
    v.flag = 0;
    if (v.inCheck) return NoVerdict;
    if ((v.us.king & Corners) || (v.them.king & Edge) ||
        (kingAttacks[v.them.kingSquare] & v.board.occupied))
        return UsCannotLose;
    Bitboard reach =
        kingAttacks[v.us.kingSquare] | queenAttacksOf(v.board, lowestSquare(v.us.queens));
    return reach & v.them.queens ? UsWins : UsCannotLose;
}

// Classes 34, 35: knight against pawn.
int knightVersusPawn(View& v) {
    int pawn = lowestSquare(v.them.pawns), knight = lowestSquare(v.us.knights);
    int p = v.sq(pawn), theirs = v.sq(v.them.kingSquare), ours = v.sq(v.us.kingSquare);
    if (v.rank(pawn) >= 4) v.flag = 0;
    if (v.usToMove) {
        // The king boxed in front of its rook pawn: a knight check mates.
        bool boxed = (p == A2 && theirs == A1 && (ours == C1 || ours == C2)) ||
                     (p == H2 && theirs == H1 && (ours == F1 || ours == F2));
        Bitboard checks = knightAttacks[v.them.kingSquare] & v.board.empty;
        if (boxed && (knightAttacks[knight] & checks)) return UsWins;
        bool ourKingNear = kingAttacks[v.us.kingSquare] & v.them.pawns;
        bool theirKingNear = kingAttacks[v.them.kingSquare] & v.them.pawns;
        if ((knightAttacks[knight] & v.them.pawns) || (ourKingNear && !theirKingNear) ||
            (pawnPath(v.them.colour, pawn) & v.us.king))
            return Drawn;
    }
    // The same box as a stalemate: king in front of its rook pawn, our king two
    // files away on its rank, the knight out of the pawn's reach.
    if ((fileOf(pawn) == 0 || fileOf(pawn) == 7) && theirs == p - 8 &&
        !(pawnAttackTable[v.them.colour][pawn] & v.us.knights) && rankOf(ours) == rankOf(theirs) &&
        std::abs(fileOf(ours) - fileOf(theirs)) == 2)
        return Drawn;
    return v.them.king & Edge ? NoVerdict : ThemCannotLose;
}

// Classes 36, 37: bishop against pawn.
int bishopVersusPawn(View& v) {
    int pawn = lowestSquare(v.them.pawns), rank = v.rank(pawn);
    if (v.usToMove &&
        (rank == 6 || (bishopAttacksOf(v.board, lowestSquare(v.us.bishops)) & v.them.pawns)))
        return Drawn;
    if (rank != 1 && rank != 2) v.flag = 0;
    return v.them.king & Edge ? NoVerdict : ThemCannotLose;
}

// Classes 38, 39: rook against bishop.
int rookVersusBishop(View& v) {
    v.flag = 0;
    if (!(v.us.king & Corners) || !(kingAttacks[v.us.kingSquare] & v.us.rooks)) return UsCannotLose;
    bool quiet = !v.usToMove && !(v.them.king & Edge) &&
                 !(rookAttacksOf(v.board, lowestSquare(v.us.rooks)) & v.them.all);
    return quiet ? Drawn : NoVerdict;
}

// Each class's recogniser, the side it is written for (the symmetric classes
// 31 to 33 are seen from the side to move) and its material.
// clang-format off
constexpr Rule rules[40] = {
    {nullptr, White, "none"},
    {drawn, White, "KvK,KNvK,KBvK,KvKN,KvKB"},
    {majorVersusKing, White, "KRvK,KQvK"},
    {majorVersusKing, Black, "KvKR,KvKQ"},
    {pawnVersusKing, White, "KPvK"},
    {pawnVersusKing, Black, "KvKP"},
    {minorsOnly, White, "KNNvK,KvKNN,KNvKN,KNvKB,KBvKN,KBvKB"},
    {twoBishops, White, "KBBvK,KBBBvK"},
    {twoBishops, Black, "KvKBB,KvKBBB"},
    {bishopPawn, White, "KBPvK"},
    {bishopPawn, Black, "KvKBP"},
    {majorAndMan, White, "KR+vK,KQ+vK"},
    {majorAndMan, Black, "KvKR+,KvKQ+"},
    {bishopKnight, White, "KBNvK,KBNNvK,KBBNvK,KBNPvK"},
    {bishopKnight, Black, "KvKBN,KvKBNN,KvKBBN,KvKBNP"},
    {queenVersusKnight, White, "KQvKN"},
    {queenVersusKnight, Black, "KNvKQ"},
    {queenVersusBishop, White, "KQvKB"},
    {queenVersusBishop, Black, "KBvKQ"},
    {twoPawns, White, "KPPvK"},
    {twoPawns, Black, "KvKPP"},
    {queenVersusPawn, White, "KQvKP"},
    {queenVersusPawn, Black, "KPvKQ"},
    {rookVersusPawn, White, "KRvKP"},
    {rookVersusPawn, Black, "KPvKR"},
    {knightPawn, White, "KNPvK"},
    {knightPawn, Black, "KvKNP"},
    {queenVersusRook, White, "KQvKR"},
    {queenVersusRook, Black, "KRvKQ"},
    {rookVersusKnight, White, "KRvKN"},
    {rookVersusKnight, Black, "KNvKR"},
    {pawnVersusPawn, ToMove, "KPvKP"},
    {rookVersusRook, ToMove, "KRvKR"},
    {queenVersusQueen, ToMove, "KQvKQ"},
    {knightVersusPawn, White, "KNvKP"},
    {knightVersusPawn, Black, "KPvKN"},
    {bishopVersusPawn, White, "KBvKP"},
    {bishopVersusPawn, Black, "KPvKB"},
    {rookVersusBishop, White, "KRvKB"},
    {rookVersusBishop, Black, "KBvKR"},
};
// clang-format on

}  // namespace

bool recogniseFiveSixMen = true;

int classifyMaterial(const Board& board) {
    uint64_t white = board.white.materialSignature, black = board.black.materialSignature;
    switch (board.pieceCount) {
        case 2: return 1;
        case 3: {
            int man = loneMan(white | black);
            if (man == Knight || man == Bishop) return 1;
            return (man == Pawn ? 4 : 2) + (white == 0);
        }
        case 4: {
            if (white && black) return duelClass[loneMan(white)][loneMan(black)];
            int pair = pairClass(white | black);
            return pair == 6 ? 6 : pair + (white == 0);
        }
        case 5:
        case 6: return classifyLarge(board);
        default: return 0;
    }
}

const char* materialClassName(int material) {
    if (material > 0 && material < int(std::size(rules))) return rules[material].name;
    const Rule* rule = largeRule(material);
    return rule ? rule->name : rules[0].name;
}

int probeEndgame(Board& board, int32_t& result, int32_t& flag) {
    result = ResultDraw;
    flag = FlagUnset;
    int material = classifyMaterial(board);
    const Rule* rule = material < int(std::size(rules)) ? &rules[material] : largeRule(material);
    if (material == 0 || !rule || (material >= 40 && !recogniseFiveSixMen)) return 0;
    View view(board, rule->side == ToMove ? board.toMove->colour : rule->side, flag);
    int verdict = rule->recognise(view);
    if (verdict == NoVerdict) return 0;
    result = verdict * view.sign();
    return 1;
}

Bitboard kingSafeSquares(const Board& board, const SideState& side, const SideState& other) {
    return kingAttacks[side.kingSquare] & ~side.all & ~allAttacksOfSide(board, other);
}

bool whitePawnSquareUnstoppable(const Board& board, int square) {
    int bits = pawnRace[square - 8][board.black.kingSquare];
    return (bits >> board.toMove->colour & 1) && !(fileAhead[square] & board.occupied);
}

bool blackPawnSquareUnstoppable(const Board& board, int square) {
    int bits = pawnRace[square - 8][board.white.kingSquare];
    return (bits >> (board.toMove->colour + 2) & 1) && !(fileBehind[square] & board.occupied);
}

bool whitePawnUnstoppable(const Board& board) {
    for (Bitboard pawns = board.white.pawns; pawns;)
        if (whitePawnSquareUnstoppable(board, popLowest(pawns))) return true;
    return false;
}

bool blackPawnUnstoppable(const Board& board) {
    for (Bitboard pawns = board.black.pawns; pawns;)
        if (blackPawnSquareUnstoppable(board, popLowest(pawns))) return true;
    return false;
}

bool wrongRookPawnWhite(const Board& board) { return wrongBishopRookPawn(board, White); }
bool wrongRookPawnBlack(const Board& board) { return wrongBishopRookPawn(board, Black); }

bool queenVersusSeventhDraw(const Board& board, int colour) {
    // A bishop or rook pawn one step from promotion, with its king beside the
    // queening square: the queen cannot force the king away in time.
    if (colour == White) {
        Bitboard pawns = board.white.pawns;
        int king = board.white.kingSquare;
        return ((king == B7 || king == B8) && (pawns & (bit(A7) | bit(C7)))) ||
               ((king == G7 || king == G8) && (pawns & (bit(F7) | bit(H7))));
    }
    Bitboard pawns = board.black.pawns;
    int king = board.black.kingSquare;
    return ((king == B2 || king == B1) && (pawns & (bit(A2) | bit(C2)))) ||
           ((king == G2 || king == G1) && (pawns & (bit(F2) | bit(H2))));
}
