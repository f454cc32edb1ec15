#include "eval/thin.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "board/attacks.h"
#include "board/tables.h"
#include "eval/endgame.h"

namespace {

// Square tables, a1 = index 0: each line of an initialiser is one rank, rank 1
// first. centre, edge and ring are symmetric top to bottom, so they serve both
// colours unchanged.

// Bonus of a king near the middle.
constexpr int8_t centre[64] = {
    -6, -4, -3, -2, -2, -3, -4, -6,  //
    -4, 2,  4,  5,  5,  4,  2,  -4,  //
    -3, 4,  10, 11, 11, 10, 4,  -3,  //
    -2, 5,  10, 12, 12, 10, 5,  -2,  //
    -2, 5,  10, 12, 12, 10, 5,  -2,  //
    -3, 4,  10, 11, 11, 10, 4,  -3,  //
    -4, 2,  4,  5,  5,  4,  2,  -4,  //
    -6, -4, -3, -2, -2, -3, -4, -6,
};

// Bonus for having pushed the lone king to the edge and corner. Every entry is
// even, which keeps the halving of the balanced case exact.
constexpr int8_t edge[64] = {
    60, 40, 20, 14, 14, 20, 40, 60,  //
    40, 40, 20, 10, 10, 20, 40, 40,  //
    20, 20, 20, 6,  6,  20, 20, 20,  //
    14, 10, 6,  0,  0,  6,  10, 14,  //
    14, 10, 6,  0,  0,  6,  10, 14,  //
    20, 20, 20, 6,  6,  20, 20, 20,  //
    40, 40, 20, 10, 10, 20, 40, 40,  //
    60, 40, 20, 14, 14, 20, 40, 60,
};

// The mating king's own square: off the edge, ideally on the c3-f6 ring from
// where it takes the opposition against a king on the rim.
constexpr int8_t ring[64] = {
    -12, -12, -12, -12, -12, -12, -12, -12,  //
    -12, 0,   0,   0,   0,   0,   0,   -12,  //
    -12, 0,   10,  10,  10,  10,  0,   -12,  //
    -12, 0,   10,  0,   0,   10,  0,   -12,  //
    -12, 0,   10,  0,   0,   10,  0,   -12,  //
    -12, 0,   10,  10,  10,  10,  0,   -12,  //
    -12, 0,   0,   0,   0,   0,   0,   -12,  //
    -12, -12, -12, -12, -12, -12, -12, -12,
};

// Defending king's square against a light-squared bishop: bishop and knight
// (or bishop and king) mate only in a corner of the bishop's colour, h1 or a8.
constexpr int8_t lightCorner[64] = {
    -20, -15, -10, -5, 10, 20,  25,  35,   //
    -15, -15, -10, -5, 10, 20,  25,  25,   //
    -10, -10, -10, -5, 10, 20,  20,  20,   //
    -5,  -5,  -5,  -5, 10, 10,  10,  10,   //
    10,  10,  10,  10, -5, -5,  -5,  -5,   //
    20,  20,  20,  10, -5, -10, -10, -10,  //
    25,  25,  20,  10, -5, -10, -15, -15,  //
    35,  25,  20,  10, -5, -10, -15, -20,
};

// The same for a dark-squared bishop (corners a1, h8): lightCorner mirrored
// left to right.
constexpr std::array<int8_t, 64> darkCorner = [] {
    std::array<int8_t, 64> table{};
    for (int square = 0; square < 64; ++square) table[square] = lightCorner[square ^ 7];
    return table;
}();

constexpr Bitboard LightSquares = 0x55AA55AA55AA55AAull;
constexpr Bitboard DarkSquares = ~LightSquares;
constexpr Bitboard EdgeSquares = FileA | FileH | Rank1 | Rank8;

// Counters of a materialSignature.
constexpr int knightCount(uint64_t signature) { return int((signature >> 4) & 15); }
constexpr int pieceNumber(uint64_t signature) { return int((signature >> 20) & 15); }
constexpr int minorCount(uint64_t signature) { return int((signature >> 28) & 15); }
constexpr int majorWeight(uint64_t signature) { return int((signature >> 32) & 15); }

// King moves between two squares.
constexpr int distance(int a, int b) {
    return std::max(std::abs(rankOf(a) - rankOf(b)), std::abs(fileOf(a) - fileOf(b)));
}

// A square or a set as seen from colour's side: Black's rank 8 becomes rank 1.
constexpr int relativeSquare(int square, int colour) {
    return colour == White ? square : square ^ 56;
}
constexpr Bitboard relativeSet(Bitboard set, int colour) {
    if (colour == White) return set;
    set = ((set >> 8) & 0x00FF00FF00FF00FFull) | ((set & 0x00FF00FF00FF00FFull) << 8);
    set = ((set >> 16) & 0x0000FFFF0000FFFFull) | ((set & 0x0000FFFF0000FFFFull) << 16);
    return (set >> 32) | (set << 32);
}

// Bit 0: a man on a light square, bit 1: on a dark square.
constexpr int squareColours(Bitboard set) {
    return ((set & LightSquares) != 0 ? 1 : 0) | ((set & DarkSquares) != 0 ? 2 : 0);
}

bool hasPiece(const SideState& side) {
    return (side.knights | side.bishops | side.rooks | side.queens) != 0;
}

// The leader's technique against the other king: corners for its bishops,
// edge and opposition with a major, a lone defending knight kept away from
// its king; always the kings close together.
int32_t mateTechnique(const SideState& lead, const SideState& other) {
    int own = lead.kingSquare, target = other.kingSquare;
    int32_t bonus = 0;
    if (lead.bishops & LightSquares) bonus += lightCorner[target];
    if (lead.bishops & DarkSquares) bonus += darkCorner[target];
    if (lead.rooks | lead.queens) {
        bonus += edge[target] + ring[own];
        if (other.materialSignature == MaterialKnight) {
            int knight = lowestSquare(other.knights);
            bonus += 2 * edge[knight] + 16 * distance(knight, target) - 16 * distance(knight, own);
        }
    }
    return bonus - 16 * distance(own, target);
}

// How far the material lets a pawnless score count, more being the side with
// more minors. Unwinnable balances are damped, clear ones amplified.
int32_t scaleByMinors(int32_t v, const SideState& more, const SideState& fewer) {
    int dMin = minorCount(more.materialSignature) - minorCount(fewer.materialSignature);
    int dMaj = majorWeight(more.materialSignature) - majorWeight(fewer.materialSignature);
    if (dMaj > 0) return 2 * v;
    if (dMaj < 0) {
        int s = dMaj + dMin;
        if (s < 0) return 2 * v;
        if (s == 0) return dMin == 1 ? v / 2 : dMin == 2 ? v : 2 * v;
        if (s == 1) return dMin > 3 ? v : v / 2;
        return dMin > 5 ? v : 2 * v;
    }
    if (dMin == 1) {
        // A single minor cannot mate; one more minor beside equal majors
        // rarely wins, unless the defending king is already on the rim.
        if (more.materialSignature == MaterialKnight || more.materialSignature == MaterialBishop)
            return 0;
        return (bit(fewer.kingSquare) & EdgeSquares) ? v / 2 : v / 4;
    }
    if (more.rooks | more.queens) return 2 * v;
    if (!more.bishops) return knightCount(more.materialSignature) >= 3 ? 2 * v : v / 2;
    if (more.knights) return 2 * v;
    return squareColours(more.bishops) == 3 ? 2 * v : v / 2;
}

// With no pawn, rook or queen, the leader cannot mate with knights alone (two
// cannot force it) or with bishops all of one colour.
bool cannotMate(const SideState& side) {
    if (side.pawns | side.rooks | side.queens) return false;
    if (!side.bishops) return popCount(side.knights) < 3;
    return !side.knights && squareColours(side.bishops) != 3;
}

// Rook and pawns against a rook, the leader's view (score > 0).
int32_t rookEnding(int32_t s, const SideState& lead, const SideState& other) {
    int colour = lead.colour;
    // Everything seen from the leader's side: its pawns run up the board.
    Bitboard pawns = relativeSet(lead.pawns, colour);
    int king = relativeSquare(lead.kingSquare, colour);
    int defender = relativeSquare(other.kingSquare, colour);
    int rookFile = fileOf(lowestSquare(lead.rooks));
    Bitboard defenderBit = bit(defender);

    constexpr Bitboard FileC = FileA << 2, FileF = FileA << 5;
    constexpr Bitboard KingSideCorner = 0xE0E0ull << 48;   // f7-h7, f8-h8
    constexpr Bitboard QueenSideCorner = 0x0707ull << 48;  // a7-c7, a8-c8
    if (!(pawns & ~(FileF | FileH))) {
        if (defenderBit & KingSideCorner) s /= 2;
    } else if (!(pawns & ~(FileA | FileC))) {
        if (defenderBit & QueenSideCorner) s /= 2;
    } else if (popCount(pawns) == 2 && (pawnAttacksOfSet(pawns, White) & pawns) &&
               (defenderBit & (pawns << 8))) {
        s /= 2;
    }

    // The king escorting a pawn on the last ranks: the pawn promotes.
    if ((kingAttacks[king] & pawns) && rankOf(king) >= 6 && king != A8 && king != H8) return 2 * s;

    int front = highestSquare(pawns);
    if (!(pawns & ~(FileA << fileOf(front))) && rankOf(defender) >= 6 &&
        rankOf(defender) > rankOf(front) && std::abs(fileOf(defender) - fileOf(front)) <= 1)
        s /= 2;

    // A pawn beside its king, with the rook cutting the defending king off or
    // the defending king already behind the pawn.
    for (Bitboard escorted = kingAttacks[king] & pawns; escorted;) {
        int pawn = popLowest(escorted);
        int low = std::min(fileOf(pawn), fileOf(defender));
        int high = std::max(fileOf(pawn), fileOf(defender));
        if ((rookFile > low && rookFile < high) || rankOf(defender) < rankOf(pawn)) {
            s += 75;
            break;
        }
    }
    return s;
}

// The leader has no pawn, the other side has; the leader's view (score > 0).
int32_t piecesAgainstPawns(const Board& board, const PawnHashEntry& entry, int32_t s,
                           const SideState& lead, const SideState& other) {
    uint64_t material = lead.materialSignature;
    int pawnsLeft = popCount(other.pawns);
    if (lead.queens) {
        if (material == MaterialQueen) {
            if (queenVersusSeventhDraw(board, other.colour)) return s / 4;
            if (other.materialSignature == MaterialRook + 2 * MaterialPawn &&
                (kingAttacks[other.kingSquare] & other.pawns))
                return s / 2;
        } else if ((material == MaterialQueen + MaterialKnight ||
                    material == MaterialQueen + MaterialBishop) &&
                   other.queens) {
            return pawnsLeft == 1 ? s / 4 : 64 - 64 * pawnsLeft;
        }
        return s;
    }
    if (!lead.rooks) return s;
    if ((material == MaterialRook || material == MaterialRook + MaterialBishop ||
         material == MaterialRook + MaterialKnight) &&
        (other.rooks | other.queens))
        return pawnsLeft == 1 ? s / 4 : 64 - 64 * pawnsLeft;
    if (majorWeight(material) == majorWeight(other.materialSignature) &&
        minorCount(material) <= minorCount(other.materialSignature) + 1) {
        // The extra piece merely holds the pawns: the structure decides.
        int32_t structure = lead.colour == White ? entry.score : -entry.score;
        return pawnsLeft != 1 ? structure / 2 : s / 2;
    }
    return s;
}

// The material rules of the endgame, the leader's view (score > 0).
int32_t scaleForLeader(const Board& board, const PawnHashEntry& entry, int32_t s,
                       const SideState& lead, const SideState& other) {
    uint64_t material = lead.materialSignature;
    uint64_t otherMaterial = other.materialSignature;
    if (!(lead.knights | lead.rooks | lead.queens) && lead.pawns) {
        if (fortressDraw(board, other.colour, lead.colour)) {
            s = 0;
        } else if (lead.bishops && other.bishops &&
                   !(squareColours(lead.bishops) & squareColours(other.bishops))) {
            s /= 2;  // bishops of opposite colours
        }
    } else if (!other.pawns) {
        if (otherMaterial == 0) {
            if (lead.rooks | lead.queens | lead.knights) s *= 2;
        } else if (otherMaterial == MaterialBishop || otherMaterial == MaterialKnight ||
                   otherMaterial == MaterialRook) {
            if (lead.queens) {
                s *= 2;
            } else if (material == MaterialKnight + MaterialPawn) {
                s = otherMaterial == MaterialKnight ? s / 2 : s / 4;
            } else if (otherMaterial == MaterialRook && lead.pawns &&
                       material - uint64_t(popCount(lead.pawns)) * MaterialPawn == MaterialRook) {
                s = rookEnding(s, lead, other);
            }
        }
    } else if (!lead.pawns) {
        s = piecesAgainstPawns(board, entry, s, lead, other);
    } else if (pieceNumber(material) > pieceNumber(otherMaterial)) {
        s += s / 4;
    }
    // A queen on the losing side keeps swindling chances.
    const SideState& behind = s > 0 ? other : lead;
    if (behind.queens) s -= s / 8;
    return s;
}

}  // namespace

