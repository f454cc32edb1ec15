#include "notation/movetext.h"

#include <cstring>

#include "board/attacks.h"
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

    for (int i = 0; i < count; ++i) {
        Move move = list[i].move;
        if (moveFrom(move) == from && moveTo(move) == to && movePromotion(move) == promotion)
            return move;
    }
    return 0;
}
