#include "notation/movetext.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "board/attacks.h"
#include "board/makemove.h"
#include "board/movegen.h"

void formatMoveCoordinates(Move move, char* text) {
    static const char promotionLetter[7] = {0, 0, 'n', 'b', 'r', 'q', 0};
    int from = moveFrom(move), to = moveTo(move);
    char* out = text;
    *out++ = char('a' + fileOf(from));
    *out++ = char('1' + rankOf(from));
    *out++ = char('a' + fileOf(to));
    *out++ = char('1' + rankOf(to));
    if (int piece = movePromotion(move)) *out++ = promotionLetter[piece];
    *out = '\0';
}

char pieceLetters[8] = " PNBRQK";

namespace {

// Promotions keep the English letters whatever pieceLetters says.
constexpr char sanPromotionLetter[8] = "??NBRQ?";

char* writeSquare(char* out, int square) {
    *out++ = char('a' + fileOf(square));
    *out++ = char('1' + rankOf(square));
    return out;
}

// File letter, rank digit or whole from-square when another man of the same
// kind could legally go to the same square.
char* writeDisambiguation(char* out, Board& board, Move move) {
    int from = moveFrom(move), to = moveTo(move), piece = movePiece(move);
    const SideState& own = *board.toMove;
    Bitboard others = attacksFrom(board, piece, own.colour, to) & own.*pieceSet[piece] & ~bit(from);
    bool sharesFile = false, sharesRank = false, any = false;
    while (others) {
        int square = popLowest(others);
        // A pinned twin cannot go there, so it needs no telling apart.
        if (!isLegalNonKingMove(board, square, to)) continue;
        any = true;
        sharesFile |= fileOf(square) == fileOf(from);
        sharesRank |= rankOf(square) == rankOf(from);
    }
    if (!any) return out;
    if (!sharesFile) {
        *out++ = char('a' + fileOf(from));
    } else if (sharesRank) {
        out = writeSquare(out, from);
    } else {
        *out++ = char('1' + rankOf(from));
    }
    return out;
}

// a..h and 1..8 both give 1..8; anything else 0.
int coordinateValue(char c) {
    if (c >= 'a' && c <= 'h') return c - 'a' + 1;
    if (c >= '1' && c <= '8') return c - '1' + 1;
    return 0;
}

int promotionCode(char c) {
    switch (c) {
        case 'Q':
        case 'q': return Queen;
        case 'R':
        case 'r': return Rook;
        case 'N':
        case 'n': return Knight;
        case 'B':
        case 'b': return Bishop;
        // Unknown letters keep their own code, which no promotion field holds.
        default: return c;
    }
}

}  // namespace

int formatMoveSan(Board& board, Move move, char* text) {
    int from = moveFrom(move), to = moveTo(move), piece = movePiece(move);
    bool capture = moveCaptured(move) != 0;
    char* out = text;
    if (piece == Pawn) {
        if (capture) {
            *out++ = char('a' + fileOf(from));
            *out++ = 'x';
        }
        out = writeSquare(out, to);
        if (int promotion = movePromotion(move)) {
            *out++ = '=';
            *out++ = sanPromotionLetter[promotion];
        }
    } else if (piece == King && moveIsCastling(move)) {
        // The king's destination names the wing: in fischerandom the king may
        // start anywhere, but it always ends on g or c.
        for (const char* castle = fileOf(to) == 6 ? "O-O" : "O-O-O"; *castle;) *out++ = *castle++;
    } else {
        *out++ = pieceLetters[piece];
        if (piece >= Knight && piece <= Queen) out = writeDisambiguation(out, board, move);
        if (capture) *out++ = 'x';
        out = writeSquare(out, to);
    }
    *out++ = ' ';
    *out = '\0';
    return int(out - text);
}

