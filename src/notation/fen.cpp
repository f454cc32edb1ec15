#include "notation/fen.h"

#include <cstdio>
#include <cstring>

#include "board/attacks.h"
#include "board/random.h"
#include "board/tables.h"

namespace {

int pieceOfLetter(char letter) {
    switch (letter | 0x20) {
        case 'p': return Pawn;
        case 'n': return Knight;
        case 'b': return Bishop;
        case 'r': return Rook;
        case 'q': return Queen;
        case 'k': return King;
        default: return NoPiece;
    }
}

// Reads the placement field up to its blank; returns the index of that blank
// (or of the text's end). Men that would land off the board or on a square
// already taken are dropped, so a malformed rank cannot corrupt the sets.
int readPlacement(Board& board, const char* text) {
    int square = 56, i = 0;
    for (; text[i] && text[i] != ' '; ++i) {
        char c = text[i];
        if (c == '/') {
            square -= 16;
        } else if (c >= '1' && c <= '8') {
            square += c - '0';
        } else if (int piece = pieceOfLetter(c)) {
            if (square >= 0 && square < 64 && board.squares[square] == NoPiece) {
                SideState& side = c >= 'a' ? board.black : board.white;
                board.squares[square] = uint8_t(piece);
                side.*pieceSet[piece] |= bit(square);
                if (piece == King) side.kingSquare = square;
            }
            ++square;
        }
    }
    return i;
}

// Grants a castling right with its rook. Only a king on its own back rank can
// castle, and only with a rook of its side that stands on that rank.
void grantCastling(BoardStack& stack, SideState& side, int rook, bool kingSide) {
    side.castleRights |= kingSide ? CastleKingSide : CastleQueenSide;
    (kingSide ? stack.rookStartKingSide : stack.rookStartQueenSide)[side.colour] = rook;
}

void readCastling(Board& board, BoardStack& stack, const char* field) {
    for (int i = 0; field[i] && field[i] != ' '; ++i) {
        char c = field[i];
        bool white = c < 'a';
        SideState& side = white ? board.white : board.black;
        int base = white ? 0 : 56;
        int king = side.kingSquare;
        // No right without exactly one king on the back rank.
        if (popCount(side.king) != 1 || rankOf(king) != rankOf(base)) continue;
        int lower = c | 0x20;
        if (lower == 'k' || lower == 'q') {
            bool kingSide = lower == 'k';
            int found = -1;
            // The rook farthest from the king on that wing is the castling rook.
            if (kingSide) {
                for (int s = king + 1; s <= base + 7; ++s)
                    if (side.rooks & bit(s)) found = s;
            } else {
                for (int s = king - 1; s >= base; --s)
                    if (side.rooks & bit(s)) found = s;
            }
            if (found >= 0) grantCastling(stack, side, found, kingSide);
        } else if (lower >= 'a' && lower <= 'h') {
            int rook = base + (lower - 'a');
            if (!(side.rooks & bit(rook)) || fileOf(rook) == fileOf(king)) continue;
            grantCastling(stack, side, rook, fileOf(rook) > fileOf(king));
        }
    }
}

void finishSide(Board& board, SideState& side) {
    side.all = side.pawns | side.knights | side.bishops | side.rooks | side.queens | side.king;
    side.pieces = side.all ^ side.pawns;
    side.diagonalSliders = side.bishops | side.queens;
    side.straightSliders = side.rooks | side.queens;
    side.pawnAttacks = pawnAttacksOfSet(side.pawns, side.colour);
    side.hashPart = castleRightsKey(side.colour, side.castleRights);
    for (int piece = Pawn; piece <= King; ++piece)
        for (Bitboard men = side.*pieceSet[piece]; men;) {
            int square = popLowest(men);
            side.material += pieceValue[piece];
            side.materialSignature += signatureIncrement[piece];
            side.hashPart ^= zobrist[side.colour][square][piece];
            if (piece == Pawn) board.pawnHashKey ^= zobrist[side.colour][square][Pawn];
        }
}

const char* validationMessage(const Board& board) {
    // Later failures replace earlier ones: the last failing test is reported.
    const char* message = nullptr;
    const SideState* sides[2] = {&board.white, &board.black};
    static const char* const messages[2][5] = {
        {"too many white pawns!", "too many white knights!", "too many white bishops!",
         "too many white rooks!", "too many white queens!"},
        {"too many black pawns!", "too many black knights!", "too many black bishops!",
         "too many black rooks!", "too many black queens!"}};
    for (int s = 0; s < 2; ++s)
        for (int piece = Pawn; piece <= Queen; ++piece)
            if (popCount(sides[s]->*pieceSet[piece]) > (piece == Pawn ? 8 : 15))
                message = messages[s][piece - 1];
    if ((board.white.pawns | board.black.pawns) & 0xFF000000000000FFull)
        message = "pawns on illegal ranks!";
    if (popCount(board.white.king) != 1) message = "wrong number of white kings!";
    if (popCount(board.black.king) != 1) message = "wrong number of black kings!";
    if (popCount(attackersBySide(board, *board.opponent, board.toMove->kingSquare)) > 2)
        message = "more than 2 checking pieces!";
    bool twoKings = popCount(board.white.king) == 1 && popCount(board.black.king) == 1;
    if (canCaptureKing(board) || (twoKings && kingsTouch(board)))
        message = "king can be captured! (wrong side to move?)";
    return message;
}

}  // namespace

