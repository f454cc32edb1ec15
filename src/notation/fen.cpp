#include "notation/fen.h"

#include <cstdio>
#include <cstring>

#include "board/attacks.h"
#include "board/random.h"
#include "board/tables.h"

namespace {

// Larger counts change nothing: the fifty-move rule is due from 100, and a
// move number this high is no game's.
constexpr int MaxHalfMoveClock = 999;
constexpr int MaxMoveNumber = 15000;

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

// The fields of FEN text: runs of blanks (spaces or tabs) separate them.
struct FenFields {
    const char* field[6];
    int length[6];
    int count;
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

FenFields splitFields(const char* text) {
    FenFields fields{};
    const char* c = text;
    while (fields.count < 6) {
        while (isBlank(*c)) ++c;
        if (!*c) break;
        fields.field[fields.count] = c;
        while (*c && !isBlank(*c)) ++c;
        fields.length[fields.count] = int(c - fields.field[fields.count]);
        ++fields.count;
    }
    return fields;
}

// Eight ranks of eight squares, in piece letters and digits.
bool isPlacement(const char* text, int length) {
    int ranks = 1, squares = 0;
    for (int i = 0; i < length; ++i) {
        char c = text[i];
        if (c == '/') {
            if (squares != 8) return false;
            ++ranks;
            squares = 0;
        } else if (c >= '1' && c <= '8') {
            squares += c - '0';
        } else if (pieceOfLetter(c)) {
            ++squares;
        } else {
            return false;
        }
        if (squares > 8) return false;
    }
    return ranks == 8 && squares == 8;
}

// Places the men of a placement that isPlacement accepted.
void readPlacement(Board& board, const char* text, int length) {
    int square = 56;
    for (int i = 0; i < length; ++i) {
        char c = text[i];
        if (c == '/') {
            square -= 16;
        } else if (c >= '1' && c <= '8') {
            square += c - '0';
        } else {
            int piece = pieceOfLetter(c);
            SideState& side = c >= 'a' ? board.black : board.white;
            board.squares[square] = uint8_t(piece);
            side.*pieceSet[piece] |= bit(square);
            if (piece == King) side.kingSquare = square;
            ++square;
        }
    }
}

// A count of at most limit written in decimal digits; -1 for anything else.
int readCount(const char* text, int length, int limit) {
    if (length == 0) return -1;
    int value = 0;
    for (int i = 0; i < length; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        if (value < limit) value = value * 10 + (text[i] - '0');
    }
    return value < limit ? value : limit;
}

bool isCastlingField(const char* text, int length) {
    if (length == 1 && text[0] == '-') return true;
    // Only letters fold onto these lower-case ones.
    for (int i = 0; i < length; ++i) {
        char lower = char(text[i] | 0x20);
        if (lower != 'k' && lower != 'q' && (lower < 'a' || lower > 'h')) return false;
    }
    return true;
}

// The en-passant square behind a pawn that has just made its double step, as
// if that step had just been played: the capture is generated, and the key
// has the en-passant part only where a pawn of the side to move can take (as
// makeMove gives it). A square that no double step can have left is ignored.
void readEnPassant(Board& board, int target) {
    const int colour = board.toMove->colour;
    const int rank = colour == White ? 5 : 2;
    const int pawn = colour == White ? target - 8 : target + 8;
    const int origin = colour == White ? target + 8 : target - 8;
    if (rankOf(target) != rank || !(board.opponent->pawns & bit(pawn))) return;
    if (board.squares[target] != NoPiece || board.squares[origin] != NoPiece) return;
    if (!(pawnAttackTable[colour ^ 1][target] & board.toMove->pawns)) return;
    board.epFile = uint8_t(fileOf(target) + 1);
    board.opponent->hashPart ^= enPassantKey(board.epFile);
}

// Grants a castling right with its rook. Only a king on its own back rank can
// castle, and only with a rook of its side that stands on that rank.
void grantCastling(BoardStack& stack, SideState& side, int rook, bool kingSide) {
    side.castleRights |= kingSide ? CastleKingSide : CastleQueenSide;
    (kingSide ? stack.rookStartKingSide : stack.rookStartQueenSide)[side.colour] = rook;
}

void readCastling(Board& board, BoardStack& stack, const char* field, int length) {
    for (int i = 0; i < length; ++i) {
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

    const FenFields fields = splitFields(text);
    if (fields.count == 0 || !isPlacement(fields.field[0], fields.length[0])) {
        std::snprintf(message, FenMessageSize, "%s", "not eight ranks of eight squares!");
        return 0;
    }
    readPlacement(board, fields.field[0], fields.length[0]);
    char sideLetter = fields.count > 1 && fields.length[1] == 1 ? fields.field[1][0] : '\0';
    if (sideLetter != 'w' && sideLetter != 'b') {
        std::snprintf(message, FenMessageSize, "%s", "no one to move!");
        return 0;
    }
    board.toMove = sideLetter == 'w' ? &board.white : &board.black;
    board.opponent = sideLetter == 'w' ? &board.black : &board.white;
    // Missing fields take their usual values: no castling, no en passant,
    // clocks at the game's start.
    const char* malformed = nullptr;
    int target = -1, halfMoves = 0, moveNumber = 1;
    if (fields.count > 2) {
        if (isCastlingField(fields.field[2], fields.length[2]))
            readCastling(board, stack, fields.field[2], fields.length[2]);
        else
            malformed = "bad castling field!";
    }
    if (fields.count > 3) {
        const char* ep = fields.field[3];
        if (fields.length[3] == 2 && ep[0] >= 'a' && ep[0] <= 'h' && ep[1] >= '1' && ep[1] <= '8')
            target = (ep[0] - 'a') + 8 * (ep[1] - '1');
        else if (fields.length[3] != 1 || ep[0] != '-')
            malformed = "bad en-passant square!";
    }
    if (fields.count > 4) {
        halfMoves = readCount(fields.field[4], fields.length[4], MaxHalfMoveClock);
        if (halfMoves < 0) malformed = "bad half-move clock!";
    }
    if (fields.count > 5) {
        moveNumber = readCount(fields.field[5], fields.length[5], MaxMoveNumber);
        if (moveNumber < 0) malformed = "bad move number!";
        // Some programs write 0 for the first move.
        if (moveNumber == 0) moveNumber = 1;
    }
    if (malformed) {
        std::snprintf(message, FenMessageSize, "%s", malformed);
        return 0;
    }
    board.fiftyMoveStart = int16_t(-halfMoves);
    board.startPly = int16_t(2 * (moveNumber - 1) + (sideLetter == 'b'));
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
    if (target >= 0) readEnPassant(board, target);
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
