#include "driver/options.h"

#include <cstdio>
#include <cstring>

#include "board/check.h"
#include "board/types.h"
#include "driver/engine.h"
#include "eval/material.h"
#include "notation/movetext.h"

namespace {

// What an option's value is, and how it is read. Keys without a setting of
// this engine are still taken, so that a file written for another build or
// an older version reads without complaint.
enum OptionKind {
    BoolOption,     // "yes" or "True" anywhere in the line: 1, else 0
    IntOption,      // "= N"; a line without a number is refused
    CacheOption,    // "= N", below 1 stored as 0; a line without a number changes nothing
    IgnoredOption,  // taken, read by nothing
    IgnoredNumber,  // taken when it has a number, read by nothing
    LettersOption,  // the SAN piece letters
    PairOption,     // "= N, N": opening and endgame value of a piece
};

// One key of the option table. Keys are matched as prefixes of the line, so a
// key that must be followed by a blank carries the blank.
struct OptionKey {
    const char* key;
    OptionKind kind;
    int32_t Settings::*field = nullptr;  // bool, int and cache options of the settings
    int32_t* global = nullptr;           // int options of the evaluation's tables
    int piece = 0;                       // pair options
    // Numbers beyond these stop at them: the search and the evaluation add
    // and multiply these values, and must not overflow.
    int32_t low = INT32_MIN;
    int32_t high = INT32_MAX;
};

// Piece values and the control bonus: far beyond any sensible tuning, and
// still clear of overflow in the material sums and the evaluation.
constexpr int32_t PieceValueLimit = 10000;
constexpr int32_t ControlLimit = 1000;
// Check extension: at most two plies, in eighths.
constexpr int32_t CheckExtensionLimit = 16;

constexpr OptionKey setting(const char* key, OptionKind kind, int32_t Settings::*field,
                            int32_t low = INT32_MIN, int32_t high = INT32_MAX) {
    return OptionKey{key, kind, field, nullptr, 0, low, high};
}
constexpr OptionKey ignored(const char* key, OptionKind kind = IgnoredOption) {
    return OptionKey{key, kind};
}
constexpr OptionKey evaluationOption(const char* key, int32_t* global, int32_t limit) {
    return OptionKey{key, IntOption, nullptr, global, 0, -limit, limit};
}
constexpr OptionKey pairOption(const char* key, int piece) {
    return OptionKey{key, PairOption, nullptr, nullptr, piece, -PieceValueLimit, PieceValueLimit};
}

// In the order in which they are tried: the first key that starts the line wins.
const OptionKey optionKeys[] = {
    setting("memory", IntOption, &Settings::memory),
    setting("egtb_cache", CacheOption, &Settings::egtb_cache),
    ignored("egtb_path"),
    ignored("egbb_cache"),
    ignored("egbb_path"),
    setting("book_learning", BoolOption, &Settings::book_learning),
    setting("book_allowed", BoolOption, &Settings::book_allowed),
    setting("book_verify", BoolOption, &Settings::book_verify),
    setting("book_rand", IntOption, &Settings::book_rand),
    setting("book_occurrence", IntOption, &Settings::book_occurrence),
    ignored("book_depth", IgnoredNumber),
    setting("book_minwhite", IntOption, &Settings::book_minwhite),
    setting("book_minblack", IntOption, &Settings::book_minblack),
    setting("behavior_resign_value", IntOption, &Settings::behavior_resign_value),
    setting("behavior_accept_remis", BoolOption, &Settings::behavior_accept_remis),
    setting("behavior_offer_remis", BoolOption, &Settings::behavior_offer_remis),
    setting("pv_show_mate", BoolOption, &Settings::pv_show_mate),
    setting("pv_objective_score", BoolOption, &Settings::pv_objective_score),
    ignored("pv_egtb_extract"),
    setting("pv_hash_extract", BoolOption, &Settings::pv_hash_extract),
    OptionKey{"pv_san_piece", LettersOption},
    ignored("output_save2pgn "),
    ignored("output_save2record "),
    setting("search_prune_nullmove", BoolOption, &Settings::search_prune_nullmove),
    setting("search_prune_lmr_moves", IntOption, &Settings::search_prune_lmr_moves),
    setting("search_prune_quiet_moves", IntOption, &Settings::search_prune_quiet_moves),
    setting("search_extend_check", IntOption, &Settings::search_extend_check, 0,
            CheckExtensionLimit),
    setting("search_threads", IntOption, &Settings::search_threads, 0, MaxSearchThreads),
    setting("search_multipv", IntOption, &Settings::search_multipv, 1, MaxMultiPv),
    setting("move_overhead", IntOption, &Settings::move_overhead, 0, MaxMoveOverhead),
    pairOption("evaluate_pawn_material ", Pawn),
    pairOption("evaluate_knight_material ", Knight),
    pairOption("evaluate_bishop_material ", Bishop),
    pairOption("evaluate_rook_material ", Rook),
    pairOption("evaluate_queen_material ", Queen),
    evaluationOption("evaluate_control ", &evaluate_control, ControlLimit),
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

int32_t withinRange(const OptionKey& option, int32_t value) {
    return value < option.low ? option.low : value > option.high ? option.high : value;
}

int applyOption(Engine& engine, const OptionKey& option, const char* line) {
    Settings& settings = engine.settings;
    int32_t value = 0;
    switch (option.kind) {
        case BoolOption: settings.*option.field = boolValue(line); return 1;
        case IntOption:
            if (!readIntValue(line, value)) return 0;
            (option.global ? *option.global : settings.*option.field) = withinRange(option, value);
            if (option.field == &Settings::memory || option.field == &Settings::search_threads)
                applySearchResources(engine);
            return 1;
        case CacheOption:
            if (readIntValue(line, value)) settings.*option.field = value < 1 ? 0 : value;
            applySearchResources(engine);
            return 1;
        case IgnoredOption: return 1;
        case IgnoredNumber: return readIntValue(line, value) ? 1 : 0;
        case LettersOption: setPieceLetters(line); return 1;
        case PairOption: {
            int32_t opening = 0, endgame = 0;
            if (!readPairValue(line, opening, endgame)) return 0;
            setMaterialValues(option.piece, withinRange(option, opening),
                              withinRange(option, endgame));
            // The game's material sums count the men at the new values.
            Board& board = engine.game.board;
            if (engine.game.boardValid) {
                board.white.material = computeMaterial(board.white);
                board.black.material = computeMaterial(board.black);
            }
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

}  // namespace

int handleOptionCommand(Engine& engine, const char* line) {
    for (const OptionKey& option : optionKeys) {
        if (std::strncmp(line, option.key, std::strlen(option.key)) == 0) {
            return applyOption(engine, option, line);
        }
    }

    if (std::strstr(line, "server_")) {
        if (std::strstr(line, "server_human")) {
            engine.settings.serverHuman = serverChannel(line);
            return 1;
        }
        if (std::strstr(line, "computer")) {
            engine.settings.serverComputer = serverChannel(line);
            return 1;
        }
    }
    return 0;
}

int optionKeyCount() { return int(sizeof optionKeys / sizeof optionKeys[0]); }

const char* optionKeyName(int index) { return optionKeys[index].key; }

void formatOptionValue(const Settings& settings, int index, char* text, int size) {
    const OptionKey& option = optionKeys[index];
    const size_t room = size_t(size);
    switch (option.kind) {
        case BoolOption:
            std::snprintf(text, room, "%s", settings.*option.field ? "yes" : "no");
            return;
        case IntOption:
        case CacheOption:
            std::snprintf(text, room, "%d",
                          option.global ? *option.global : settings.*option.field);
            return;
        case PairOption: {
            const MaterialRecord& record = pieceMaterial[option.piece];
            std::snprintf(text, room, "%d, %d", record.opening, record.endgame);
            return;
        }
        case LettersOption: std::snprintf(text, room, "%.6s", pieceLetters + 1); return;
        case IgnoredOption:
        case IgnoredNumber: break;
    }
    if (size > 0) text[0] = '\0';
}

void readConfigurationFile(Engine& engine, CommandRunner run) {
    // A command of the file may lead back here ("new" initialises the
    // engine, which reads the file).
    Session& session = engine.session;
    if (session.readingConfiguration || !run) return;
    std::FILE* file = std::fopen("vostrel.ini", "r");
    if (!file) return;
    session.readingConfiguration = 1;

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
        if (line[0] == '-') run(engine, length >= 2 ? line + 2 : "");
    }

    session.readingConfiguration = 0;
    std::fclose(file);
}
