// The engine as the front end holds it: the settings, the game, the clock
// inputs, the search with its control, and the protocol session. main owns
// one and hands it to every command handler.
#pragma once

#include <cstddef>
#include <cstdint>

#include "book/book.h"
#include "driver/game.h"
#include "driver/settings.h"
#include "search/search.h"

// The state of the conversation with the GUI.
struct Session {
    int post;               // thinking lines wanted
    int playing;            // 1: play the side to move whenever it is that side's turn
    int analysing;          // analyze mode: the position is analysed until "exit"
    int ponder;             // "hard": think on the opponent's time
    int icsMode;            // on a chess server
    int benchmarkRunning;   // the node benchmark searches: its figures are owed
    int bookHit;            // 1 while the last book probe found a move
    char bookLine[128];     // the information line of the book move being checked
    char kibitzText[4096];  // the summary of a ponder search, sent on a ponder hit
    // When the book files cannot be written in the program's directory, what
    // the GUI is told once; learning is off. Empty when they can.
    char readOnlyNotice[640];
    int readOnlyTold;
    // Pings that came during the engine's own search: answered after its move.
    long owedPongs[16];
    int owedPongCount;
    int readingConfiguration;  // vostrel.ini is being read
    int resourcesPending;      // a memory or thread setting changed during a search
    int coresAllowed;          // xboard's "cores": the most threads the GUI allows; 0 no word
    // Root moves that xboard's "exclude" took out of the searches of one
    // position (its key and ply); any other position searches every move.
    Move excludedMoves[256];
    int excludedCount;
    uint64_t excludedKey;
    int excludedPly;
};

struct Engine;

// Runs one command line as the front end does.
using CommandRunner = void (*)(Engine& engine, const char* line);

struct Engine {
    Settings settings;
    Game game;
    SearchLimits clock;  // as "level", "st", "sd", "time" and "otim" set it
    Session session;
    Search search;
    int initialised;  // the tables built and the configuration file read
    // What runs the configuration file's commands; none are run without it.
    CommandRunner configurationCommands;
};

// Copies text into a fixed text field, cut at the field's width.
void copyField(char* field, size_t size, const char* text);

// The defaults every record takes at start-up; the search reports to host,
// and the configuration file's commands go to configurationCommands.
void initEngine(Engine& engine, SearchHost& host, CommandRunner configurationCommands = nullptr);

// The board's tables and the position keys (fixed, for the stored keys of the
// book), for a tool that reads positions without the engine.
void initPositionTables();

// One-time initialisation, guarded: tables, keys, the bit-scan self-test, the
// configuration file.
void ensureInitialised(Engine& engine);

// ensureInitialised, then the per-game reset of the search memory.
void prepareNewGame(Engine& engine);

// The book move for the search's root position and how the search is to
// check it; choice gets the book's record and texts. Move 0 when the book has
// none or is not to be asked.
BookOffer offerBookMove(Engine& engine, Board& board, BookChoice& choice);

// The memory and thread settings made true: the tables resized when memory
// or egtb_cache changed, the helper threads started or stopped. During a
// search it waits for the search's end (resourcesPending). Returns 0 when the
// system refused, with the settings back at what the search has.
int applySearchResources(Engine& engine);

// The exclusion set of the game's position, emptied when it belonged to another.
void excludedMovesHere(Engine& engine);

// Searches the game's position under the engine's clock.
SearchResult searchGame(Engine& engine, int state);

// Notes, before any command, whether the book files can be written in the
// current directory (the program's).
void checkBookDirectory(Engine& engine);

// The read-only notice the first time it is asked for; nullptr after that,
// and when there is none.
const char* untoldReadOnlyNotice(Session& session);

// The orderly exit of every path: frees what was allocated, status 0.
[[noreturn]] void shutdownEngine(Engine& engine);

constexpr const char* EngineName = "Vostrel 3.5.19";
constexpr const char* AuthorCredit = "the Vostrel developers";
