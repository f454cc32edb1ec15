#include "driver/options.h"

#include <cstdio>
#include <cstring>

#include "board/types.h"
#include "driver/dispatch.h"
#include "driver/engine.h"
#include "driver/game.h"
#include "eval/material.h"
#include "notation/movetext.h"
#include "search/root.h"

int32_t search_prune_lmr_moves = 4;
int32_t search_prune_quiet_moves = 10;
int32_t search_extend_check = 8;

namespace {

enum OptionKind { BoolOption, IntOption, CacheOption, PathOption, LettersOption, PairOption };

// One key of the option table. Keys are matched as prefixes of the line, so a
// key that must be followed by a blank carries the blank.
struct OptionKey {
    const char* key;
    OptionKind kind;
    int Engine::*field = nullptr;         // bool, int and cache options of the Engine
    int32_t* global = nullptr;            // int options outside the Engine
    char (Engine::*path)[256] = nullptr;  // path options
    MaterialRecord* material = nullptr;   // pair options
};

constexpr OptionKey engineOption(const char* key, OptionKind kind, int Engine::*field) {
    return OptionKey{key, kind, field};
}
constexpr OptionKey globalOption(const char* key, int32_t* global) {
    return OptionKey{key, IntOption, nullptr, global};
}
constexpr OptionKey pathOption(const char* key, char (Engine::*path)[256]) {
    return OptionKey{key, PathOption, nullptr, nullptr, path};
}
constexpr OptionKey pairOption(const char* key, MaterialRecord* material) {
    return OptionKey{key, PairOption, nullptr, nullptr, nullptr, material};
}

// In the order in which they are tried: the first key that starts the line wins.
const OptionKey optionKeys[] = {
    engineOption("memory", IntOption, &Engine::memory),
    engineOption("egtb_cache", CacheOption, &Engine::egtb_cache),
    pathOption("egtb_path", &Engine::egtb_path),
    engineOption("egbb_cache", CacheOption, &Engine::egbb_cache),
    pathOption("egbb_path", &Engine::egbb_path),
    engineOption("book_learning", BoolOption, &Engine::book_learning),
    engineOption("book_allowed", BoolOption, &Engine::book_allowed),
    engineOption("book_verify", BoolOption, &Engine::book_verify),
    engineOption("book_rand", IntOption, &Engine::book_rand),
    engineOption("book_occurrence", IntOption, &Engine::book_occurrence),
    engineOption("book_depth", IntOption, &Engine::book_depth),
    engineOption("book_minwhite", IntOption, &Engine::book_minwhite),
    engineOption("book_minblack", IntOption, &Engine::book_minblack),
    engineOption("behavior_resign_value", IntOption, &Engine::behavior_resign_value),
    engineOption("behavior_accept_remis", BoolOption, &Engine::behavior_accept_remis),
    engineOption("behavior_offer_remis", BoolOption, &Engine::behavior_offer_remis),
    engineOption("pv_show_mate", BoolOption, &Engine::pv_show_mate),
    engineOption("pv_objective_score", BoolOption, &Engine::pv_objective_score),
    engineOption("pv_egtb_extract", BoolOption, &Engine::pv_egtb_extract),
    engineOption("pv_hash_extract", BoolOption, &Engine::pv_hash_extract),
    OptionKey{"pv_san_piece", LettersOption},
    engineOption("output_save2pgn ", BoolOption, &Engine::output_save2pgn),
    engineOption("output_save2record ", BoolOption, &Engine::output_save2record),
    engineOption("search_prune_nullmove", BoolOption, &Engine::search_prune_nullmove),
    globalOption("search_prune_lmr_moves", &search_prune_lmr_moves),
    globalOption("search_prune_quiet_moves", &search_prune_quiet_moves),
    globalOption("search_extend_check", &search_extend_check),
    pairOption("evaluate_pawn_material ", &pieceMaterial[Pawn]),
    pairOption("evaluate_knight_material ", &pieceMaterial[Knight]),
    pairOption("evaluate_bishop_material ", &pieceMaterial[Bishop]),
    pairOption("evaluate_rook_material ", &pieceMaterial[Rook]),
    pairOption("evaluate_queen_material ", &pieceMaterial[Queen]),
    globalOption("evaluate_control ", &evaluate_control),
};

// The text starts with a decimal number as "%d" reads it (leading white space,
// a sign, digits); moves past it. Out-of-range numbers stop at the int limits
// instead of overflowing.
bool readNumber(const char*& text, int32_t& value) {
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    if (*p < '0' || *p > '9') return false;
    int64_t magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (magnitude <= INT32_MAX) magnitude = magnitude * 10 + (*p - '0');
    }
    if (negative) magnitude = -magnitude;
    value = int32_t(magnitude < INT32_MIN   ? INT32_MIN
                    : magnitude > INT32_MAX ? INT32_MAX
                                            : magnitude);
    text = p;
    return true;
}