int32_t evaluatePawnless(const Board& board, int32_t materialDifference) {
    const SideState& white = board.white;
    const SideState& black = board.black;
    if (white.materialSignature == black.materialSignature &&
        (pieceNumber(white.materialSignature) == 1 ||
         !(white.rooks | white.queens | black.rooks | black.queens)))
        return 0;

    int32_t v = materialDifference + centre[white.kingSquare] - centre[black.kingSquare];
    if (v > 0) {
        v += mateTechnique(white, black);
    } else if (v < 0) {
        v -= mateTechnique(black, white);
    } else {
        // Arithmetic shift, rounding down: the only term that is not an exact
        // mirror between the colours (exact as long as edge stays even).
        v = (edge[black.kingSquare] - edge[white.kingSquare]) >> 1;
    }

    int dMin = minorCount(white.materialSignature) - minorCount(black.materialSignature);
    if (dMin == 0) {
        bool majorsDiffer =
            majorWeight(white.materialSignature) != majorWeight(black.materialSignature);
        return majorsDiffer ? 2 * v : v / 2;
    }
    return dMin > 0 ? scaleByMinors(v, white, black) : scaleByMinors(v, black, white);
}

int32_t scaleEndgame(const Board& board, const PawnHashEntry& entry, int32_t score) {
    const SideState& white = board.white;
    const SideState& black = board.black;
    score += 4 * (centre[white.kingSquare] - centre[black.kingSquare]);

    // A leader that cannot win is at best drawing, and worse the more pawns
    // the other side can push.
    if (score > 0 && cannotMate(white)) {
        score = -64 * popCount(black.pawns);
    } else if (score < 0 && cannotMate(black)) {
        score = 64 * popCount(white.pawns);
    }

    if (score > 0) return scaleForLeader(board, entry, score, white, black);
    if (score < 0) return -scaleForLeader(board, entry, -score, black, white);
    return 0;
}

