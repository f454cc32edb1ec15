// Recognisers of five and six men, and the material classes that select
// them. Each rule is written for the side called White in its name; the mirror
// class runs it for Black through the View.
#include <array>
#include <bit>
#include <cstdlib>

#include "eval/endgame.h"
#include "eval/endgame_view.h"

namespace endgame {
namespace {

// Small tests. Squares and ranks come from the real board; "in front" means in
// the direction the pawns of the given colour move.
bool offEdge(Bitboard set) { return !(set & Edge); }
bool cornered(Bitboard set) { return set & Corners; }
// The square a pawn of colour steps to, and the squares in front of a side's pawns.
int stepOf(int colour, int square) { return colour == White ? square + 8 : square - 8; }
Bitboard pawnFronts(const SideState& side) {
    return side.colour == White ? side.pawns << 8 : side.pawns >> 8;
}
Bitboard pawnReach(const SideState& side) { return pawnAttacksOfSet(side.pawns, side.colour); }
// Our men on a square next to their king.
bool crowding(const View& v) { return kingAttacks[v.them.kingSquare] & v.us.all; }
// A pawn of theirs: its square and every square it still has to cross.
Bitboard theirPath(const View& v, int pawn) { return bit(pawn) | pawnPath(v.them.colour, pawn); }

Bitboard bishopsReach(const Board& board, Bitboard set) {
    Bitboard reach = 0;
    while (set) reach |= bishopAttacksOf(board, popLowest(set));
    return reach;
}
Bitboard rooksReach(const Board& board, Bitboard set) {
    Bitboard reach = 0;
    while (set) reach |= rookAttacksOf(board, popLowest(set));
    return reach;
}
Bitboard knightsReach(Bitboard set) {
    Bitboard reach = 0;
    while (set) reach |= knightAttacks[popLowest(set)];
    return reach;
}
bool bothColours(Bitboard bishops) { return (bishops & LightSquares) && (bishops & DarkSquares); }
// Their king is in check or has a safe step: not stalemated.
bool theirKingMoves(const View& v) {
    return v.inCheck || kingSafeSquares(v.board, v.them, v.us) != 0;
}

// KRP vs KR: the defending king in front of the pawn with its rook on the right
// rank holds; otherwise the side with the pawn cannot lose.
int rookPawnVersusRook(View& v) {
    int pawn = lowestSquare(v.us.pawns);
    if (rookEndingDefence(v.board, v.them.colour, v.us.colour)) v.flag = 0;
    if (v.inCheck) return NoVerdict;
    if (!v.usToMove) {
        bool blocking = pawnPath(v.us.colour, pawn) & v.them.king;
        bool rookFree = !(kingAttacks[v.them.kingSquare] & v.them.rooks);
        return blocking && rookFree && offEdge(v.them.king) ? ThemCannotLose : NoVerdict;
    }
    return offEdge(v.us.king) || !(kingAttacks[v.us.kingSquare] & v.us.rooks) ? UsCannotLose
                                                                              : NoVerdict;
}

// KBP vs KB: bishops of opposite colours blockade a single pawn.
int bishopPawnVersusBishop(View& v) {
    int pawn = lowestSquare(v.us.pawns);
    Bitboard path = pawnPath(v.us.colour, pawn);
    Bitboard bishops = v.us.bishops | v.them.bishops;
    bool opposite = bothColours(bishops);
    if (opposite && (path & v.them.king)) v.flag = 0;
    if (!v.usToMove) {
        if (wrongRookPawn(v.board, v.us.colour)) return Drawn;
        // Blockades: their king in front of the pawn, or their bishop holding
        // a square of its path out of reach of our king (our bishop can never
        // contest squares of the other colour).
        bool holds = (bishopsReach(v.board, v.them.bishops) & path) &&
                     !(kingAttacks[v.us.kingSquare] & v.them.bishops);
        if (opposite && !v.inCheck && ((path & v.them.king) || holds)) return Drawn;
    }
    return offEdge(v.us.king) ? UsCannotLose : NoVerdict;
}

// KPP vs KP: our king takes their loose pawn.
int twoPawnsVersusPawn(View& v) {
    if (!v.usToMove || !(kingAttacks[v.us.kingSquare] & v.them.pawns) ||
        (kingAttacks[v.them.kingSquare] & v.them.pawns))
        return NoVerdict;
    return pawnReach(v.us) & v.us.pawns ? UsWins : UsCannotLose;
}

// KQP vs KQ.
int queenPawnVersusQueen(View& v) {
    if (v.inCheck) return NoVerdict;
    int kings = squareDistance(v.us.kingSquare, v.them.kingSquare);
    if (v.usToMove) return offEdge(v.us.king) || kings > 2 ? UsCannotLose : NoVerdict;
    int pawn = lowestSquare(v.us.pawns);
    if (!(pawnPath(v.us.colour, pawn) & v.them.king)) return NoVerdict;
    if (!offEdge(v.them.king) && kings < 4) return NoVerdict;
    Bitboard lines = queenAttacksOf(v.board, lowestSquare(v.them.queens));
    return !(lines & v.us.queens) || !(lines & v.them.king) ? ThemCannotLose : NoVerdict;
}

// KRP vs KN and KRP vs KB: a defended pawn wins unless a man hangs.
int rookPawnVersusMinor(View& v, bool bishop) {
    if (!v.usToMove || v.inCheck) return NoVerdict;
    bool defended = kingAttacks[v.us.kingSquare] & v.us.pawns;
    bool attacked = kingAttacks[v.them.kingSquare] & v.us.pawns;
    bool pinned = bishop && (bishopsReach(v.board, v.them.bishops) & v.us.rooks);
    return defended && !attacked && !pinned ? UsWins : UsCannotLose;
}
int rookPawnVersusKnight(View& v) { return rookPawnVersusMinor(v, false); }
int rookPawnVersusBishop(View& v) { return rookPawnVersusMinor(v, true); }

// KBP vs KP.
int bishopPawnVersusPawn(View& v) {
    int ours = lowestSquare(v.us.pawns), theirs = lowestSquare(v.them.pawns);
    if (theirs == stepOf(v.us.colour, ours)) {
        // A knight pawn blocked on its sixth with the defending king in the
        // corner: the king shuttles between its squares and cannot be mated.
        int own = v.sq(ours);
        Bitboard corner = own == B6   ? bit(A8) | bit(B8) | bit(C8)
                          : own == G6 ? bit(F8) | bit(G8) | bit(H8)
                                      : 0;
        Bitboard corners = fromSide(corner, v.us.colour);
        if ((corners & v.them.king) && !(corners & v.us.king) &&
            !(kingAttacks[v.them.kingSquare] & v.us.bishops))
            return Drawn;
        bool knightPawn = v.sq(theirs) == B7 || v.sq(theirs) == G7;
        if (v.usToMove && offEdge(v.us.bishops) && !(v.us.pawns & (FileA | FileH)) && !knightPawn &&
            (pawnReach(v.us) & v.us.bishops))
            return UsWins;
    }
    if (!(v.them.pawns & (FileB | FileG)) && wrongRookPawn(v.board, v.us.colour)) {
        v.flag = 0;
        bool locked = stepOf(v.them.colour, theirs) == ours;
        return locked && !(pawnReach(v.them) & v.board.occupied) ? Drawn : ThemCannotLose;
    }
    return NoVerdict;
}

// KRR vs KR, KB or KN.
int twoRooksVersusMinorOrRook(View& v) {
    if (!v.usToMove || v.inCheck) return NoVerdict;
    return offEdge(v.us.king) ? UsWins : UsCannotLose;
}

// KPPP(P) vs K.
int manyPawns(View& v) {
    if (v.usToMove && offEdge(v.them.king) &&
        ((pawnReach(v.us) & v.us.pawns) || pawnUnstoppable(v.board, v.us.colour)))
        return UsWins;
    return UsCannotLose;
}

// KNPP vs K.
int knightTwoPawns(View& v) {
    return v.usToMove && (kingAttacks[v.us.kingSquare] & v.us.pawns) ? UsWins : UsCannotLose;
}

// KBBP and KBPP vs K.
int bishopsAndPawns(View& v) {
    if (v.usToMove && !crowding(v)) {
        if (bothColours(v.us.bishops)) return UsWins;
        if (offEdge(v.us.bishops | v.us.pawns)) {
            bool onePawn = popCount(v.us.pawns) == 1;
            Bitboard linked =
                onePawn ? bishopAttacksOf(v.board, lowestSquare(v.us.pawns)) & v.us.bishops
                        : bishopsReach(v.board, v.us.bishops) & v.us.pawns;
            if (linked) return UsWins;
        }
    }
    return v.usToMove && pawnUnstoppable(v.board, v.us.colour) ? UsWins : UsCannotLose;
}

// KRR vs KP.
int twoRooksVersusPawn(View& v) {
    int pawn = lowestSquare(v.them.pawns);
    bool guarded = kingAttacks[v.them.kingSquare] & v.them.pawns;
    if (!v.usToMove) {
        if (v.rank(pawn) <= 1) return NoVerdict;
        Bitboard other = v.us.rooks & (v.us.rooks - 1);
        bool linked = rookAttacksOf(v.board, lowestSquare(v.us.rooks)) & other;
        if ((kingAttacks[v.them.kingSquare] & v.us.rooks) && !linked) return NoVerdict;
        if (pawnReach(v.them) & v.us.all) return NoVerdict;
    }
    return cornered(v.them.king) && guarded ? NoVerdict : UsWins;
}

// KNNP vs K.
int twoKnightsPawn(View& v) {
    if (!v.usToMove && !offEdge(v.them.king)) return NoVerdict;
    Bitboard guard = kingAttacks[v.us.kingSquare];
    if (((guard & v.us.pawns) && !cornered(v.us.king)) || pawnUnstoppable(v.board, v.us.colour))
        return UsWins;
    return knightsReach(v.us.knights & guard) & v.us.pawns ? UsWins : UsCannotLose;
}

// KQ vs KNN or KBB.
int queenVersusTwoMinors(View& v) { return v.usToMove && !v.inCheck ? UsCannotLose : NoVerdict; }

// KRB vs KN.
int rookBishopVersusKnight(View& v) {
    if (v.usToMove && !v.inCheck && !crowding(v) && !(knightsReach(v.them.knights) & v.us.all))
        return UsWins;
    return offEdge(v.us.king) ? UsCannotLose : NoVerdict;
}

// KNP vs KB.
int knightPawnVersusBishop(View& v) {
    if (v.inCheck) return NoVerdict;
    if (v.usToMove) return cornered(v.us.king) ? NoVerdict : UsCannotLose;
    if (!(bishopsReach(v.board, v.them.bishops) & v.us.pawns)) return NoVerdict;
    return cornered(v.us.king) ? ThemCannotLose : Drawn;
}

// KQB vs KQ.
int queenBishopVersusQueen(View& v) {
    v.flag = 0;
    return v.usToMove && !v.inCheck && offEdge(v.us.king) ? UsCannotLose : NoVerdict;
}

// KR vs KPP.
int rookVersusTwoPawns(View& v) {
    if (v.usToMove && pawnFronts(v.them) == v.us.all) return UsCannotLose;
    Bitboard second = fromSide(Rank2, v.us.colour);
    if ((kingAttacks[v.them.kingSquare] & v.them.pawns & second) && !cornered(v.them.king) &&
        squareDistance(v.us.kingSquare, v.them.kingSquare) > 4)
        return ThemCannotLose;
    return NoVerdict;
}

// KRN vs KP.
int rookKnightVersusPawn(View& v) {
    if (!v.usToMove) return NoVerdict;
    int pawn = lowestSquare(v.them.pawns);
    Bitboard path = theirPath(v, pawn);
    if (path & v.us.king) return UsWins;
    if (knightsReach(v.us.knights) & v.them.pawns)
        return kingAttacks[v.them.kingSquare] & v.us.rooks ? UsCannotLose : UsWins;
    return rooksReach(v.board, v.us.rooks) & path ? UsCannotLose : NoVerdict;
}

// KRB vs KP.
int rookBishopVersusPawn(View& v) {
    if (!v.usToMove) return NoVerdict;
    Bitboard path = theirPath(v, lowestSquare(v.them.pawns));
    if (path & v.us.king) return UsWins;
    if (crowding(v)) return NoVerdict;
    if (bishopsReach(v.board, v.us.bishops) & path) return UsWins;
    return rooksReach(v.board, v.us.rooks) & path ? UsCannotLose : NoVerdict;
}

// KB vs KNN and KNN vs KB, one rule in White's view: only a king on the edge
// can be mated, and only by the knights.
int bishopAndTwoKnights(View& v) {
    v.flag = 0;
    if (!offEdge(v.us.king)) return offEdge(v.them.king) ? ThemCannotLose : NoVerdict;
    return offEdge(v.them.king) ? Drawn : UsCannotLose;
}

// KRN vs KR.
int rookKnightVersusRook(View& v) {
    if (v.inCheck) return NoVerdict;
    if (v.usToMove) return offEdge(v.us.king) ? UsCannotLose : NoVerdict;
    return offEdge(v.them.king) ? ThemCannotLose : NoVerdict;
}

// KBN vs KP.
int bishopKnightVersusPawn(View& v) {
    Bitboard path = theirPath(v, lowestSquare(v.them.pawns));
    if (path & v.us.king) return v.usToMove && !crowding(v) ? UsWins : UsCannotLose;
    if (!v.usToMove || crowding(v)) return NoVerdict;
    Bitboard reach = knightsReach(v.us.knights) | bishopsReach(v.board, v.us.bishops);
    return reach & path ? UsCannotLose : NoVerdict;
}

// KBB vs KP.
int twoBishopsVersusPawn(View& v) {
    Bitboard path = theirPath(v, lowestSquare(v.them.pawns));
    if (path & v.us.king) {
        bool free = !crowding(v) && !(pawnReach(v.them) & v.us.bishops);
        return bothColours(v.us.bishops) && free ? UsWins : UsCannotLose;
    }
    if (!v.usToMove || crowding(v)) return NoVerdict;
    return bishopsReach(v.board, v.us.bishops) & path ? UsCannotLose : NoVerdict;
}

// KRN vs KB.
int rookKnightVersusBishop(View& v) {
    if (!v.usToMove || (kingAttacks[v.them.kingSquare] & v.us.rooks)) return NoVerdict;
    return bishopsReach(v.board, v.them.bishops) & v.us.all ? NoVerdict : UsWins;
}

// KNP vs KP: our king behind their pawn, our pawn's run free.
int knightPawnVersusPawn(View& v) {
    if (!v.usToMove) return NoVerdict;
    int theirs = lowestSquare(v.them.pawns), ours = lowestSquare(v.us.pawns);
    if (!(pawnPath(v.them.colour, theirs) & v.us.king)) return NoVerdict;
    bool clear = !(pawnPath(v.us.colour, ours) & (v.them.pawns | pawnReach(v.them)));
    return clear && pawnSquareUnstoppable(v.board, v.us.colour, ours) ? UsWins : UsCannotLose;
}

// A queen and more against a lone knight or queen, two queens against a pawn.
int queensVersusKnightQueenPawn(View& v) {
    if (v.usToMove && !v.inCheck) return UsWins;
    if (offEdge(v.us.king) && !(queenAttacksOf(v.board, v.us.kingSquare) & v.us.queens))
        return UsCannotLose;
    uint64_t material = v.us.materialSignature;
    bool queenMinor =
        material == MaterialQueen + MaterialBishop || material == MaterialQueen + MaterialKnight;
    if (!v.usToMove && !v.inCheck && queenMinor && !cornered(v.them.king) &&
        (knightsReach(v.them.knights) & v.us.queens))
        return Drawn;
    return NoVerdict;
}

// A queen and more, or rook and bishop, against a lone bishop.
int queenPlusVersusBishop(View& v) {
    if (v.usToMove && !v.inCheck) {
        bool attacked = bishopsReach(v.board, v.them.bishops) & v.us.straightSliders;
        return attacked ? UsCannotLose : UsWins;
    }
    return offEdge(v.us.king) ? UsCannotLose : NoVerdict;
}

// A queen and more against a lone rook.
int queenPlusVersusRook(View& v) {
    Bitboard rookReach = rooksReach(v.board, v.them.rooks);
    if (v.usToMove && !v.inCheck) {
        if (popCount(v.us.queens) >= 2) return UsWins;
        if (!offEdge(v.us.king)) return NoVerdict;
        return rookReach & v.us.queens ? UsCannotLose : UsWins;
    }
    if (!v.usToMove && v.us.rooks && offEdge(v.us.king) && !crowding(v))
        return rookReach & v.us.all ? NoVerdict : UsWins;
    return NoVerdict;
}

// KQP vs KP and KRP vs KP.
int majorPawnVersusPawn(View& v) {
    int ours = lowestSquare(v.us.pawns), theirs = lowestSquare(v.them.pawns);
    Bitboard majors = v.us.straightSliders;
    int major = lowestSquare(majors);
    Bitboard path = theirPath(v, theirs);
    if (v.usToMove) {
        if (v.rank(ours) == 6 && v.rank(theirs) != 1 && v.rank(theirs) != 2) return UsWins;
        bool blocked = theirs == stepOf(v.us.colour, ours);
        bool beside = rankOf(major) == rankOf(ours) && !(between[major][ours] & v.board.occupied);
        if (offEdge(majors) && blocked && beside) return UsWins;
        if (path & (v.us.king | v.us.queens)) return UsWins;
        return rookAttacksOf(v.board, major) & path ? UsCannotLose : NoVerdict;
    }
    if (crowding(v) || (pawnReach(v.them) & v.us.all) || v.rank(theirs) == 1 || v.rank(theirs) == 2)
        return NoVerdict;
    bool far = squareDistance(v.us.kingSquare, v.them.kingSquare) > 2;
    return v.us.queens && offEdge(v.them.king) && far ? UsWins : UsCannotLose;
}

// KQR vs KQ.
int queenRookVersusQueen(View& v) { return v.usToMove && !v.inCheck ? UsWins : NoVerdict; }

// KQN vs KP.
int queenKnightVersusPawn(View& v) {
    int pawn = lowestSquare(v.them.pawns);
    if (!v.usToMove && (crowding(v) || !offEdge(v.them.king) || v.rank(pawn) == 1 ||
                        (pawnReach(v.them) & v.us.queens) || !theirKingMoves(v)))
        return NoVerdict;
    // Bishop and rook pawns far advanced keep stalemate tricks.
    constexpr Bitboard Holding =
        bit(A2) | bit(C2) | bit(F2) | bit(H2) | bit(A3) | bit(C3) | bit(F3) | bit(H3);
    return bit(v.sq(pawn)) & Holding ? UsCannotLose : UsWins;
}

// KQ vs KPP.
int queenVersusTwoPawns(View& v) {
    if (!v.usToMove) return NoVerdict;
    if (pawnFronts(v.them) == v.us.all) return UsWins;
    return !v.inCheck && v.rank(v.them.kingSquare) >= 6 ? UsWins : NoVerdict;
}

// KNP vs KN.
int knightPawnVersusKnight(View& v) {
    if (v.usToMove) return cornered(v.us.king) ? NoVerdict : UsCannotLose;
    if (v.inCheck || !offEdge(v.them.king)) return NoVerdict;
    if (knightsReach(v.them.knights) & v.us.pawns) return Drawn;
    if (pawnPath(v.us.colour, lowestSquare(v.us.pawns)) & v.them.king)
        return cornered(v.us.king) ? ThemCannotLose : Drawn;
    return NoVerdict;
}

// KR vs KNN: each side's king off the edge saves it.
int rookVersusTwoKnights(View& v) {
    v.flag = 0;
    bool ours = offEdge(v.us.king);
    // The knights defend each other (knight moves are symmetric).
    bool theirs = offEdge(v.them.king) && (knightsReach(v.them.knights) & v.them.knights);
    if (!ours && !theirs) return NoVerdict;
    return (ours ? UsCannotLose : 0) + (theirs ? ThemCannotLose : 0);
}

// KQN vs KQ.
int queenKnightVersusQueen(View& v) {
    v.flag = 0;
    if (v.inCheck) return NoVerdict;
    if (v.usToMove) return UsCannotLose;
    bool far = squareDistance(v.us.kingSquare, v.them.kingSquare) > 3;
    return offEdge(v.them.king) && far ? ThemCannotLose : NoVerdict;
}

// KQ vs KRR.
int queenVersusTwoRooks(View& v) {
    v.flag = 0;
    if (v.inCheck) return NoVerdict;
    if (v.usToMove)
        return rooksReach(v.board, v.us.queens) & v.them.rooks ? NoVerdict : UsCannotLose;
    bool guarded = (kingAttacks[v.them.kingSquare] & v.them.rooks) == v.them.rooks;
    return offEdge(v.them.king) && guarded ? ThemCannotLose : NoVerdict;
}

// KQ vs KNP and KQ vs KBP: far pawns fall, our king behind the pawn stops it.
int queenVersusMinorPawn(View& v) {
    if (!v.usToMove || v.inCheck) return NoVerdict;
    int pawn = lowestSquare(v.them.pawns);
    if (v.rank(pawn) >= 4) return UsWins;
    if (offEdge(v.us.king) && (pawnPath(v.them.colour, pawn) & v.us.king)) return UsWins;
    return queenAttacksOf(v.board, lowestSquare(v.us.queens)) & v.them.pawns ? UsCannotLose
                                                                             : NoVerdict;
}
int queenVersusKnightPawn(View& v) { return queenVersusMinorPawn(v); }
int queenVersusBishopPawn(View& v) {
    return bishopsReach(v.board, v.them.bishops) & v.us.queens ? NoVerdict
                                                               : queenVersusMinorPawn(v);
}

// KNN vs KP.
int twoKnightsVersusPawn(View& v) {
    int rank = v.rank(lowestSquare(v.them.pawns));
    return (rank == 1 || rank == 2) && offEdge(v.them.king) ? ThemCannotLose : NoVerdict;
}

// KQ vs KRN and KQ vs KRB: a rook on the queen's lines takes it.
int queenVersusRookMinor(View& v, bool minorThreat, bool diagonalCheck) {
    int queen = lowestSquare(v.us.queens);
    Bitboard straight = rookAttacksOf(v.board, queen);
    if (v.usToMove) {
        if (v.inCheck || !offEdge(v.us.king) || (straight & v.them.rooks)) return NoVerdict;
        if (diagonalCheck && (bishopAttacksOf(v.board, queen) & v.them.bishops)) return NoVerdict;
        return UsCannotLose;
    }
    if (straight & v.them.rooks) {
        bool defended = kingAttacks[v.us.kingSquare] & v.us.queens;
        return offEdge(v.us.king) && !defended ? ThemWins : ThemCannotLose;
    }
    return minorThreat ? ThemCannotLose : NoVerdict;
}
int queenVersusRookKnight(View& v) {
    return queenVersusRookMinor(v, knightsReach(v.them.knights) & v.us.queens, false);
}
int queenVersusRookBishop(View& v) {
    Bitboard diagonals = bishopAttacksOf(v.board, lowestSquare(v.us.queens));
    return queenVersusRookMinor(v, diagonals & v.them.bishops, true);
}

// KBN vs KN and KBN vs KB.
int bishopKnightVersusMinor(View& v) {
    v.flag = 0;
    return offEdge(v.us.king) ? UsCannotLose : NoVerdict;
}

// KBB vs KN.
int twoBishopsVersusKnight(View& v) {
    Bitboard bishops = v.us.bishops;
    if (!v.usToMove) {
        if (v.inCheck || !offEdge(v.them.all)) return NoVerdict;
        int drawnOrLost = cornered(v.us.king) ? ThemCannotLose : Drawn;
        if (!bothColours(bishops)) return drawnOrLost;
        Bitboard loose = bishops & ~kingAttacks[v.us.kingSquare];
        if (kingAttacks[v.them.kingSquare] & loose) return Drawn;
        return knightsReach(v.them.knights) & bishops ? drawnOrLost : NoVerdict;
    }
    if (!offEdge(v.us.king)) return NoVerdict;
    if ((kingAttacks[v.them.kingSquare] & bishops) && (knightsReach(v.them.knights) & bishops))
        return UsCannotLose;
    return !v.inCheck && bothColours(bishops) ? UsWins : UsCannotLose;
}

// KR vs KBB.
int rookVersusTwoBishops(View& v) {
    v.flag = 0;
    if (v.usToMove) {
        if (v.inCheck) return NoVerdict;
        bool safe = !(bishopsReach(v.board, v.them.bishops) & v.us.rooks);
        return safe && (rooksReach(v.board, v.us.rooks) & v.them.bishops) ? UsCannotLose
                                                                          : NoVerdict;
    }
    return offEdge(v.them.king) ? ThemCannotLose : NoVerdict;
}

// KQ vs KBN.
int queenVersusBishopKnight(View& v) {
    Bitboard threats = bishopsReach(v.board, v.them.bishops);
    if (v.usToMove) {
        if (v.inCheck || !offEdge(v.us.king)) return NoVerdict;
        return threats & v.us.queens ? NoVerdict : UsCannotLose;
    }
    threats |= knightsReach(v.them.knights);
    return threats & v.us.queens ? ThemCannotLose : NoVerdict;
}

// KQ vs KRP.
int queenVersusRookPawn(View& v) {
    if (!v.usToMove || v.rank(lowestSquare(v.them.pawns)) < 4) return NoVerdict;
    return rooksReach(v.board, v.them.rooks) & v.us.all ? NoVerdict : UsCannotLose;
}

// KRN vs KN.
int rookKnightVersusKnight(View& v) {
    if (v.usToMove && !v.inCheck) return crowding(v) ? UsCannotLose : UsWins;
    return offEdge(v.us.king) ? UsCannotLose : NoVerdict;
}

// KQR vs KP.
int queenRookVersusPawn(View& v) {
    if (v.usToMove && !v.inCheck) return UsWins;
    int pawn = lowestSquare(v.them.pawns);
    if (crowding(v) || (pawnReach(v.them) & v.us.queens) || v.rank(pawn) == 1) return NoVerdict;
    return theirKingMoves(v) ? UsWins : NoVerdict;
}

// KNN vs KN.
int twoKnightsVersusKnight(View& v) {
    v.flag = 0;
    if (cornered(v.us.king)) return NoVerdict;
    return offEdge(v.them.king) ? Drawn : UsCannotLose;
}

// KNNN vs K.
int threeKnights(View& v) {
    bool free = !crowding(v) && !cornered(v.us.knights);
    return v.usToMove && free ? UsWins : UsCannotLose;
}

// KR vs KBN.
int rookVersusBishopKnight(View& v) {
    v.flag = 0;
    if (v.inCheck) return NoVerdict;
    if (v.usToMove) {
        if (!offEdge(v.us.king)) return NoVerdict;
        return bishopsReach(v.board, v.them.bishops) & v.us.rooks ? NoVerdict : UsCannotLose;
    }
    if (!offEdge(v.them.king)) return NoVerdict;
    return rooksReach(v.board, v.us.rooks) & v.them.bishops ? NoVerdict : ThemCannotLose;
}

// KR vs KBP.
int rookVersusBishopPawn(View& v) {
    v.flag = 0;
    if (v.inCheck) return NoVerdict;
    int pawn = lowestSquare(v.them.pawns);
    Bitboard rookReach = rooksReach(v.board, v.us.rooks);
    if (v.usToMove) {
        if (pawnPath(v.them.colour, pawn) & v.us.king) return UsCannotLose;
        bool safe = !(bishopsReach(v.board, v.them.bishops) & v.us.rooks);
        return (rookReach & v.them.pawns) && safe ? UsCannotLose : NoVerdict;
    }
    if (!offEdge(v.them.king | v.them.bishops)) return NoVerdict;
    return rookReach & v.them.bishops ? NoVerdict : ThemCannotLose;
}

// KBB vs KB.
int twoBishopsVersusBishop(View& v) {
    v.flag = 0;
    if (v.inCheck) return NoVerdict;
    if (!v.usToMove)
        return offEdge(v.them.king) && kingSafeSquares(v.board, v.them, v.us) ? ThemCannotLose
                                                                              : NoVerdict;
    return UsCannotLose;
}

// KRB vs KR.
int rookBishopVersusRook(View& v) {
    if (!offEdge(v.us.king)) return NoVerdict;
    v.flag = 0;
    return v.usToMove && !v.inCheck ? UsCannotLose : NoVerdict;
}

// KBP vs KN.
int bishopPawnVersusKnight(View& v) {
    if (!v.usToMove) {
        int knight = lowestSquare(v.them.knights);
        if (wrongRookPawn(v.board, v.us.colour) &&
            !(kingAttacks[v.them.kingSquare] & v.them.knights))
            return Drawn;
        if (!v.inCheck && (knightAttacks[knight] & v.us.pawns) &&
            !(bishopsReach(v.board, v.us.bishops) & v.them.knights))
            return offEdge(v.us.king) ? Drawn : ThemCannotLose;
    }
    return offEdge(v.us.king) ? UsCannotLose : NoVerdict;
}

// KQB vs KP.
int queenBishopVersusPawn(View& v) {
    int pawn = lowestSquare(v.them.pawns);
    if (v.usToMove) return v.inCheck && v.rank(pawn) == 1 ? NoVerdict : UsWins;
    if (!offEdge(v.them.king) || v.rank(pawn) == 1 || crowding(v) ||
        (pawnReach(v.them) & v.us.queens) || !theirKingMoves(v))
        return NoVerdict;
    return UsWins;
}

// KNP vs KR.
int knightPawnVersusRook(View& v) {
    if (v.usToMove || v.inCheck) return NoVerdict;
    int pawn = lowestSquare(v.us.pawns);
    if (rooksReach(v.board, v.them.rooks) & v.us.pawns) return ThemCannotLose;
    bool blocking = pawnPath(v.us.colour, pawn) & v.them.king;
    return blocking && offEdge(v.them.king) ? ThemCannotLose : NoVerdict;
}

// KN vs KPP and KB vs KPP: both pawns blocked by our men.
bool pawnsBlocked(const View& v, Bitboard piece) {
    return pawnFronts(v.them) == v.us.all &&
           (v.usToMove || !(kingAttacks[v.them.kingSquare] & piece));
}
int knightVersusTwoPawns(View& v) {
    if (!offEdge(v.them.king)) return NoVerdict;
    constexpr Bitboard RookPawnsFar = bit(A2) | bit(H2) | bit(A3) | bit(H3);
    bool far = fromSide(v.them.pawns, v.us.colour) & RookPawnsFar;
    return !far && pawnsBlocked(v, v.us.knights) ? Drawn : ThemCannotLose;
}
int bishopVersusTwoPawns(View& v) {
    if (pawnsBlocked(v, v.us.bishops)) return v.rank(v.them.kingSquare) == 7 ? UsCannotLose : Drawn;
    return offEdge(v.them.king) ? ThemCannotLose : NoVerdict;
}

// A queen and two more men against a lone pawn.
int queenAndTwoVersusPawn(View& v) {
    if (!v.usToMove || v.inCheck) return NoVerdict;
    int pawn = lowestSquare(v.them.pawns);
    return v.rank(pawn) >= 3 || (pawnPath(v.them.colour, pawn) & v.us.all) ? UsWins : NoVerdict;
}

// KPPP vs KP.
int threePawnsVersusPawn(View& v) {
    if (!v.usToMove) return NoVerdict;
    int theirs = lowestSquare(v.them.pawns);
    if (pawnPath(v.them.colour, theirs) & v.us.king) {
        Bitboard defended = pawnReach(v.us) & v.us.pawns;
        bool behind = v.us.kingSquare == stepOf(v.them.colour, theirs);
        if (popCount(defended) >= 2 || (defended && behind)) return UsWins;
        Bitboard blockers = v.them.pawns | pawnReach(v.them);
        for (Bitboard pawns = v.us.pawns; pawns;) {
            int pawn = popLowest(pawns);
            if (!(pawnPath(v.us.colour, pawn) & blockers) &&
                pawnSquareUnstoppable(v.board, v.us.colour, pawn))
                return UsWins;
        }
    }
    if (pawnReach(v.us) & v.them.pawns)
        return pawnSquareUnstoppable(v.board, v.us.colour, theirs) ? UsWins : UsCannotLose;
    return NoVerdict;
}

// KBP vs KBP: both rook pawns with the wrong bishop.
int bishopPawnVersusBishopPawn(View& v) {
    return wrongRookPawnWhite(v.board) && wrongRookPawnBlack(v.board) ? Drawn : NoVerdict;
}

// KRPP vs KR.
int rookTwoPawnsVersusRook(View& v) {
    if (v.usToMove) {
        if (v.inCheck || !(kingAttacks[v.us.kingSquare] & v.us.pawns)) return NoVerdict;
        int a = lowestSquare(v.us.pawns), b = highestSquare(v.us.pawns | 1);
        if (!(pawnReach(v.us) & v.us.pawns)) {
            bool split = rankOf(a) == rankOf(b) && fileOf(b) - fileOf(a) > 2;
            return split && (between[a][b] & v.us.rooks) ? UsWins : NoVerdict;
        }
        return v.rank(v.them.kingSquare) < v.rank(v.us.kingSquare) ? UsWins : NoVerdict;
    }
    Bitboard eighth = fromSide(Rank8, v.us.colour);
    bool aFile = !(v.us.pawns & ~FileA) && v.sq(v.them.kingSquare) == A8;
    bool hFile = !(v.us.pawns & ~FileH) && v.sq(v.them.kingSquare) == H8;
    if (!(v.them.rooks & eighth) || !(aFile || hFile)) return NoVerdict;
    return kingAttacks[v.us.kingSquare] & v.us.rooks ? Drawn : ThemCannotLose;
}

// KNN vs KNN.
int twoKnightsVersusTwoKnights(View& v) {
    return offEdge(v.us.king) || offEdge(v.them.king) ? Drawn : NoVerdict;
}

// KQQ vs KNN.
int twoQueensVersusTwoKnights(View& v) {
    if (v.usToMove && !v.inCheck) return UsWins;
    return offEdge(v.us.king) ? UsCannotLose : NoVerdict;
}

// KBPP vs KB with bishops of opposite colours: blockades that neither side can
// win, marked by the flag alone.
int bishopTwoPawnsVersusBishop(View& v) {
    if (!bothColours(v.us.bishops | v.them.bishops)) return NoVerdict;
    Bitboard below = pawnPath(v.them.colour, v.them.kingSquare);
    if (!(v.us.pawns & ~below)) {
        v.flag = 0;
        return NoVerdict;
    }
    Bitboard fronts = pawnFronts(v.us);
    if (!(pawnReach(v.us) & v.us.pawns) || !(fronts & v.them.king)) return NoVerdict;
    Bitboard guarded = fronts & kingAttacks[v.them.kingSquare];
    if ((fronts & v.them.bishops) || (bishopsReach(v.board, v.them.bishops) & guarded)) v.flag = 0;
    return NoVerdict;
}

// Classes 40 on; classes 40 + 2k and 41 + 2k are a rule and its mirror, the
// symmetric rules have one class.
// clang-format off
constexpr Rule largeRules[] = {
    {rookPawnVersusRook, White, "KRPvKR"},  // 40
    {rookPawnVersusRook, Black, "KRvKRP"},  // 41
    {bishopPawnVersusBishop, White, "KBPvKB"},  // 42
    {bishopPawnVersusBishop, Black, "KBvKBP"},  // 43
    {twoPawnsVersusPawn, White, "KPPvKP"},  // 44
    {twoPawnsVersusPawn, Black, "KPvKPP"},  // 45
    {queenPawnVersusQueen, White, "KQPvKQ"},  // 46
    {queenPawnVersusQueen, Black, "KQvKQP"},  // 47
    {rookPawnVersusKnight, White, "KRPvKN"},  // 48
    {rookPawnVersusKnight, Black, "KNvKRP"},  // 49
    {rookPawnVersusBishop, White, "KRPvKB"},  // 50
    {rookPawnVersusBishop, Black, "KBvKRP"},  // 51
    {bishopPawnVersusPawn, White, "KBPvKP"},  // 52
    {bishopPawnVersusPawn, Black, "KPvKBP"},  // 53
    {twoRooksVersusMinorOrRook, White, "KRRvKR,KRRvKB,KRRvKN"},  // 54
    {twoRooksVersusMinorOrRook, Black, "KRvKRR,KBvKRR,KNvKRR"},  // 55
    {manyPawns, White, "KPPPvK,KPPPPvK"},  // 56
    {manyPawns, Black, "KvKPPP,KvKPPPP"},  // 57
    {knightTwoPawns, White, "KNPPvK"},  // 58
    {knightTwoPawns, Black, "KvKNPP"},  // 59
    {bishopsAndPawns, White, "KBBPvK,KBPPvK"},  // 60
    {bishopsAndPawns, Black, "KvKBBP,KvKBPP"},  // 61
    {twoRooksVersusPawn, White, "KRRvKP"},  // 62
    {twoRooksVersusPawn, Black, "KPvKRR"},  // 63
    {twoKnightsPawn, White, "KNNPvK"},  // 64
    {twoKnightsPawn, Black, "KvKNNP"},  // 65
    {queenVersusTwoMinors, White, "KQvKNN,KQvKBB"},  // 66
    {queenVersusTwoMinors, Black, "KNNvKQ,KBBvKQ"},  // 67
    {rookBishopVersusKnight, White, "KRBvKN"},  // 68
    {rookBishopVersusKnight, Black, "KNvKRB"},  // 69
    {knightPawnVersusBishop, White, "KNPvKB"},  // 70
    {knightPawnVersusBishop, Black, "KBvKNP"},  // 71
    {queenBishopVersusQueen, White, "KQBvKQ"},  // 72
    {queenBishopVersusQueen, Black, "KQvKQB"},  // 73
    {rookVersusTwoPawns, White, "KRvKPP"},  // 74
    {rookVersusTwoPawns, Black, "KPPvKR"},  // 75
    {rookKnightVersusPawn, White, "KRNvKP"},  // 76
    {rookKnightVersusPawn, Black, "KPvKRN"},  // 77
    {rookBishopVersusPawn, White, "KRBvKP"},  // 78
    {rookBishopVersusPawn, Black, "KPvKRB"},  // 79
    {bishopAndTwoKnights, White, "KBvKNN,KNNvKB"},  // 80
    {rookKnightVersusRook, White, "KRNvKR"},  // 81
    {rookKnightVersusRook, Black, "KRvKRN"},  // 82
    {bishopKnightVersusPawn, White, "KBNvKP"},  // 83
    {bishopKnightVersusPawn, Black, "KPvKBN"},  // 84
    {twoBishopsVersusPawn, White, "KBBvKP"},  // 85
    {twoBishopsVersusPawn, Black, "KPvKBB"},  // 86
    {rookKnightVersusBishop, White, "KRNvKB"},  // 87
    {rookKnightVersusBishop, Black, "KBvKRN"},  // 88
    {knightPawnVersusPawn, White, "KNPvKP"},  // 89
    {knightPawnVersusPawn, Black, "KPvKNP"},  // 90
    {queensVersusKnightQueenPawn, White, "KQ+vKN,KQQvKQ,KQQ+vKQ,KQQvKP"},  // 91
    {queensVersusKnightQueenPawn, Black, "KNvKQ+,KQvKQQ,KQvKQQ+,KPvKQQ"},  // 92
    {queenPlusVersusBishop, White, "KQ+vKB,KRBvKB"},  // 93
    {queenPlusVersusBishop, Black, "KBvKQ+,KBvKRB"},  // 94
    {queenPlusVersusRook, White, "KQ+vKR"},  // 95
    {queenPlusVersusRook, Black, "KRvKQ+"},  // 96
    {majorPawnVersusPawn, White, "KQPvKP,KRPvKP"},  // 97
    {majorPawnVersusPawn, Black, "KPvKQP,KPvKRP"},  // 98
    {queenRookVersusQueen, White, "KQRvKQ"},  // 99
    {queenRookVersusQueen, Black, "KQvKQR"},  // 100
    {queenKnightVersusPawn, White, "KQNvKP"},  // 101
    {queenKnightVersusPawn, Black, "KPvKQN"},  // 102
    {queenVersusTwoPawns, White, "KQvKPP"},  // 103
    {queenVersusTwoPawns, Black, "KPPvKQ"},  // 104
    {knightPawnVersusKnight, White, "KNPvKN"},  // 105
    {knightPawnVersusKnight, Black, "KNvKNP"},  // 106
    {rookVersusTwoKnights, White, "KRvKNN"},  // 107
    {rookVersusTwoKnights, Black, "KNNvKR"},  // 108
    {queenKnightVersusQueen, White, "KQNvKQ"},  // 109
    {queenKnightVersusQueen, Black, "KQvKQN"},  // 110
    {queenVersusTwoRooks, White, "KQvKRR"},  // 111
    {queenVersusTwoRooks, Black, "KRRvKQ"},  // 112
    {queenVersusKnightPawn, White, "KQvKNP"},  // 113
    {queenVersusKnightPawn, Black, "KNPvKQ"},  // 114
    {twoKnightsVersusPawn, White, "KNNvKP"},  // 115
    {twoKnightsVersusPawn, Black, "KPvKNN"},  // 116
    {queenVersusRookKnight, White, "KQvKRN"},  // 117
    {queenVersusRookKnight, Black, "KRNvKQ"},  // 118
    {bishopKnightVersusMinor, White, "KBNvKN,KBNvKB"},  // 119
    {bishopKnightVersusMinor, Black, "KNvKBN,KBvKBN"},  // 120
    {twoBishopsVersusKnight, White, "KBBvKN"},  // 121
    {twoBishopsVersusKnight, Black, "KNvKBB"},  // 122
    {rookVersusTwoBishops, White, "KRvKBB"},  // 123
    {rookVersusTwoBishops, Black, "KBBvKR"},  // 124
    {queenVersusBishopKnight, White, "KQvKBN"},  // 125
    {queenVersusBishopKnight, Black, "KBNvKQ"},  // 126
    {queenVersusRookPawn, White, "KQvKRP"},  // 127
    {queenVersusRookPawn, Black, "KRPvKQ"},  // 128
    {rookKnightVersusKnight, White, "KRNvKN"},  // 129
    {rookKnightVersusKnight, Black, "KNvKRN"},  // 130
    {queenRookVersusPawn, White, "KQRvKP"},  // 131
    {queenRookVersusPawn, Black, "KPvKQR"},  // 132
    {queenVersusBishopPawn, White, "KQvKBP"},  // 133
    {queenVersusBishopPawn, Black, "KBPvKQ"},  // 134
    {twoKnightsVersusKnight, White, "KNNvKN"},  // 135
    {twoKnightsVersusKnight, Black, "KNvKNN"},  // 136
    {threeKnights, White, "KNNNvK"},  // 137
    {threeKnights, Black, "KvKNNN"},  // 138
    {rookVersusBishopKnight, White, "KRvKBN"},  // 139
    {rookVersusBishopKnight, Black, "KBNvKR"},  // 140
    {rookVersusBishopPawn, White, "KRvKBP"},  // 141
    {rookVersusBishopPawn, Black, "KBPvKR"},  // 142
    {twoBishopsVersusBishop, White, "KBBvKB"},  // 143
    {twoBishopsVersusBishop, Black, "KBvKBB"},  // 144
    {queenVersusRookBishop, White, "KQvKRB"},  // 145
    {queenVersusRookBishop, Black, "KRBvKQ"},  // 146
    {rookBishopVersusRook, White, "KRBvKR"},  // 147
    {rookBishopVersusRook, Black, "KRvKRB"},  // 148
    {bishopPawnVersusKnight, White, "KBPvKN"},  // 149
    {bishopPawnVersusKnight, Black, "KNvKBP"},  // 150
    {queenBishopVersusPawn, White, "KQBvKP"},  // 151
    {queenBishopVersusPawn, Black, "KPvKQB"},  // 152
    {knightPawnVersusRook, White, "KNPvKR"},  // 153
    {knightPawnVersusRook, Black, "KRvKNP"},  // 154
    {knightVersusTwoPawns, White, "KNvKPP"},  // 155
    {knightVersusTwoPawns, Black, "KPPvKN"},  // 156
    {bishopVersusTwoPawns, White, "KBvKPP"},  // 157
    {bishopVersusTwoPawns, Black, "KPPvKB"},  // 158
    {queenAndTwoVersusPawn, White, "KQ++vKP"},  // 159
    {queenAndTwoVersusPawn, Black, "KPvKQ++"},  // 160
    {threePawnsVersusPawn, White, "KPPPvKP"},  // 161
    {threePawnsVersusPawn, Black, "KPvKPPP"},  // 162
    {bishopPawnVersusBishopPawn, White, "KBPvKBP"},  // 163
    {rookTwoPawnsVersusRook, White, "KRPPvKR"},  // 164
    {rookTwoPawnsVersusRook, Black, "KRvKRPP"},  // 165
    {twoKnightsVersusTwoKnights, White, "KNNvKNN"},  // 166
    {twoQueensVersusTwoKnights, White, "KQQvKNN"},  // 167
    {twoQueensVersusTwoKnights, Black, "KNNvKQQ"},  // 168
    {bishopTwoPawnsVersusBishop, White, "KBPPvKB"},  // 169
    {bishopTwoPawnsVersusBishop, Black, "KBvKBPP"},  // 170
};
// clang-format on

// The small classes that extend to five and six men, by name.
constexpr Rule extensions[] = {
    {nullptr, 7, "KBBBvK"},
    {nullptr, 8, "KvKBBB"},
    {nullptr, 11, "KR+vK,KQ+vK"},
    {nullptr, 12, "KvKR+,KvKQ+"},
    {nullptr, 13, "KBNNvK,KBBNvK,KBNPvK"},
    {nullptr, 14, "KvKBNN,KvKBBN,KvKBNP"},
};

// One side's men by piece code 1 (pawn) to 5 (queen); [0] holds the total.
using Men = std::array<int, 6>;

constexpr int pieceCode(char letter) {
    switch (letter) {
        case 'P': return Pawn;
        case 'N': return Knight;
        case 'B': return Bishop;
        case 'R': return Rook;
        default: return Queen;
    }
}

// Reads one side of a combination ("KQ+": a queen and at least one more man of
// any kind) from text and tells whether men fits it.
constexpr bool sideMatches(const char*& text, const Men& men) {
    Men base{};
    int further = 0;
    for (++text; *text && *text != 'v' && *text != ','; ++text) {
        if (*text == '+') {
            ++further;
        } else {
            ++base[pieceCode(*text)];
            ++base[0];
        }
    }
    for (int kind = Pawn; kind <= Queen; ++kind)
        if (base[kind] > men[kind]) return false;
    int rest = men[0] - base[0];
    return further ? rest >= further : rest == 0;
}

constexpr bool nameMatches(const char* name, const Men& white, const Men& black) {
    while (*name) {
        bool whiteFits = sideMatches(name, white);
        ++name;  // 'v'
        if (sideMatches(name, black) && whiteFits) return true;
        if (*name == ',') ++name;
    }
    return false;
}

// Material of one side of up to four men, as a number in base 5 by piece code.
constexpr int MaterialCodes = 5 * 5 * 5 * 5 * 5;
constexpr int SideMaterials = 126;  // ways to choose up to four men of five kinds

constexpr int materialCode(const Men& men) {
    return men[Pawn] + 5 * (men[Knight] + 5 * (men[Bishop] + 5 * (men[Rook] + 5 * men[Queen])));
}

struct ClassTable {
    uint8_t sideIndex[MaterialCodes];               // material code -> 0..125, 255 for more men
    uint8_t classes[SideMaterials][SideMaterials];  // [white][black] of five or six men
};

constexpr ClassTable buildClassTable() {
    ClassTable table{};
    Men sides[SideMaterials]{};
    for (uint8_t& index : table.sideIndex) index = 255;
    int count = 0;
    for (int code = 0; code < MaterialCodes; ++code) {
        Men men{};
        for (int kind = Pawn, rest = code; kind <= Queen; ++kind, rest /= 5) {
            men[kind] = rest % 5;
            men[0] += men[kind];
        }
        if (men[0] > 4) continue;
        table.sideIndex[code] = uint8_t(count);
        sides[count++] = men;
    }
    for (int w = 0; w < count; ++w)
        for (int b = 0; b < count; ++b) {
            int men = sides[w][0] + sides[b][0] + 2;
            if (men != 5 && men != 6) continue;
            int found = 0;
            auto consider = [&](const char* name, int material) {
                if (!nameMatches(name, sides[w], sides[b])) return;
                if (!found) found = material;  // the names never overlap (tested)
            };
            for (const Rule& rule : extensions) consider(rule.name, rule.side);
            for (int k = 0; k < int(std::size(largeRules)); ++k)
                consider(largeRules[k].name, 40 + k);
            table.classes[w][b] = uint8_t(found);
        }
    return table;
}

// Built once at start-up: too much work for a compile-time constant.
const ClassTable classTable = buildClassTable();

int sideMaterial(uint64_t signature) {
    Men men{};
    for (int kind = Pawn; kind <= Queen; ++kind) men[kind] = (signature >> (4 * (kind - 1))) & 15;
    bool small = men[Pawn] + men[Knight] + men[Bishop] + men[Rook] + men[Queen] <= 4;
    return small ? classTable.sideIndex[materialCode(men)] : 255;
}

}  // namespace

int classifyLarge(const Board& board) {
    int white = sideMaterial(board.white.materialSignature);
    int black = sideMaterial(board.black.materialSignature);
    if (white == 255 || black == 255) return 0;
    return classTable.classes[white][black];
}

const Rule* largeRule(int material) {
    int index = material - 40;
    return index >= 0 && index < int(std::size(largeRules)) ? &largeRules[index] : nullptr;
}

}  // namespace endgame

bool rookEndingDefence(const Board& board, int defender, int attacker) {
    const SideState& defending = sideOf(board, defender);
    const SideState& attacking = sideOf(board, attacker);
    int pawn = lowestSquare(attacking.pawns);
    if (!(endgame::pawnPath(attacker, pawn) & defending.king)) return false;
    // Ranks as the attacker sees them: 0 its first rank.
    int rank = attacker == White ? rankOf(pawn) : 7 - rankOf(pawn);
    Bitboard rooks = endgame::fromSide(defending.rooks, attacker);
    using namespace endgame;
    if (rank < 5) return rooks & (Rank6 | Rank7);  // the defender's second and third
    if (rank > 5) return false;
    // Pawn on the sixth: only checks from behind hold.
    Bitboard behind = rooks & (Rank1 | Rank2);
    if (!behind) return false;
    int file = fileOf(pawn);
    bool checking = board.toMove->colour == attacker && board.checkInfo &&
                    !(kingAttacks[attacking.kingSquare] & defending.rooks);
    return (behind & (FileA << file)) || checking;
}