int parseFen(Board& board, BoardStack& stack, const char* text, char* message) {
    message[0] = '\0';
    std::memset(&board, 0, sizeof board);
    board.stack = &stack;
    stack.moveLists[0] = stack.moveBuffer;
    board.white.colour = White;
    board.black.colour = Black;
    // Valid side pointers even when the side letter is missing and parsing stops.
    board.toMove = &board.white;
    board.opponent = &board.black;
    // Rook starts from an earlier position must not survive into this one.
    for (int colour = Black; colour <= White; ++colour) {
        int base = colour == White ? 0 : 56;
        stack.rookStartKingSide[colour] = base + 7;
        stack.rookStartQueenSide[colour] = base;
    }

    int blank = readPlacement(board, text);
    char sideLetter = text[blank] == ' ' ? text[blank + 1] : '\0';
    if (sideLetter != 'w' && sideLetter != 'b') {
        std::snprintf(message, FenMessageSize, "%s", "no one to move!");
        return 0;
    }
    board.toMove = sideLetter == 'w' ? &board.white : &board.black;
    board.opponent = sideLetter == 'w' ? &board.black : &board.white;
    if (text[blank + 2] == ' ') readCastling(board, stack, text + blank + 3);
    stack.kingStart[White] = board.white.kingSquare;
    stack.kingStart[Black] = board.black.kingSquare;

    finishSide(board, board.white);
    finishSide(board, board.black);
    board.occupied = board.white.all | board.black.all;
    board.empty = ~board.occupied;
    for (Bitboard men = board.occupied; men;) {
        int square = popLowest(men);
        board.occupiedFiles |= fileRotationMask[square];
        board.occupiedAntiDiagonals |= antiDiagRotationMask[square];
        board.occupiedDiagonals |= diagRotationMask[square];
    }
    board.pieceCount = uint8_t(popCount(board.occupied));
    board.hashKey = uint64_t(board.toMove->colour) ^ board.white.hashPart ^ board.black.hashPart;
    Bitboard checkers = attackersBySide(board, *board.opponent, board.toMove->kingSquare);
    board.checkInfo = checkers == 0                 ? 0
                      : (checkers & (checkers - 1)) ? DoubleCheck
                                                    : uint8_t(1 + lowestSquare(checkers));

    if (const char* failure = validationMessage(board)) {
        std::snprintf(message, FenMessageSize, "%s", failure);
        return 0;
    }
    return 1;
}
