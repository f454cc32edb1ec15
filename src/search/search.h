// The search as the front ends see it: what it is asked (the limits and the
// position), what it hands out while it runs (through its host), and what it
// found (the result). The Search record holds its memory, its root, its clock
// and the control that the host uses to stop it.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "eval/evaluate.h"
#include "search/pv.h"
#include "search/searchstack.h"
#include "search/tt.h"

enum SearchState : int {
    SearchThinking = 0,  // the engine's own move
    SearchPondering = 1,
    SearchAnalysing = 2,
    SearchIdle = 6
};

// What the searches may spend: the clock as the GUI reports it. Times in
// centiseconds. The search reads it while it runs, so that a clock update
// that arrives meanwhile counts at once.
struct SearchLimits {
    int engineClock;      // time left on the engine's clock; a fixed move time replaces it
    int opponentClock;    // time left on the opponent's
    int movesPerSession;  // moves per time control; 0 for all the rest of the game
    int increment;
    int moveTime;          // fixed time for the move; 0 none
    int depthLimit;        // iterations; 0 none
    int movesToGo = 0;     // moves to the next time control as the GUI counts them; 0: by
                           // movesPerSession
    double nodeLimit = 0;  // nodes the search may spend; 0 none
};

// What one search is for.
struct SearchRequest {
    int state;                        // SearchThinking, SearchPondering or SearchAnalysing
    int opponentIsComputer;           // a program answers at once: the clock is spent differently
    int ponder;                       // pondering is on: a ponder search may already have answered
    const Move* onlyMoves = nullptr;  // the root moves to search, when onlyMoveCount is not 0
    int onlyMoveCount = 0;
};

// The settings the search reads, named after their option keys.
struct SearchSettings {
    int32_t search_prune_nullmove;
    int32_t search_prune_lmr_moves;    // moves at full depth before reductions
    int32_t search_prune_quiet_moves;  // moves kept in nodes below two plies
    int32_t search_extend_check;       // check extension, eighths of a ply
    int32_t pv_hash_extract;           // thinking lines lengthened from the table
    int32_t search_multipv;            // best lines searched and shown, 1 to 64
    int32_t move_overhead;  // milliseconds of the clock kept back for the GUI and the pipes
};

struct RootMove {
    Move move;
    int32_t score;  // last search score, engine's view
    double nodes;   // nodes spent on it in the current iteration
    int32_t bestIteration;
    int32_t mated;  // 1 when its last score was below -31762
    // Several best lines: the move's own line, the iteration it was searched
    // at, and whether its score is exact (else a bound below the lines).
    int32_t lineDepth;
    int32_t exact;
    PrincipalVariation line;
};

// The root of the running or last search.
struct RootSearch {
    PrincipalVariation rootPv;
    RootMove rootMoves[220];
    RootMove* currentRootMove;
    Move bestRootMove;
    int32_t bestRootScore;  // engine's view, centipawns
    Move previousBestMove;
    int32_t previousBestScore;
    int32_t rootMoveCount;
    int32_t rootMoveIndex;
    int32_t iterationDepth;
    int32_t rootPly;
    int32_t rootPieceCount;
    int32_t iterationsDone;
    int32_t rootSearchState;
};

// A thinking line: a new best move, an aspiration failure (the variation is
// the root move alone) or the last line of a search.
struct ThinkingLine {
    int depth;
    int32_t score;  // engine's view
    int centiseconds;
    double nodes;
    int selectiveDepth;
    uint32_t tablebaseHits;
    const PrincipalVariation* variation;
    Board* board;  // the root position: the variation is played from it and taken back
    int state;     // of the search: a ponder search shows the move it ponders on
    Move ponderMove;
    bool final;
    Bound bound = Bound::Exact;  // Lower or Upper when an aspiration window failed high or low
    int multiPv = 0;             // with several best lines: the line's rank from 1, else 0
};

// A book move offered by the host, checked by a short search when verifyDepth
// is not 0: it is played only if it scores at least minimumScore.
struct BookOffer {
    Move move;
    int verifyDepth;
    int32_t minimumScore;
};

struct SearchThread;

class SearchHost {
public:
    // Input during the search, after the clock has been checked: the host
    // answers what it can at once and stops the search (requestStop) for what
    // it cannot.
    virtual void poll(SearchThread& search) = 0;
    // Whether thinking lines are wanted now ("post").
    virtual bool wantsThinking() = 0;
    virtual void thinking(const ThinkingLine& line) = 0;
    // A book move for the root position of the engine's own move, or move 0.
    virtual BookOffer bookMove(Board& board) = 0;

protected:
    ~SearchHost() = default;
};

