#include "driver/gui_options.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/types.h"
#include "driver/engine.h"
#include "driver/options.h"

namespace {

constexpr int Both = ForUci | ForXboard;
constexpr int MaxHash = 4096;  // megabytes
// A resign value above 0 would give up won games; below this it never resigns.
constexpr int32_t NeverResign = -32000;

constexpr GuiOption options[] = {
    {"Hash", GuiSpin, ForUci, &Settings::memory, 1, MaxHash},
    {"Clear Hash", GuiButton, Both},
    {"Ponder", GuiCheck, ForUci},
    {"OwnBook", GuiCheck, Both, &Settings::book_allowed, 0, 1},
    {"Book Spread", GuiSpin, Both, &Settings::book_rand, 0, 100},
    {"UCI_Chess960", GuiCheck, ForUci},
    {"UCI_Opponent", GuiString, ForUci},
    {"Null Move", GuiCheck, Both, &Settings::search_prune_nullmove, 0, 1},
    {"Pawn Value", GuiString, Both, nullptr, 0, 0, Pawn},
    {"Knight Value", GuiString, Both, nullptr, 0, 0, Knight},
    {"Bishop Value", GuiString, Both, nullptr, 0, 0, Bishop},
    {"Rook Value", GuiString, Both, nullptr, 0, 0, Rook},
    {"Queen Value", GuiString, Both, nullptr, 0, 0, Queen},
    {"Threads", GuiSpin, Both, &Settings::search_threads, 1, MaxSearchThreads},
    {"MultiPV", GuiSpin, Both, &Settings::search_multipv, 1, MaxMultiPv},
    {"Move Overhead", GuiSpin, Both, &Settings::move_overhead, 0, MaxMoveOverhead},
    {"Book Learning", GuiCheck, Both, &Settings::book_learning, 0, 1},
    {"Resign Value", GuiSpin, Both, &Settings::behavior_resign_value, NeverResign, 0},
    {"Accept Draw", GuiCheck, Both, &Settings::behavior_accept_remis, 0, 1},
    {"Offer Draw", GuiCheck, Both, &Settings::behavior_offer_remis, 0, 1},
};

constexpr const char* pieceKeys[] = {"", "pawn", "knight", "bishop", "rook", "queen"};

}  // namespace

int guiOptionCount() { return int(sizeof options / sizeof options[0]); }

const GuiOption& guiOption(int index) { return options[index]; }

const GuiOption* findGuiOption(int protocol, const char* name, size_t length) {
    for (const GuiOption& option : options) {
        if (!(option.protocols & protocol) || std::strlen(option.name) != length) continue;
        size_t i = 0;
        while (i < length &&
               std::tolower((unsigned char)option.name[i]) == std::tolower((unsigned char)name[i]))
            ++i;
        if (i == length) return &option;
    }
    return nullptr;
}

GuiOptionResult setGuiOption(Engine& engine, const GuiOption& option, const char* value) {
    Settings& settings = engine.settings;
    if (option.piece) {
        char line[128];
        std::snprintf(line, sizeof line, "evaluate_%s_material = %.100s", pieceKeys[option.piece],
                      value);
        return handleOptionCommand(engine, line) ? GuiOptionResult::Set : GuiOptionResult::NoPair;
    }
    if (!option.field) return GuiOptionResult::NotASetting;
    char* end = nullptr;
    const long number = std::strtol(value, &end, 10);
    const bool numeric = end != value;
    if (option.kind == GuiCheck) {
        // UCI says "true" or "false", xboard 1 or 0.
        const bool on = std::strncmp(value, "true", 4) == 0 || (numeric && number != 0);
        settings.*option.field = on;
        return GuiOptionResult::Set;
    }
    if (!numeric || number < option.low || number > option.high) return GuiOptionResult::OutOfRange;
    settings.*option.field = int32_t(number);
    if (option.field == &Settings::memory || option.field == &Settings::search_threads)
        return applySearchResources(engine) ? GuiOptionResult::Set : GuiOptionResult::Refused;
    return GuiOptionResult::Set;
}
