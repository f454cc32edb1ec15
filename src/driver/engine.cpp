#include "driver/engine.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "board/check.h"
#include "board/tables.h"
#include "driver/options.h"
#include "eval/material.h"
#include "eval/pawns.h"
#include "platform/platform.h"
#include "search/ordering.h"
#include "search/tt.h"

namespace {

bool initialised = false;

// Lowest-set-bit primitive on values whose answer is known: a build whose bit
// scan is wrong must not play.
bool bitScanWorks() {
    return lowestSquare(0x200100000000008ull) == 3 && lowestSquare(0x8ull) == 3 &&
           lowestSquare(0x200100000000000ull) == 44 && lowestSquare(0x100000000000ull) == 44 &&
           lowestSquare(0x200000000000000ull) == 57;
}

}  // namespace

Engine engine;

namespace {
// Before main: the Engine holds its defaults (it points into itself, so it is
// filled in place rather than copied).
const bool engineDefaultsSet = (setEngineDefaults(engine), true);
}  // namespace

void setEngineDefaults(Engine& e) {
    std::memset(&e, 0, sizeof e);
    e.mode = ModeXboard;
    e.self.rating = 2400;
    copyField(e.self.name, sizeof e.self.name, EngineName);
    e.opponentPlayer.rating = 2400;
    copyField(e.opponentPlayer.name, sizeof e.opponentPlayer.name, "Player X");
    e.whitePlayer = &e.opponentPlayer;
    e.blackPlayer = &e.self;
    e.search = &mainSearchStack;
    e.searchState = SearchIdle;
    e.post = 1;
    e.book_allowed = 1;
    e.book_learning = 1;
    e.book_verify = 1;
    e.book_rand = 10;
    e.book_occurrence = 1;
    e.book_depth = 999;
    e.book_minwhite = -15;
    e.book_minblack = -45;
    e.behavior_resign_value = -730;
    e.behavior_accept_remis = 1;
    e.behavior_offer_remis = 1;
    e.bookHit = 1;
    e.egtb_cache = 8;
    copyField(e.egtb_path, sizeof e.egtb_path, "C\\egtb");
    e.egbb_cache = 8;
    copyField(e.egbb_path, sizeof e.egbb_path, "C\\egbb");
    e.memory = 32;
    e.pv_hash_extract = 1;
    e.pv_objective_score = 1;
    e.pv_show_mate = 1;
    e.maxDepth = 64;
    e.search_prune_nullmove = 1;
    e.serverHuman = 1;
    e.serverComputer = 2;
    e.startTime = int(std::time(nullptr));
    e.keySeed = 12399237;
    copyField(e.icsHost, sizeof e.icsHost, "Local Event");
    copyField(e.startFen, sizeof e.startFen, "no fen");
    copyField(e.resultComment, sizeof e.resultComment, "{terminated}");
    e.movesPerSession = 1;
    e.engineClock = 6000;
    e.opponentClock = 6000;
    e.counterFrequency = int64_t(readCounterFrequency());
    e.startCounter = int64_t(readCounter());
    e.easyMoveMargin = 200;
}

void copyField(char* field, size_t size, const char* text) {
    size_t length = std::strlen(text);
    if (length >= size) length = size - 1;
    std::memcpy(field, text, length);
    field[length] = '\0';
}

const char* textFrom(const char* line, size_t offset) {
    return std::strlen(line) >= offset ? line + offset : "";
}

void setPlayerColours(Engine& e, int engineIsWhite) {
    e.whitePlayer = engineIsWhite ? &e.self : &e.opponentPlayer;
    e.blackPlayer = engineIsWhite ? &e.opponentPlayer : &e.self;
    e.self.isWhite = engineIsWhite ? 1 : 0;
    e.opponentPlayer.isWhite = engineIsWhite ? 0 : 1;
}

void ensureInitialised(Engine& e) {
    if (initialised) return;
    // Marked first: a command in the configuration file may set up a position,
    // which comes back here. The tables depend on no setting, so they are
    // built before the file is read and such a position gets its keys.
    initialised = true;
    initSearchStack(*e.search);
    initBoardTables(uint32_t(e.keySeed), uint32_t(e.startTime));
    if (!bitScanWorks()) shutdownEngine();
    // Tables with the default size first, so that a command of the file may
    // evaluate; a memory setting from the file takes effect below.
    int memory = e.memory, egtbCache = e.egtb_cache;
    if (!allocateTables(memory, egtbCache)) allocateTables(1, 0);
    buildPawnFlagTable();
    readConfigurationFile(e);
    centreMaterial();
    // A size the system refuses falls back to the smallest tables rather than
    // leaving the engine without them.
    if ((e.memory != memory || e.egtb_cache != egtbCache) &&
        !allocateTables(e.memory, e.egtb_cache))
        allocateTables(1, 0);
    // A position set up by the file counted its material before the centring.
    if (e.boardValid) {
        e.board.white.material = computeMaterial(e.board.white);
        e.board.black.material = computeMaterial(e.board.black);
    }
}

void prepareNewGame(Engine& e) {
    ensureInitialised(e);
    clearTables();
    clearHistory();
    resetSearchStackForGame(*e.search);
}

void shutdownEngine() {
    freeTables();
    std::exit(0);
}