// A host for searches that run to their limits alone: no input, no thinking
// lines, no book (benchmarks, tests).
class QuietHost final : public SearchHost {
public:
    void poll(SearchThread&) override {}
    bool wantsThinking() override { return false; }
    void thinking(const ThinkingLine&) override {}
    BookOffer bookMove(Board&) override { return {}; }
};

// What every thread of a search shares: its task, its clock and its stop.
// The main thread alone writes it while the search runs.
struct SearchControl {
    TranspositionTable table;
    const SearchSettings* settings;
    SearchHost* host;
    SearchLimits* limits;   // of the running search
    SearchRequest request;  // of the running search
    int state;              // SearchState
    int stopRequested;      // 1: stop now; 2: the search ends itself after this iteration
    // The clock of the running search.
    int deadline;
    int pollInterval;
    int64_t startCounter;
    int64_t counterFrequency;
    int canStop;        // 1: the search may stop at the deadline mid-iteration
    int timeExtended;   // the deadline was extended once in this search
    int timeExtension;  // the extension: deadline / 5 at the search start
    // Pondering.
    Move ponderMove;     // predicted reply
    uint64_t ponderKey;  // position key after it
    Move ponderResult;   // the move found while pondering
    int ponderTime;      // centiseconds the pondering took
};

struct HelperPool;

// What one search thread owns: its board and undo records, its ply stack
// with histories and killers, its node count, its evaluation memory and its
// root. Thread 0 is the main thread: it keeps the clock, polls the input and
// reports; the helpers search the same root and share only the table.
struct SearchThread {
    SearchStack stack;
    RootSearch root;
    Board board;
    BoardStack moves;
    EvalMemory eval;
    SearchControl* control;
    HelperPool* pool;  // the helpers of the search; null at one thread
    int index;         // 0 for the main thread
};

// The search as the front ends hold it.
struct Search {
    SearchControl control;
    SearchThread main;
    int threadCount;       // the main thread and its helpers (main.pool)
    uint64_t pawnEntries;  // of the main thread's pawn table
    int megabytes;         // the memory setting and egtb_cache the tables were sized by
    int egtbCache;
};

struct SearchResult {
    Move bestMove;  // 0 without a legal move
    int32_t score;
    int moveCount;   // legal moves at the root
    bool searched;   // the iterations ran (no book move, no ponder hit, no single reply)
    bool fromBook;   // the host's book move was played
    bool ponderHit;  // a ponder search had already answered
};

// Ready for the first search: no tables yet, one thread, the settings and
// the host.
void initSearch(Search& search, const SearchSettings& settings, SearchHost& host);

// Sizes the transposition table and every thread's pawn table from the memory
// setting (megabytes) and egtb_cache, cleared. Returns 0, with no tables, when
// an allocation failed.
int resizeSearchMemory(Search& search, int megabytes, int egtbCache);

// Every table cleared: the transposition table (generation 1) and each
// thread's evaluation memory.
void clearSearchMemory(Search& search);

// The per-game reset of every thread's ply stack: killers, threats and
// histories forgotten.
void resetSearchForGame(Search& search);

// Stops the helper threads and frees every table.
void freeSearchMemory(Search& search);

// Threads that search (1 to MaxSearchThreads), the main thread included.
// Between searches only. Returns 0, keeping one thread, when a helper's
// memory could not be had.
constexpr int MaxSearchThreads = 256;
constexpr int MaxMultiPv = 64;
constexpr int MaxMoveOverhead = 5000;  // milliseconds
int setSearchThreads(Search& search, int count);

// Searches the position of board (a copy is searched; board is left as it
// was). limits.engineClock becomes the fixed move time when there is one.
SearchResult think(Search& search, const Board& board, const SearchRequest& request,
                   SearchLimits& limits);

// The reply the last search expects, or 0.
Move predictedReply(const Search& search);

// Forgets the last ponder search.
void clearPonder(Search& search);

// Searches board's position on the opponent's time, the reply already on the
// board, until the host stops it: its result may answer the next think.
void ponderPosition(Search& search, const Board& board, const SearchRequest& request,
                    SearchLimits& limits);

// Plays the predicted reply on board and searches the position after it on
// the opponent's time, until the host stops it; then takes the reply back.
// The result, if the ponder search got far enough, answers the next think
// from that position.
void ponder(Search& search, Board& board, const SearchRequest& request, SearchLimits& limits);

// stopRequested = value (1: stop now), into the main thread's stop flag and,
// for 1, to the helpers. The main thread only.
void requestStop(Search& search, int value);
void requestStop(SearchThread& search, int value);

// Adds the thread's counters of moves made to its node total, zeroes them
// (the next poll after 10000 nodes) and returns the total.
double collectNodeCount(SearchThread& search);

// The nodes of every thread of the running or last search.
double searchNodeCount(SearchThread& main);
double searchNodeCount(Search& search);

// Centiseconds since the search's start.
int elapsedCentiseconds(const SearchControl& control);