Move parseMoveText(Board& board, const char* text) {
    int count = generateMoves(board);
    const MoveEntry* list = board.stack->moveLists[0];

    int castleKind = 0;
    if (std::strstr(text, "O-O") || std::strstr(text, "0-0")) castleKind = KindCastleKingSide;
    if (std::strstr(text, "O-O-O") || std::strstr(text, "0-0-0")) castleKind = KindCastleQueenSide;
    if (castleKind) {
        for (int i = 0; i < count; ++i)
            if (moveKind(list[i].move) == castleKind) return list[i].move;
        return 0;
    }

    // Read at most six characters and none past the terminator.
    char c[6] = {};
    int length = 0;
    while (length < 6 && text[length] != '\0') {
        c[length] = text[length];
        ++length;
    }
    int fromFile = coordinateValue(c[0]), fromRank = coordinateValue(c[1]);
    int toFile = coordinateValue(c[2]), toRank = coordinateValue(c[3]);
    // An unreadable coordinate would otherwise wrap onto a real square
    // ("E2E4" reads as h1h3).
    if (!fromFile || !fromRank || !toFile || !toRank) return 0;
    int from = (fromFile - 1) + 8 * (fromRank - 1);
    int to = (toFile - 1) + 8 * (toRank - 1);
    int promotion = 0;
    if (length >= 5) promotion = promotionCode(c[4] == '=' ? c[5] : c[4]);

    // In fischerandom the king's step may land where castling puts it: the
    // squares name the step, and castling only where no step matches.
    Move castling = 0;
    for (int i = 0; i < count; ++i) {
        Move move = list[i].move;
        if (moveFrom(move) != from || moveTo(move) != to || movePromotion(move) != promotion)
            continue;
        if (!moveIsCastling(move)) return move;
        if (!castling) castling = move;
    }
    return castling;
}

namespace {

constexpr int SanTextLimit = 15;  // longer text is no SAN ("Qa1xb2=Q+!?" fits)

int sanPieceCode(char c) {
    switch (c) {
        case 'P': return Pawn;
        case 'N': return Knight;
        case 'B': return Bishop;
        case 'R': return Rook;
        case 'Q': return Queen;
        case 'K': return King;
        default: return NoPiece;
    }
}

bool isFileLetter(char c) { return c >= 'a' && c <= 'h'; }
bool isRankDigit(char c) { return c >= '1' && c <= '8'; }

// The one legal move of the kind, or the reason there is none.
SanReading legalCastling(Board& board, int kind) {
    int count = generateMoves(board);
    const MoveEntry* list = board.stack->moveLists[0];
    for (int i = 0; i < count; ++i)
        if (moveKind(list[i].move) == kind && isMoveLegal(board, list[i].move))
            return {list[i].move, nullptr};
    return {0, "illegal move"};
}

}  // namespace

SanReading readMoveSan(Board& board, const char* text) {
    constexpr SanReading NotAMove{0, "not a move"};
    char s[SanTextLimit + 1];
    int n = 0;
    while (text[n] && text[n] != ' ' && text[n] != '\t' && text[n] != '\n' && text[n] != '\r') {
        if (n == SanTextLimit) return NotAMove;
        s[n] = text[n];
        ++n;
    }
    while (n > 0 && std::strchr("+#!?", s[n - 1])) --n;
    s[n] = '\0';
    if (!std::strcmp(s, "O-O") || !std::strcmp(s, "0-0"))
        return legalCastling(board, KindCastleKingSide);
    if (!std::strcmp(s, "O-O-O") || !std::strcmp(s, "0-0-0"))
        return legalCastling(board, KindCastleQueenSide);

    int at = 0, piece = sanPieceCode(s[0]);
    if (piece)
        at = 1;
    else
        piece = Pawn;
    int promotion = 0;
    if (piece == Pawn && n - at >= 3 && !isRankDigit(s[n - 1])) {
        promotion = sanPieceCode(char(s[n - 1] >= 'a' ? s[n - 1] - 'a' + 'A' : s[n - 1]));
        if (promotion < Knight || promotion > Queen) return NotAMove;
        if (s[--n - 1] == '=') --n;
    }
    if (n - at < 2 || !isFileLetter(s[n - 2]) || !isRankDigit(s[n - 1])) return NotAMove;
    int to = (s[n - 2] - 'a') + 8 * (s[n - 1] - '1');
    n -= 2;
    if (n > at && (s[n - 1] == 'x' || s[n - 1] == ':' || s[n - 1] == '-')) --n;
    int fromFile = -1, fromRank = -1;
    if (at < n && isFileLetter(s[at])) fromFile = s[at++] - 'a';
    if (at < n && isRankDigit(s[at])) fromRank = s[at++] - '1';
    if (at != n) return NotAMove;
    // A pawn named without a file steps straight ahead.
    if (piece == Pawn && fromFile < 0) fromFile = fileOf(to);

    int count = generateMoves(board);
    const MoveEntry* list = board.stack->moveLists[0];
    SanReading reading{0, "illegal move"};
    for (int i = 0; i < count; ++i) {
        Move move = list[i].move;
        int from = moveFrom(move);
        if (movePiece(move) != piece || moveTo(move) != to || moveIsCastling(move) ||
            movePromotion(move) != promotion || (fromFile >= 0 && fileOf(from) != fromFile) ||
            (fromRank >= 0 && rankOf(from) != fromRank) || !isMoveLegal(board, move))
            continue;
        if (reading.move) return {0, "ambiguous move"};
        reading = {move, nullptr};
    }
    return reading;
}

