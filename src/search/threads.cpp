#include "search/threads.h"

#include <new>

#include "board/makemove.h"

namespace {

// Nodes between a helper's polls: a stop reaches it within a millisecond or so.
constexpr uint32_t HelperPollNodes = 2048;
// A helper's pawn table holds at most this many entries (2 MB): the memory
// setting sizes the main thread's, and many helpers must not multiply it.
constexpr uint64_t HelperPawnEntries = 65536;

void helperLoop(HelperPool* pool, int slot) {
    SearchThread& helper = *pool->threads[slot];
    uint64_t done = 0;
    for (;;) {
        std::unique_lock<std::mutex> lock(pool->mutex);
        pool->wake.wait(lock, [&] { return pool->quit || pool->job != done; });
        if (pool->quit) return;
        done = pool->job;
        const int maxIterations = pool->maxIterations;
        // The root is copied through its own side pointers while the main
        // thread waits: a plain copy of a Board would point into the main's.
        prepareHelper(helper, *pool->root);
        if (++pool->copied == pool->count) pool->idle.notify_all();
        lock.unlock();
        pool->nodes[slot].store(0, std::memory_order_relaxed);
        searchAsHelper(helper, maxIterations);
        pool->nodes[slot].store(collectNodeCount(helper), std::memory_order_relaxed);
        lock.lock();
        if (--pool->busy == 0) pool->idle.notify_all();
    }
}

}  // namespace

void initSearchThread(SearchThread& thread, SearchControl& control, int index) {
    initSearchStack(thread.stack);
    initBoardStack(thread.moves);
    thread.board = Board{};
    thread.board.stack = &thread.moves;
    thread.root = RootSearch{};
    thread.eval.rootPieceCount = 0;
    thread.control = &control;
    thread.pool = nullptr;
    thread.index = index;
}

HelperPool* createHelpers(SearchControl& control, int count, uint64_t pawnEntries) {
    HelperPool* pool = new (std::nothrow) HelperPool;
    if (!pool) return nullptr;
    pool->count = 0;
    pool->stop.store(0);
    pool->job = 0;
    pool->busy = 0;
    pool->quit = false;
    pool->root = nullptr;
    pool->copied = 0;
    pool->maxIterations = 0;
    for (int i = 0; i < count - 1; ++i) {
        SearchThread* thread = new (std::nothrow) SearchThread;
        if (!thread) break;
        initSearchThread(*thread, control, i + 1);
        thread->eval.pawns = PawnTable{};
        thread->pool = pool;
        if (!allocatePawnTable(thread->eval.pawns, pawnEntries)) {
            delete thread;
            break;
        }
        clearEvalMemory(thread->eval);
        pool->threads[i] = thread;
        pool->nodes[i].store(0);
        pool->count = i + 1;
    }
    bool complete = pool->count == count - 1;
    for (int i = 0; i < pool->count; ++i) pool->workers[i] = std::thread(helperLoop, pool, i);
    if (!complete) {
        destroyHelpers(pool);
        return nullptr;
    }
    return pool;
}

void destroyHelpers(HelperPool* pool) {
    if (!pool) return;
    // A search still running (quit in the middle of one) stops first.
    pool->stop.store(1, std::memory_order_relaxed);
    {
        std::lock_guard<std::mutex> lock(pool->mutex);
        pool->quit = true;
    }
    pool->wake.notify_all();
    for (int i = 0; i < pool->count; ++i) {
        pool->workers[i].join();
        freePawnTable(pool->threads[i]->eval.pawns);
        delete pool->threads[i];
    }
    delete pool;
}

void startHelpers(SearchThread& main, const Board& root, int maxIterations) {
    HelperPool* pool = main.pool;
    if (!pool) return;
    pool->stop.store(0, std::memory_order_relaxed);
    std::unique_lock<std::mutex> lock(pool->mutex);
    pool->root = &root;
    pool->copied = 0;
    pool->busy = pool->count;
    pool->maxIterations = maxIterations;
    ++pool->job;
    pool->wake.notify_all();
    // The root lives on the main thread's board, which the search changes.
    pool->idle.wait(lock, [&] { return pool->copied == pool->count; });
    pool->root = nullptr;
}

void signalHelpers(SearchThread& main) {
    if (main.pool) main.pool->stop.store(1, std::memory_order_relaxed);
}

void stopHelpers(SearchThread& main) {
    HelperPool* pool = main.pool;
    if (!pool) return;
    pool->stop.store(1, std::memory_order_relaxed);
    std::unique_lock<std::mutex> lock(pool->mutex);
    pool->idle.wait(lock, [&] { return pool->busy == 0; });
}

double helperNodeCount(const SearchThread& thread) {
    const HelperPool* pool = thread.pool;
    if (!pool || thread.index != 0) return 0;
    double total = 0;
    for (int i = 0; i < pool->count; ++i) total += pool->nodes[i].load(std::memory_order_relaxed);
    return total;
}

void pollHelper(SearchThread& helper) {
    HelperPool* pool = helper.pool;
    const double nodes = collectNodeCount(helper);
    pool->nodes[helper.index - 1].store(nodes, std::memory_order_relaxed);
    helper.stack.pollLimit = HelperPollNodes;
    if (pool->stop.load(std::memory_order_relaxed)) helper.stack.stopFlag = 1;
}

int resizeSearchMemory(Search& search, int megabytes, int egtbCache) {
    const TableSizes sizes = tableSizes(megabytes, egtbCache);
    SearchThread& main = search.main;
    destroyHelpers(search.main.pool);
    main.pool = nullptr;
    freeTable(search.control.table);
    if (!allocatePawnTable(main.eval.pawns, sizes.pawnEntries) ||
        !allocateTable(search.control.table, sizes.buckets)) {
        freeSearchMemory(search);
        return 0;
    }
    search.pawnEntries = sizes.pawnEntries;
    search.megabytes = megabytes;
    search.egtbCache = egtbCache;
    clearSearchMemory(search);
    const int threads = search.threadCount;
    search.threadCount = 1;
    setSearchThreads(search, threads);
    return 1;
}

void clearSearchMemory(Search& search) {
    clearTable(search.control.table);
    clearEvalMemory(search.main.eval);
    search.main.stack.hitTotal = 0;
    if (HelperPool* pool = search.main.pool) {
        for (int i = 0; i < pool->count; ++i) {
            clearEvalMemory(pool->threads[i]->eval);
            pool->threads[i]->stack.hitTotal = 0;
        }
    }
}

void resetSearchForGame(Search& search) {
    resetSearchStackForGame(search.main.stack);
    if (HelperPool* pool = search.main.pool)
        for (int i = 0; i < pool->count; ++i) resetSearchStackForGame(pool->threads[i]->stack);
}

void freeSearchMemory(Search& search) {
    destroyHelpers(search.main.pool);
    search.main.pool = nullptr;
    search.threadCount = 1;
    freeTable(search.control.table);
    freePawnTable(search.main.eval.pawns);
}

int setSearchThreads(Search& search, int count) {
    if (count < 1) count = 1;
    if (count > MaxSearchThreads) count = MaxSearchThreads;
    if (count == search.threadCount) return 1;
    destroyHelpers(search.main.pool);
    search.main.pool = nullptr;
    search.threadCount = 1;
    if (count == 1) return 1;
    const uint64_t entries =
        search.pawnEntries < HelperPawnEntries ? search.pawnEntries : HelperPawnEntries;
    HelperPool* pool = createHelpers(search.control, count, entries < 2 ? 2 : entries);
    if (!pool) return 0;
    search.main.pool = pool;
    search.threadCount = count;
    return 1;
}
