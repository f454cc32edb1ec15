#include "board/movegen.h"

#include <initializer_list>

#include "board/attacks.h"
#include "board/makemove.h"
#include "board/tables.h"

namespace {

// Colour-dependent geometry; the code is written for white and mirrored here.
template <int Us>
struct Side {
    static constexpr int Up = Us == White ? 8 : -8;
    // The first capture group: +9 for white, -9 for black; then +7 / -7.
    static constexpr int CaptureA = Us == White ? 9 : -9;
    static constexpr int CaptureB = Us == White ? 7 : -7;
    static constexpr Bitboard NotFromA = Us == White ? ~FileH : ~FileA;  // origin mask for A
    static constexpr Bitboard NotFromB = Us == White ? ~FileA : ~FileH;
    static constexpr Bitboard LastRank = Us == White ? Rank8 : Rank1;
    static constexpr Bitboard ThirdRank = Us == White ? Rank1 << 16 : Rank1 << 40;
    static constexpr int Base = Us == White ? 0 : 56;  // a1 or a8

    static constexpr Bitboard shift(Bitboard set, int delta) {
        return delta > 0 ? set << delta : set >> -delta;
    }
};

struct MoveWriter {
    MoveEntry* cursor;
    void add(Move move) { (cursor++)->move = move; }
};

inline MoveWriter startList(Board& board, int list) {
    return MoveWriter{board.stack->moveLists[list]};
}
inline int finishList(Board& board, int list, const MoveWriter& writer) {
    board.stack->moveLists[list + 1] = writer.cursor;
    return int(writer.cursor - board.stack->moveLists[list]);
}

inline int pinOf(Board& board, int square, Bitboard* ray) {
    return pinDirection(board, square, ray);
}
inline int pinOf(Board& board, int square) {
    return pinDirection(board, square, &board.stack->pinRay);
}

// Promotions of one pawn move, in the order queen, knight, rook, bishop.
inline void addPromotions(MoveWriter& out, int from, int to, int captured) {
    for (int kind = KindPromoteQueen; kind <= KindPromoteBishop; ++kind)
        out.add(buildMove(from, to, kind, Pawn, captured, promotionPiece(kind)));
}

inline void addPieceMoves(MoveWriter& out, const Board& board, int from, int piece,
                          Bitboard targets) {
    while (targets) {
        int to = popLowest(targets);
        out.add(buildMove(from, to, piece, piece, board.squares[to]));
    }
}

// Moves of every knight, bishop, rook and queen, in that order, to the squares
// that targetsOf(piece, from) gives; pins are not tested.
template <typename Targets>
void addPieceGroups(MoveWriter& out, const Board& board, Targets targetsOf) {
    const SideState& me = *board.toMove;
    for (int piece = Knight; piece <= Queen; ++piece)
        for (Bitboard men = me.*pieceSet[piece]; men;) {
            int from = popLowest(men);
            addPieceMoves(out, board, from, piece, targetsOf(piece, from));
        }
}

// King moves to targets that no enemy knight or slider reaches. Callers have
// removed the squares next to the enemy king and those its pawns attack.
inline void addKingMoves(MoveWriter& out, const Board& board, Bitboard targets) {
    const int king = board.toMove->kingSquare;
    while (targets) {
        int to = popLowest(targets);
        if (!attackedBySlidersOrKnights(board, *board.opponent, to))
            out.add(buildMove(king, to, KindKing, King, board.squares[to]));
    }
}

inline Bitboard kingTargets(const Board& board, Bitboard allowed) {
    const SideState& enemy = *board.opponent;
    return kingAttacks[board.toMove->kingSquare] & allowed & ~kingAttacks[enemy.kingSquare] &
           ~enemy.pawnAttacks;
}

// The castling rules shared by generation and validation; not in check.
template <int Us>
bool canCastle(Board& board, bool kingSide) {
    using S = Side<Us>;
    const BoardStack& stack = *board.stack;
    const SideState& enemy = *board.opponent;
    const int king = board.toMove->kingSquare;
    const int rook = kingSide ? stack.rookStartKingSide[Us] : stack.rookStartQueenSide[Us];
    const int kingTo = S::Base + (kingSide ? 6 : 2), rookTo = S::Base + (kingSide ? 5 : 3);
    // The king's path, its destination included: empty or the castling rook, unattacked.
    if (king != kingTo) {
        int step = kingTo > king ? 1 : -1;
        for (int s = king + step;; s += step) {
            if (board.squares[s] != NoPiece && s != rook) return false;
            if (attackedBySide(board, enemy, s)) return false;
            if (s == kingTo) break;
        }
    }
    // A rook on b1 hides an enemy slider on a1 from c1.
    if (!kingSide && rook == S::Base + 1 && (enemy.straightSliders & bit(S::Base))) return false;
    // The rook's path, its destination included: empty or the king.
    if (rook != rookTo) {
        int step = rookTo > rook ? 1 : -1;
        for (int s = rook + step;; s += step) {
            if (board.squares[s] != NoPiece && s != king) return false;
            if (s == rookTo) break;
        }
    }
    return true;
}

template <int Us>
void addCastling(Board& board, MoveWriter& out) {
    const SideState& me = *board.toMove;
    if ((me.castleRights & CastleKingSide) && canCastle<Us>(board, true))
        out.add(buildMove(me.kingSquare, Side<Us>::Base + 6, KindCastleKingSide, King));
    if ((me.castleRights & CastleQueenSide) && canCastle<Us>(board, false))
        out.add(buildMove(me.kingSquare, Side<Us>::Base + 2, KindCastleQueenSide, King));
}

// Pawn captures toward one side; full promotion sets or a single promotion piece.
// pinKind is the line kind of the capture step; pins are tested when checkPins.
template <int Us, bool CheckPins>
void addPawnCaptures(Board& board, MoveWriter& out, int delta, Bitboard originMask,
                     int promotionKinds) {
    using S = Side<Us>;
    const int pinKind = delta < 0 ? -delta : delta;
    Bitboard targets = S::shift(board.toMove->pawns & originMask, delta) & board.opponent->all;
    while (targets) {
        int to = popLowest(targets), from = to - delta;
        if (CheckPins) {
            int pin = pinOf(board, from);
            if (pin != 0 && pin != pinKind) continue;
        }
        int captured = board.squares[to];
        if (bit(to) & S::LastRank) {
            if (promotionKinds == 4)
                addPromotions(out, from, to, captured);
            else
                out.add(buildMove(from, to, promotionKinds, Pawn, captured,
                                  promotionPiece(promotionKinds)));
        } else {
            out.add(buildMove(from, to, KindPawn, Pawn, captured));
        }
    }
}

template <int Us, bool CheckLegality>
void addEnPassant(Board& board, MoveWriter& out) {
    if (!board.epFile) return;
    int target = (Us == White ? 40 : 16) + board.epFile - 1;
    for (Bitboard pawns = pawnAttackTable[Us ^ 1][target] & board.toMove->pawns; pawns;) {
        int from = popLowest(pawns);
        if (!CheckLegality || isEnPassantLegal(board, from, target))
            out.add(buildEnPassant(from, target));
    }
}

// Single steps onto targets; promotion kinds as given (first..last).
template <int Us, bool CheckPins>
void addPawnSteps(Board& board, MoveWriter& out, Bitboard targets, int firstPromotion,
                  int lastPromotion, bool nonPromotions) {
    using S = Side<Us>;
    while (targets) {
        int to = popLowest(targets), from = to - S::Up;
        if (CheckPins) {
            int pin = pinOf(board, from);
            if (pin != 0 && pin != 8) continue;
        }
        if (bit(to) & S::LastRank) {
            for (int kind = firstPromotion; kind <= lastPromotion; ++kind)
                out.add(buildMove(from, to, kind, Pawn, 0, promotionPiece(kind)));
        } else if (nonPromotions) {
            out.add(buildMove(from, to, KindPawn, Pawn));
        }
    }
}

template <int Us, bool CheckPins>
void addDoubleSteps(Board& board, MoveWriter& out, Bitboard targets) {
    using S = Side<Us>;
    while (targets) {
        int to = popLowest(targets), from = to - 2 * S::Up;
        if (CheckPins) {
            int pin = pinOf(board, from);
            if (pin != 0 && pin != 8) continue;
        }
        out.add(buildMove(from, to, KindDoubleStep, Pawn));
    }
}

template <int Us>
Bitboard doubleStepTargets(const Board& board) {
    using S = Side<Us>;
    Bitboard third = S::shift(board.toMove->pawns, S::Up) & board.empty & S::ThirdRank;
    return S::shift(third, S::Up) & board.empty;
}

template <int Us>
int generateLegal(Board& board, int list) {
    using S = Side<Us>;
    MoveWriter out = startList(board, list);
    const SideState& me = *board.toMove;
    const Bitboard notOwn = ~me.all;

    addEnPassant<Us, true>(board, out);
    addPawnCaptures<Us, true>(board, out, S::CaptureA, S::NotFromA, 4);
    addPawnCaptures<Us, true>(board, out, S::CaptureB, S::NotFromB, 4);
    Bitboard steps = S::shift(me.pawns, S::Up) & board.empty;
    addPawnSteps<Us, true>(board, out, steps & S::LastRank, KindPromoteQueen, KindPromoteQueen,
                           false);
    addCastling<Us>(board, out);
    addDoubleSteps<Us, true>(board, out, doubleStepTargets<Us>(board));
    addPawnSteps<Us, true>(board, out, steps, KindPromoteKnight, KindPromoteBishop, true);

    for (Bitboard men = me.knights; men;) {
        int from = popLowest(men);
        if (pinOf(board, from)) continue;  // a pinned knight can never stay on the line
        addPieceMoves(out, board, from, Knight, knightAttacks[from] & notOwn);
    }
    for (Bitboard men = me.bishops; men;) {
        int from = popLowest(men);
        Bitboard ray;
        int pin = pinOf(board, from, &ray);
        if (pin == 1 || pin == 8) continue;
        addPieceMoves(out, board, from, Bishop,
                      (pin ? ray : bishopAttacksOf(board, from)) & notOwn);
    }
    for (Bitboard men = me.rooks; men;) {
        int from = popLowest(men);
        Bitboard ray;
        int pin = pinOf(board, from, &ray);
        if (pin == 7 || pin == 9) continue;
        addPieceMoves(out, board, from, Rook, (pin ? ray : rookAttacksOf(board, from)) & notOwn);
    }
    for (Bitboard men = me.queens; men;) {
        int from = popLowest(men);
        Bitboard ray;
        int pin = pinOf(board, from, &ray);
        addPieceMoves(out, board, from, Queen, (pin ? ray : queenAttacksOf(board, from)) & notOwn);
    }
    addKingMoves(out, board, kingTargets(board, notOwn));
    return finishList(board, list, out);
}

template <int Us>
int generateEvasionsFor(Board& board, int list) {
    using S = Side<Us>;
    MoveWriter out = startList(board, list);
    const SideState& me = *board.toMove;
    const int king = me.kingSquare;

    if (board.checkInfo != DoubleCheck) {
        const int checker = board.checkInfo - 1;
        const int checkerPiece = board.squares[checker];
        // Capture the checker.
        for (Bitboard men = attackersNoKing(board, me, checker); men;) {
            int from = popLowest(men);
            if (!isLegalNonKingMove(board, from, checker)) continue;
            int piece = board.squares[from];
            if (piece == Pawn && (bit(checker) & (Rank1 | Rank8)))
                addPromotions(out, from, checker, checkerPiece);
            else
                out.add(buildMove(from, checker, piece, piece, checkerPiece));
        }
        // A pawn that checks right after its double step can be taken en passant.
        if (board.epFile && checker == (Us == White ? 32 : 24) + board.epFile - 1)
            addEnPassant<Us, true>(board, out);
        // Interpose on the line of a checking slider.
        if (checkerPiece != Pawn && checkerPiece != Knight) {
            const int step = direction[king][checker];
            for (int s = king + step; s != checker; s += step)
                for (Bitboard men = blockersOfSquare(board, me, s); men;) {
                    int from = popLowest(men);
                    if (!isLegalNonKingMove(board, from, s)) continue;
                    int piece = board.squares[from];
                    out.add(buildMove(from, s, piece, piece));
                }
            Bitboard gap = between[king][checker];
            addPawnSteps<Us, true>(board, out, S::shift(me.pawns, S::Up) & gap, KindPromoteQueen,
                                   KindPromoteBishop, true);
            addDoubleSteps<Us, true>(board, out, doubleStepTargets<Us>(board) & gap);
        }
    }

    // King moves; lifted off the board so that a slider's ray passes its square.
    toggleOccupancy(board, king);
    addKingMoves(out, board, kingTargets(board, ~me.all));
    toggleOccupancy(board, king);
    return finishList(board, list, out);
}

// Captures, optionally with quiet direct checks by knights and sliders.
template <int Us, bool WithChecks>
int generateCapturesFor(Board& board, int list) {
    using S = Side<Us>;
    MoveWriter out = startList(board, list);
    const SideState& me = *board.toMove;
    const SideState& enemy = *board.opponent;
    const Bitboard targetsOf = enemy.all;

    addEnPassant<Us, false>(board, out);
    addPawnCaptures<Us, false>(board, out, S::CaptureA, S::NotFromA, KindPromoteQueen);
    addPawnCaptures<Us, false>(board, out, S::CaptureB, S::NotFromB, KindPromoteQueen);
    addPawnSteps<Us, false>(board, out, S::shift(me.pawns, S::Up) & board.empty & S::LastRank,
                            KindPromoteQueen, KindPromoteQueen, false);

    // Squares from which a man of each kind would check, that are safe to step on.
    Bitboard checkKnight = 0, checkBishop = 0, checkRook = 0;
    if (WithChecks) {
        const int enemyKing = enemy.kingSquare;
        Bitboard safe = ~me.all & ~enemy.pawnAttacks;
        checkKnight = knightAttacks[enemyKing] & safe;
        checkBishop = bishopAttacksOf(board, enemyKing) & safe;
        checkRook = rookAttacksOf(board, enemyKing) & safe;
    }
    // [piece code]: squares where a quiet move of that piece gives check.
    const Bitboard checks[6] = {0, 0, checkKnight, checkBishop, checkRook, checkBishop | checkRook};
    addPieceGroups(out, board, [&](int piece, int from) {
        return attacksFrom(board, piece, Us, from) & (targetsOf | checks[piece]);
    });
    addKingMoves(out, board, kingTargets(board, targetsOf));
    return finishList(board, list, out);
}

template <int Us>
int generateQuietFor(Board& board, int list) {
    using S = Side<Us>;
    MoveWriter out = startList(board, list);
    const SideState& me = *board.toMove;
    const SideState& enemy = *board.opponent;

    addCastling<Us>(board, out);
    // Under-promotions to a knight complete the captures' queen promotions.
    Bitboard lastRankPawns = me.pawns & S::shift(S::LastRank, -S::Up);
    for (int delta : {S::CaptureA, S::CaptureB}) {
        Bitboard origin = delta == S::CaptureA ? S::NotFromA : S::NotFromB;
        Bitboard targets = S::shift(lastRankPawns & origin, delta) & enemy.all;
        while (targets) {
            int to = popLowest(targets);
            out.add(buildMove(to - delta, to, KindPromoteKnight, Pawn, board.squares[to], Knight));
        }
    }
    addDoubleSteps<Us, false>(board, out, doubleStepTargets<Us>(board));
    addPawnSteps<Us, false>(board, out, S::shift(me.pawns, S::Up) & board.empty, KindPromoteKnight,
                            KindPromoteKnight, true);
    addPieceGroups(out, board, [&](int piece, int from) {
        return attacksFrom(board, piece, Us, from) & board.empty;
    });
    addKingMoves(out, board, kingTargets(board, board.empty));
    return finishList(board, list, out);
}

// The pawn-specific shape tests of validateMove.
template <int Us>
bool validPawnMove(const Board& board, Move move) {
    using S = Side<Us>;
    const int from = moveFrom(move), to = moveTo(move), kind = moveKind(move);
    const bool promotes = (bit(to) & S::LastRank) != 0;
    if (kind == KindDoubleStep)
        return to == from + 2 * S::Up && (bit(from + S::Up) & S::ThirdRank) &&
               board.squares[from + S::Up] == NoPiece;
    if (kind != KindPawn && (kind < KindPromoteQueen || kind > KindPromoteBishop)) return false;
    if ((kind != KindPawn) != promotes) return false;
    if (kind != KindPawn && movePromotion(move) != promotionPiece(kind)) return false;
    if (moveCaptured(move)) return (pawnAttackTable[Us][from] & bit(to)) != 0;
    return to == from + S::Up;
}

template <int Us>
bool validate(Board& board, Move move) {
    const SideState& me = *board.toMove;
    const int from = moveFrom(move), to = moveTo(move), kind = moveKind(move);
    const int piece = movePiece(move);
    if (piece == NoPiece || board.squares[from] != piece || !(me.all & bit(from))) return false;
    const bool castles = kind == KindCastleKingSide || kind == KindCastleQueenSide;
    if (!castles && (me.all & bit(to))) return false;
    if (moveCaptured(move) == 0) {
        if (!castles && board.squares[to] != NoPiece) return false;
    } else if (moveIsEnPassant(move)) {
        int victim = Us == White ? to - 8 : to + 8;
        if (piece != Pawn || board.epFile == 0 || board.squares[to] != NoPiece ||
            !(board.opponent->pawns & bit(victim)) ||
            to != (Us == White ? 40 : 16) + board.epFile - 1)
            return false;
    } else if (!(board.opponent->all & bit(to)) || board.squares[to] != moveCaptured(move)) {
        return false;
    }
    switch (piece) {
        case Pawn:
            if (!validPawnMove<Us>(board, move)) return false;
            break;
        case Knight:
        case Bishop:
        case Rook:
        case Queen:
            if (kind != piece || !(attacksFrom(board, piece, Us, from) & bit(to))) return false;
            break;
        default: {  // king
            if (kind == KindKing)
                return (kingAttacks[from] & bit(to)) && !attackedBySide(board, *board.opponent, to);
            // Castling only out of no check, with the right, by the generator's rules.
            const int base = Side<Us>::Base;
            if (board.checkInfo || moveCaptureField(move) != 0) return false;
            if (kind == KindCastleKingSide && to == base + 6)
                return (me.castleRights & CastleKingSide) && canCastle<Us>(board, true);
            if (kind == KindCastleQueenSide && to == base + 2)
                return (me.castleRights & CastleQueenSide) && canCastle<Us>(board, false);
            return false;
        }
    }
    return isLegalNonKingMove(board, from, to);
}

}  // namespace

