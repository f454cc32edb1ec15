#include "notation/pgn.h"

#include <cstring>

namespace {

constexpr int EndOfText = -1;
constexpr int NoResult = 3;  // resultOf a token that is none
constexpr int TagNameSize = 32;
constexpr int TokenLimit = 64;  // characters kept of a token while it is read

int peekChar(PgnReader& reader) {
    if (reader.at == reader.size) {
        if (!reader.file) return EndOfText;
        reader.size = std::fread(reader.block, 1, sizeof reader.block, reader.file);
        reader.text = reader.block;
        reader.at = 0;
        if (reader.size == 0) return EndOfText;
    }
    return static_cast<unsigned char>(reader.text[reader.at]);
}

// "\r\n", "\n" and a lone "\r" each end one line.
int getChar(PgnReader& reader) {
    int c = peekChar(reader);
    if (c == EndOfText) return c;
    ++reader.at;
    if (c == '\n' && !reader.lastWasReturn) ++reader.line;
    if (c == '\r') ++reader.line;
    reader.lastWasReturn = c == '\r';
    reader.lineStart = c == '\n' || c == '\r';
    return c;
}

void skipLine(PgnReader& reader) {
    for (int c = peekChar(reader); c != EndOfText && c != '\n' && c != '\r'; c = peekChar(reader))
        getChar(reader);
}

// Bytes past ASCII (a byte-order mark, a stray Latin-1 letter) separate tokens
// like blanks: no move or result is written with them.
bool isBlank(int c) { return c <= ' ' || c >= 0x80; }

// Passes blanks and escape lines; returns the next character, not taken.
int skipBlanks(PgnReader& reader) {
    for (;;) {
        if (reader.lineStart && peekChar(reader) == '%') skipLine(reader);
        int c = peekChar(reader);
        if (c == EndOfText || !isBlank(c)) return c;
        getChar(reader);
    }
}

void fail(PgnGame& game, const char* reason, int line) {
    if (game.error) return;
    game.error = reason;
    game.errorLine = line;
}

// Cuts an overlong value to the field. A plain loop: GCC warns that
// snprintf may truncate, and here truncation is meant.
void copyCut(char* field, int size, const char* value) {
    int at = 0;
    for (; at + 1 < size && value[at]; ++at) field[at] = value[at];
    field[at] = '\0';
}

// One tag pair, from its "[" to its "]"; a broken one is passed over to the
// end of its line.
void readTag(PgnReader& reader, PgnGame& game) {
    int line = reader.line;
    getChar(reader);
    skipBlanks(reader);
    char name[TagNameSize];
    int length = 0;
    for (int c = peekChar(reader); c != EndOfText && !isBlank(c) && c != '"' && c != ']';
         c = peekChar(reader)) {
        getChar(reader);
        if (length < TagNameSize - 1) name[length++] = char(c);
    }
    name[length] = '\0';
    char value[PgnFenSize + 1];
    int valueLength = 0;
    bool closed = false, whole = length > 0;
    if (whole && skipBlanks(reader) == '"' && reader.line == line) {
        getChar(reader);
        for (int c = getChar(reader); c != EndOfText && c != '\n' && c != '\r';
             c = getChar(reader)) {
            if (c == '"') {
                closed = true;
                break;
            }
            if (c == '\\' && (peekChar(reader) == '"' || peekChar(reader) == '\\'))
                c = getChar(reader);
            if (valueLength < PgnFenSize) value[valueLength++] = char(c);
        }
    }
    value[valueLength] = '\0';
    if (!closed || skipBlanks(reader) != ']' || reader.line != line) {
        fail(game, "bad tag pair", line);
        skipLine(reader);
        return;
    }
    getChar(reader);
    if (!std::strcmp(name, "FEN")) {
        if (valueLength >= PgnFenSize) fail(game, "FEN too long", line);
        copyCut(game.fen, PgnFenSize, value);
    } else if (!std::strcmp(name, "Variant")) {
        copyCut(game.variant, PgnVariantSize, value);
    }
}

int resultOf(const char* token) {
    if (!std::strcmp(token, "1-0")) return 1;
    if (!std::strcmp(token, "0-1")) return -1;
    if (!std::strcmp(token, "1/2-1/2")) return 0;
    if (!std::strcmp(token, "*")) return PgnUnfinished;
    return NoResult;
}

bool isDigit(int c) { return c >= '0' && c <= '9'; }

// The move in a token, past a move number ("12.", "12...", "12.e4").
const char* pastMoveNumber(const char* token) {
    const char* p = token;
    while (isDigit(*p)) ++p;
    if (p == token) {
        while (*p == '.') ++p;  // "...e5" after a comment
        return p;
    }
    if (*p == '\0') return p;  // a number without its dot
    if (*p != '.') return token;
    while (*p == '.') ++p;
    return p;
}

}  // namespace