int appendText(char* buffer, int size, int length, const char* format, ...) {
    if (length >= size - 1) return length;
    va_list arguments;
    va_start(arguments, format);
    int written = std::vsnprintf(buffer + length, size_t(size - length), format, arguments);
    va_end(arguments);
    if (written < 0) return length;
    return length + written < size - 1 ? length + written : size - 1;
}

namespace {

constexpr int VariationTextLimit = PvTextSize - 20;  // room for one more move number and SAN

// The side to move, in check, has no reply. The evasions go to a scratch list
// at the far end of the move buffer, which the search does not reach while
// the root prints; the list pointers are put back.
bool isMated(Board& board) {
    BoardStack& stack = *board.stack;
    constexpr int list = MoveListCount - 2;
    MoveEntry* saved[2] = {stack.moveLists[list], stack.moveLists[list + 1]};
    stack.moveLists[list] = stack.moveBuffer + MoveCapacity - 256;
    int count = generateEvasions(board, list);
    stack.moveLists[list] = saved[0];
    stack.moveLists[list + 1] = saved[1];
    return count == 0;
}

}  // namespace

int moveTextLong(Move move, char* buffer) {
    char* out = buffer;
    int piece = movePiece(move);
    if (piece != Pawn) *out++ = pieceLetters[piece];
    *out++ = char('a' + fileOf(moveFrom(move)));
    *out++ = char('1' + rankOf(moveFrom(move)));
    if (moveCaptured(move)) *out++ = 'x';
    *out++ = char('a' + fileOf(moveTo(move)));
    *out++ = char('1' + rankOf(moveTo(move)));
    if (int promotion = movePromotion(move)) *out++ = pieceLetters[promotion];
    int length = int(out - buffer);
    *out++ = ' ';
    *out = '\0';
    return length;
}

void variationText(Board& board, const Move* moves, int count, char* buffer) {
    buffer[0] = '\0';
    if (count > VariationTextMoves) count = VariationTextMoves;
    if (count <= 0) return;
    int length = 0;
    if (board.toMove->colour == Black)
        length = appendText(buffer, PvTextSize, length, "%d...", gamePly(board) / 2 + 1);
    int made = 0;
    for (int i = 0; i < count && length <= VariationTextLimit; ++i) {
        Move move = moves[i];
        // A variation is made of legal moves; anything else ends the text
        // before the move is named, since its SAN would mean nothing.
        if (!undoHasRoom(board) || !isMoveLegal(board, move)) break;
        if (board.toMove->colour == White)
            length = appendText(buffer, PvTextSize, length, "%d.", gamePly(board) / 2 + 1);
        char san[24];
        formatMoveSan(board, move, san);
        length = appendText(buffer, PvTextSize, length, "%s", san);
        saveUndo(board);
        makeMove(board, move);
        ++made;
        if (board.checkInfo && length > 0 && buffer[length - 1] == ' ') {
            buffer[length - 1] = '+';
            length = appendText(buffer, PvTextSize, length, " ");
        }
    }
    // The mate mark turns the check's "+ " into "++".
    if (length >= 2 && board.checkInfo && buffer[length - 1] == ' ' && isMated(board))
        buffer[length - 1] = '+';
    while (made-- > 0) unmakeMove(board);
}
