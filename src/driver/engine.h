// The Engine: the one record that holds the game, the players, the clocks,
// the settings and the protocol state. Every handler takes it first.
#pragma once

#include <cstddef>
#include <cstdint>

#include "board/types.h"
#include "search/root.h"
#include "search/searchstack.h"

enum EngineMode : int { ModeConsole = 4, ModeXboard = 2 };

enum SearchState : int {
    SearchThinking = 0,
    SearchPondering = 1,
    SearchAnalysing = 2,
    SearchIdle = 6
};

struct PlayerRecord {
    int rating;
    int isWhite;  // 1 while this player has white
    char name[64];
};

struct Engine {
    int playing;  // 1: play the side to move whenever it is that side's turn
    int mode;     // EngineMode
    int variant;  // 0 normal chess, 1 fischerandom
    int ponder;
    RootSearch root;  // statistics of the running or last search
    Board board;
    PlayerRecord self;
    PlayerRecord opponentPlayer;
    int opponentIsComputer;
    PlayerRecord* whitePlayer;
    PlayerRecord* blackPlayer;
    SearchStack* search;
    int searchState;  // SearchState
    int resignAllowed;
    int stopRequested;
    int gameInProgress;
    int boardValid;  // 1 once a setup passed validation; nothing plays on a rejected board
    int post;
    int lastDrawOfferPly;
    int positionMarker;
    int analysisRestart;
    int benchmarkRunning;  // 1 while the node benchmark searches: its figures are owed
    // Book and behaviour settings (option keys of the same names).
    int book_allowed;
    int book_learning;
    int book_verify;
    int book_rand;  // random spread of book scores, hundredths
    int book_occurrence;
    int book_depth;
    int book_minwhite;  // lowest verification score of a book move, centipawns
    int book_minblack;
    int behavior_resign_value;
    int behavior_accept_remis;
    int behavior_offer_remis;
    int output_save2pgn;
    int output_save2record;
    int bookHit;  // 1 while the last book probe found a move
    int tablebasePieceLimit;
    int egtb_cache;
    char egtb_path[256];
    int egbb_cache;
    char egbb_path[256];
    int memory;  // transposition table megabytes
    int pv_hash_extract;
    int pv_egtb_extract;
    int pv_objective_score;
    int pv_show_mate;
    int maxDepth;
    int search_prune_nullmove;
    int icsMode;
    int serverHuman;  // book information on a server: 0 nowhere, 1 whisper, 2 kibitz
    int serverComputer;
    int startTime;  // wall-clock seconds at start: seed of the runtime's rand
    int keySeed;    // seed of the position keys; 0 stands for 4357
    char icsHost[32];
    char startFen[256];
    char resultComment[256];
    char resultText[32];
    char levelText[40];
    int moveTime;    // "st", centiseconds; 0 none
    int depthLimit;  // "sd"; 0 none
    int movesPerSession;
    int baseTime;
    int increment;  // centiseconds
    int engineClock;
    int opponentClock;
    int deadline;
    int pollInterval;
    int64_t startCounter;
    int64_t counterFrequency;
    // Search driver and clock state.
    int canStop;            // 1: the search may stop at the deadline mid-iteration
    int easyMoveMargin;     // score gap that makes the best move an easy move
    Move ponderMove;        // predicted reply
    uint64_t ponderKey;     // position key after it
    Move ponderResult;      // the move found while pondering
    int ponderTime;         // centiseconds the pondering took
    int timeExtended;       // the deadline was extended once in this search
    int timeExtension;      // the extension: deadline / 5 at the search start
    char kibitzText[4096];  // last thinking summary, for a chess server
};

extern Engine engine;

// Copies text into a fixed text field of the Engine, cut at the field's width.
void copyField(char* field, size_t size, const char* text);

// The text from a fixed offset of a command line, or "" when the line is shorter.
const char* textFrom(const char* line, size_t offset);

// The defaults every field takes before main.
void setEngineDefaults(Engine& engine);

// Gives whitePlayer and blackPlayer their records.
void setPlayerColours(Engine& engine, int engineIsWhite);

// One-time initialisation, guarded: tables, keys, the bit-scan self-test.
void ensureInitialised(Engine& engine);

// ensureInitialised, then the per-game reset of the search memory.
void prepareNewGame(Engine& engine);

// The orderly exit of every path: frees what was allocated, status 0.
[[noreturn]] void shutdownEngine();

constexpr const char* EngineName = "Vostrel 3.5.19";
