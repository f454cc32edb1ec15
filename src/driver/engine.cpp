#include "driver/engine.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>

#include "board/check.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/tables.h"
#include "book/book.h"
#include "driver/options.h"
#include "eval/material.h"
#include "eval/pawns.h"
#include "platform/platform.h"

namespace {

// Lowest-set-bit primitive on values whose answer is known: a build whose bit
// scan is wrong must not play.
bool bitScanWorks() {
    return lowestSquare(0x200100000000008ull) == 3 && lowestSquare(0x8ull) == 3 &&
           lowestSquare(0x200100000000000ull) == 44 && lowestSquare(0x100000000000ull) == 44 &&
           lowestSquare(0x200000000000000ull) == 57;
}

constexpr uint32_t KeySeed = 12399237;  // fixed: stored keys (table, book) stay valid

}  // namespace

void initEngine(Engine& e, SearchHost& host, CommandRunner configurationCommands) {
    setDefaultSettings(e.settings);
    initGame(e.game);
    e.clock = SearchLimits{6000, 6000, 1, 0, 0, 0};
    e.session = Session{};
    e.session.post = 1;
    e.session.bookHit = 1;
    initSearch(e.search, e.settings, host);
    e.initialised = 0;
    e.configurationCommands = configurationCommands;
}

void copyField(char* field, size_t size, const char* text) {
    size_t length = std::strlen(text);
    if (length >= size) length = size - 1;
    std::memcpy(field, text, length);
    field[length] = '\0';
}

void initPositionTables() { initBoardTables(KeySeed, uint32_t(std::time(nullptr))); }

void ensureInitialised(Engine& e) {
    if (e.initialised) return;
    // Marked first: a command in the configuration file may set up a position,
    // which comes back here. The tables depend on no setting, so they are
    // built before the file is read and such a position gets its keys.
    e.initialised = 1;
    initBoardStack(e.game.stack);
    initPositionTables();
    if (!bitScanWorks()) shutdownEngine(e);
    // Tables with the default size first, so that a command of the file may
    // evaluate; a memory setting from the file takes effect below.
    Settings& settings = e.settings;
    int memory = settings.memory, egtbCache = settings.egtb_cache;
    if (!resizeSearchMemory(e.search, memory, egtbCache)) resizeSearchMemory(e.search, 1, 0);
    buildPawnFlagTable();
    readConfigurationFile(e, e.configurationCommands);
    centreMaterial();
    applySearchResources(e);
    // A position set up by the file counted its material before the centring.
    if (e.game.boardValid) {
        Board& board = e.game.board;
        board.white.material = computeMaterial(board.white);
        board.black.material = computeMaterial(board.black);
    }
}

void prepareNewGame(Engine& e) {
    ensureInitialised(e);
    clearSearchMemory(e.search);
    e.game.stack.moveLists[0] = e.game.stack.moveBuffer;
    resetSearchForGame(e.search);
}

int applySearchResources(Engine& e) {
    if (!e.initialised) return 1;
    Session& session = e.session;
    Search& search = e.search;
    if (search.control.state != SearchIdle) {
        session.resourcesPending = 1;
        return 1;
    }
    session.resourcesPending = 0;
    Settings& settings = e.settings;
    int applied = 1;
    if (settings.memory != search.megabytes || settings.egtb_cache != search.egtbCache ||
        !search.control.table.buckets) {
        const int megabytes = search.megabytes, egtbCache = search.egtbCache;
        if (!resizeSearchMemory(search, settings.memory, settings.egtb_cache)) {
            // A size the system refuses leaves the one before, or else the
            // smallest tables rather than none.
            applied = 0;
            settings.memory = megabytes;
            settings.egtb_cache = egtbCache;
            if (!resizeSearchMemory(search, megabytes, egtbCache)) resizeSearchMemory(search, 1, 0);
        }
    }
    const int allowed = session.coresAllowed;
    int threads = settings.search_threads > 0 ? settings.search_threads : allowed;
    if (allowed > 0 && threads > allowed) threads = allowed;
    if (!setSearchThreads(search, threads)) {
        applied = 0;
        if (settings.search_threads > 0) settings.search_threads = search.threadCount;
    }
    return applied;
}

BookOffer offerBookMove(Engine& engine, Board& board, BookChoice& choice) {
    const Settings& settings = engine.settings;
    Session& session = engine.session;
    choice.move = 0;
    if (!settings.book_allowed) return {};
    // Out of book once, out for good after the opening.
    if (!session.bookHit && board.ply >= 20) return {};
    choice = bookChooseMove(board, engine.game.opponent.name, settings.book_rand,
                            settings.book_occurrence);
    session.bookHit = choice.move != 0;
    if (!choice.move) return {};
    // Short of time (or told not to check) the move goes out at once.
    int clock = engine.clock.engineClock;
    if (!settings.book_verify || clock < 12000) return {choice.move, 0, 0};
    // Deeper with more time on the clock.
    int depth = clock > 360000 ? 12 : clock > 120000 ? 10 : clock > 60000 ? 8 : 6;
    int32_t minimum =
        board.toMove->colour == White ? settings.book_minwhite : settings.book_minblack;
    return {choice.move, depth, minimum};
}

void excludedMovesHere(Engine& engine) {
    Session& session = engine.session;
    const Board& board = engine.game.board;
    if (session.excludedKey == board.hashKey && session.excludedPly == board.ply) return;
    session.excludedCount = 0;
    session.excludedKey = board.hashKey;
    session.excludedPly = board.ply;
}

SearchResult searchGame(Engine& engine, int state) {
    SearchRequest request{state, engine.game.opponentIsComputer, engine.session.ponder};
    // The moves left after the exclusions; with none left every move is
    // searched, so that the engine still has a move to play.
    Move included[256];
    Session& session = engine.session;
    excludedMovesHere(engine);
    if (session.excludedCount) {
        Board& board = engine.game.board;
        int count = 0;
        for (int i = 0, legal = generateLegalMoves(board, 0); i < legal; ++i) {
            const Move move = board.stack->moveLists[0][i].move;
            bool excluded = false;
            for (int k = 0; k < session.excludedCount; ++k)
                excluded |= session.excludedMoves[k] == move;
            if (!excluded && count < 256) included[count++] = move;
        }
        request.onlyMoves = included;
        request.onlyMoveCount = count;
    }
    SearchResult result = think(engine.search, engine.game.board, request, engine.clock);
    if (engine.session.resourcesPending) applySearchResources(engine);
    return result;
}

void checkBookDirectory(Engine& engine) {
    Session& session = engine.session;
    session.readOnlyNotice[0] = '\0';
    if (bookFilesWritable()) return;
    std::error_code failed;
    std::string directory = std::filesystem::current_path(failed).string();
    std::snprintf(session.readOnlyNotice, sizeof session.readOnlyNotice,
                  "%s cannot write its book files in %.500s: it plays without learning", EngineName,
                  failed || directory.empty() ? "." : directory.c_str());
}

const char* untoldReadOnlyNotice(Session& session) {
    if (!session.readOnlyNotice[0] || session.readOnlyTold) return nullptr;
    session.readOnlyTold = 1;
    return session.readOnlyNotice;
}

void shutdownEngine(Engine& engine) {
    freeSearchMemory(engine.search);
    std::exit(0);
}