void pgnReadFile(PgnReader& reader, std::FILE* file) {
    reader.file = file;
    reader.text = reader.block;
    reader.size = reader.at = 0;
    reader.line = 1;
    reader.lastWasReturn = false;
    reader.lineStart = true;
}

void pgnReadText(PgnReader& reader, const char* text, size_t size) {
    pgnReadFile(reader, nullptr);
    reader.text = text;
    reader.size = size;
}

int pgnNextGame(PgnReader& reader, PgnGame& game) {
    game.firstLine = 0;
    game.fen[0] = game.variant[0] = '\0';
    game.result = PgnUnfinished;
    game.moveCount = 0;
    game.movesCut = false;
    game.error = nullptr;
    game.errorLine = 0;
    int c = skipBlanks(reader);
    if (c == EndOfText) return 0;
    game.firstLine = reader.line;
    while (c == '[') {
        readTag(reader, game);
        c = skipBlanks(reader);
    }
    int depth = 0;  // of the variation being read over
    for (;; c = skipBlanks(reader)) {
        int line = reader.line;
        if (c == EndOfText) {
            fail(game,
                 depth ? "variation not closed at the end of the text"
                       : "no result at the end of the text",
                 line);
            return 1;
        }
        if (c == '[') {
            fail(game, "no result before the next game's tags", line);
            return 1;
        }
        if (c == '{') {
            getChar(reader);
            while ((c = getChar(reader)) != '}')
                if (c == EndOfText) {
                    fail(game, "comment not closed", line);
                    return 1;
                }
            continue;
        }
        if (c == ';') {
            skipLine(reader);
            continue;
        }
        if (c == '(' || c == ')') {
            getChar(reader);
            if (c == '(')
                ++depth;
            else if (depth > 0)
                --depth;
            else
                fail(game, "\")\" without its \"(\"", line);
            continue;
        }
        if (c == '$') {  // a NAG
            getChar(reader);
            while (isDigit(peekChar(reader))) getChar(reader);
            continue;
        }
        char token[TokenLimit + 1];
        int length = 0;
        bool overlong = false;
        for (c = peekChar(reader); c != EndOfText && !isBlank(c) && !std::strchr("{}();[]$\"", c);
             c = peekChar(reader)) {
            getChar(reader);
            if (length < TokenLimit)
                token[length++] = char(c);
            else
                overlong = true;
        }
        token[length] = '\0';
        if (length == 0) {  // a stray '"' or ']'
            getChar(reader);
            fail(game, "unexpected character", line);
            continue;
        }
        if (depth > 0) continue;
        if (int result = resultOf(token); result != NoResult) {
            game.result = result;
            return 1;
        }
        const char* move = pastMoveNumber(token);
        if (*move == '\0') continue;
        if (overlong || std::strlen(move) >= size_t(PgnTokenSize)) {
            fail(game, "overlong move text", line);
            continue;
        }
        if (game.moveCount == PgnMaxMoves) {
            game.movesCut = true;
            continue;
        }
        std::strcpy(game.moves[game.moveCount], move);
        game.moveLines[game.moveCount++] = line;
    }
}
