// The helper threads of a search: created when the thread count is set,
// asleep between searches, woken for each search of the main thread, which
// alone stops them.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "search/search.h"

struct HelperPool {
    SearchThread* threads[MaxSearchThreads - 1];
    std::thread workers[MaxSearchThreads - 1];
    std::atomic<double> nodes[MaxSearchThreads - 1];  // each helper's count at its last poll
    int count;
    std::atomic<int> stop;  // raised by the main thread; each helper's poll copies it
    std::mutex mutex;
    std::condition_variable wake;  // a new search, or quit
    std::condition_variable idle;  // the last helper has finished
    uint64_t job;                  // the number of the search the helpers are asked to run
    int busy;                      // helpers still searching it
    bool quit;
    const Board* root;  // the main thread's root position, until every helper has copied it
    int copied;         // helpers that have copied it
    int maxIterations;
};

// An empty thread record that works on control's search.
void initSearchThread(SearchThread& thread, SearchControl& control, int index);

// count - 1 helpers, each with a pawn table of pawnEntries; null when memory
// or a thread could not be had.
HelperPool* createHelpers(SearchControl& control, int count, uint64_t pawnEntries);
void destroyHelpers(HelperPool* pool);

// Wakes the helpers on the main thread's root, and returns once each has
// copied it.
void startHelpers(SearchThread& main, const Board& root, int maxIterations);
// Raises the helpers' stop flag.
void signalHelpers(SearchThread& main);
// Stops the helpers and waits until every one is idle.
void stopHelpers(SearchThread& main);

// The helpers' nodes in the running or last search; 0 at one thread.
double helperNodeCount(const SearchThread& thread);

// A helper's poll: publishes its nodes and reads the stop flag.
void pollHelper(SearchThread& helper);

// A helper's board and root moves from the main thread's root, and its
// iterations on them (in root.cpp).
void prepareHelper(SearchThread& helper, const Board& board);
void searchAsHelper(SearchThread& helper, int maxIterations);