// The value text after the first "= ", or null when the line has none.
const char* valueText(const char* line) {
    const char* equals = std::strstr(line, "= ");
    return equals ? equals + 2 : nullptr;
}

bool readIntValue(const char* line, int32_t& value) {
    const char* text = valueText(line);
    return text && readNumber(text, value);
}

// Two numbers separated by a comma, as "%d, %d" reads them.
bool readPairValue(const char* line, int32_t& first, int32_t& second) {
    const char* text = valueText(line);
    if (!text || !readNumber(text, first) || *text != ',') return false;
    ++text;
    return readNumber(text, second);
}

int boolValue(const char* line) {
    return std::strstr(line, "yes") || std::strstr(line, "True") ? 1 : 0;
}

// The line is written "pv_san_piece = PNBRQK": the letters start at the 16th
// character. A shorter value replaces only the letters it gives; the blank of
// entry 0 and the terminator stay.
void setPieceLetters(const char* line) {
    constexpr size_t start = 15;
    size_t length = std::strlen(line);
    for (size_t i = 0; i < 6 && start + i < length; ++i) pieceLetters[1 + i] = line[start + i];
}

int applyOption(Engine& engine, const OptionKey& option, const char* line) {
    int32_t value = 0;
    switch (option.kind) {
        case BoolOption: engine.*option.field = boolValue(line); return 1;
        case IntOption:
            if (!readIntValue(line, value)) return 0;
            (option.global ? *option.global : engine.*option.field) = value;
            return 1;
        case CacheOption:
            if (readIntValue(line, value)) engine.*option.field = value < 1 ? 0 : value;
            return 1;
        case PathOption:
            copyField(engine.*option.path, sizeof(engine.*option.path), textFrom(line, 12));
            return 1;
        case LettersOption: setPieceLetters(line); return 1;
        case PairOption: {
            int32_t opening = 0, endgame = 0;
            if (!readPairValue(line, opening, endgame)) return 0;
            option.material->opening = opening;
            option.material->endgame = endgame;
            buildMaterialTaper(*option.material);
            return 1;
        }
    }
    return 0;
}

// Where book information goes on a server: 1 whisper, 2 kibitz, 0 nowhere.
int serverChannel(const char* line) {
    if (std::strstr(line, "whisper")) return 1;
    if (std::strstr(line, "kibitz")) return 2;
    return 0;
}

// Set while the file is being read: a command in it may lead back here
// ("new" initialises the engine, which reads the file).
bool readingConfiguration = false;

}  // namespace

int handleOptionCommand(Engine& engine, const char* line) {
    for (const OptionKey& option : optionKeys) {
        if (std::strncmp(line, option.key, std::strlen(option.key)) == 0) {
            return applyOption(engine, option, line);
        }
    }

    if (std::strstr(line, "server_")) {
        if (std::strstr(line, "server_human")) {
            engine.serverHuman = serverChannel(line);
            return 1;
        }
        if (std::strstr(line, "computer")) {
            engine.serverComputer = serverChannel(line);
            return 1;
        }
    }

    // A word of four or five letters typed at the console: a move if it is
    // one, silently nothing otherwise.
    size_t length = std::strlen(line);
    if (length == 4 || length == 5) {
        if (playMoveText(engine, line) && engine.playing == 1) think(engine, 0);
        return 1;
    }
    return 0;
}

void readConfigurationFile(Engine& engine) {
    if (readingConfiguration) return;
    std::FILE* file = std::fopen("vostrel.ini", "r");
    if (!file) return;
    readingConfiguration = true;

    char line[256];
    while (std::fgets(line, sizeof line, file)) {
        size_t length = std::strlen(line);
        if (length > 0 && line[length - 1] == '\n') {
            line[--length] = '\0';
        } else {
            // Longer than 255 characters: the rest of the line is dropped, so
            // that no piece of it is taken for a line of its own.
            int c;
            do c = std::fgetc(file);
            while (c != '\n' && c != EOF);
        }
        // A file written on Windows and read elsewhere keeps its carriage returns.
        if (length > 0 && line[length - 1] == '\r') line[--length] = '\0';
        if (line[0] == '-') dispatchCommand(engine, length >= 2 ? line + 2 : "");
    }

    readingConfiguration = false;
    std::fclose(file);
}