int generateLegalMoves(Board& board, int list) {
    if (board.checkInfo) return generateEvasions(board, list);
    return board.toMove->colour == White ? generateLegal<White>(board, list)
                                         : generateLegal<Black>(board, list);
}

int generateMoves(Board& board) { return generateLegalMoves(board, 0); }

int generateEvasions(Board& board, int list) {
    return board.toMove->colour == White ? generateEvasionsFor<White>(board, list)
                                         : generateEvasionsFor<Black>(board, list);
}

int generateCaptures(Board& board, int list) {
    return board.toMove->colour == White ? generateCapturesFor<White, false>(board, list)
                                         : generateCapturesFor<Black, false>(board, list);
}

int generateCapturesAndChecks(Board& board, int list) {
    return board.toMove->colour == White ? generateCapturesFor<White, true>(board, list)
                                         : generateCapturesFor<Black, true>(board, list);
}

int generateQuietMoves(Board& board, int list) {
    return board.toMove->colour == White ? generateQuietFor<White>(board, list)
                                         : generateQuietFor<Black>(board, list);
}

bool validateMove(Board& board, Move move) {
    // A castling king may already stand on its destination (fischerandom).
    if (move == 0 || (moveFrom(move) == moveTo(move) && !moveIsCastling(move))) return false;
    return board.toMove->colour == White ? validate<White>(board, move)
                                         : validate<Black>(board, move);
}

bool isMoveLegal(Board& board, Move move) {
    if (!validateMove(board, move)) return false;
    if (!board.checkInfo) return true;
    if (!undoHasRoom(board)) return false;
    saveUndo(board);
    makeMove(board, move);
    bool legal = !canCaptureKing(board);
    unmakeMove(board);
    return legal;
}