bool fortressDraw(const Board& board, int weak, int strong) {
    const SideState& defender = sideOf(board, weak);
    const SideState& attacker = sideOf(board, strong);
    Bitboard pawns = attacker.pawns;
    if (!pawns) return false;

    // Rook pawns whose promotion square the attacker's bishop cannot cover.
    bool onA = !(pawns & ~FileA), onH = !(pawns & ~FileH);
    if (onA || onH) {
        int promotion = relativeSquare(onA ? A8 : H8, strong);
        Bitboard promotionColour = (bit(promotion) & LightSquares) ? LightSquares : DarkSquares;
        if (!(attacker.bishops & promotionColour)) {
            // The corner box: promotion square, its neighbour on the back rank
            // and the two squares below them.
            Bitboard box = onA ? (bit(A8) | bit(B8) | bit(A7) | bit(B7))
                               : (bit(G8) | bit(H8) | bit(G7) | bit(H7));
            if (bit(relativeSquare(defender.kingSquare, strong)) & box) return true;
            int front = strong == White ? highestSquare(pawns) : lowestSquare(pawns);
            int defenderDistance = distance(defender.kingSquare, promotion);
            if (defenderDistance + 2 <= distance(attacker.kingSquare, promotion) &&
                defenderDistance < distance(front, promotion))
                return true;
        }
    }

    // A lone pawn blockaded on its file by the king, or held by a diagonal.
    if (hasPiece(defender) && popCount(pawns) == 1 && popCount(attacker.bishops) <= 1) {
        int pawn = lowestSquare(pawns);
        Bitboard path = strong == White ? fileAhead[pawn] : fileBehind[pawn];
        if (bit(defender.kingSquare) & path) return true;
        for (Bitboard sliders = defender.bishops | defender.queens; sliders;)
            if (bishopAttacksOf(board, popLowest(sliders)) & path) return true;
    }
    return false;
}
