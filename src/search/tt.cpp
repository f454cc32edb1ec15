#include "search/tt.h"

#include <cstdlib>
#include <cstring>

#include "eval/evaluate.h"
#include "eval/pawns.h"
#include "search/searchstack.h"

TableBucket* transpositionTable = nullptr;
uint32_t ttBuckets = 0;
uint8_t ttGeneration = 1;
uint32_t hitTotal = 0;
int hitShift = 0;

EvalCacheEntry* evalCache = nullptr;

namespace {

constexpr size_t Alignment = 1024;

void* tableRaw = nullptr;
void* evalCacheRaw = nullptr;

// The first address at or above raw that is a multiple of 1024.
void* aligned(void* raw) {
    uintptr_t address = reinterpret_cast<uintptr_t>(raw);
    return reinterpret_cast<void*>((address + Alignment - 1) & ~uintptr_t(Alignment - 1));
}

// The largest power of two strictly below n, or 2 when n is at most 4.
uint64_t powerBelow(uint64_t n) {
    if (n <= 4) return 2;
    uint64_t power = 1;
    while (power * 2 < n) power *= 2;
    return power;
}

int log2Of(uint64_t power) {
    int log = 0;
    while ((uint64_t(1) << log) < power) ++log;
    return log;
}

void fillPawnTable(SearchStack& stack) {
    if (stack.pawnTable) std::memset(stack.pawnTable, 1, size_t(stack.pawnEntries) * 32);
}

}  // namespace

int allocateTables(int megabytes, int egtbCache) {
    // Negative settings count as none: the table still gets its minimum.
    uint64_t mb = megabytes > 0 ? uint64_t(megabytes) : 0;
    if (egtbCache > 8) mb += uint64_t(egtbCache) - 8;
    uint64_t bytes = mb << 20;
    if (bytes < 1024) bytes = 1024;
    uint64_t pawnBytes = bytes / 4;
    if (pawnBytes > 4194304) pawnBytes = bytes / 32 + 4194304;

    freeTables();
    hitTotal = 0;

    SearchStack& stack = mainSearchStack;
    uint64_t pawnEntries = powerBelow(pawnBytes / 32);
    stack.pawnTableRaw = std::malloc(size_t((pawnEntries + 32) * 32));
    if (stack.pawnTableRaw) {
        stack.pawnEntries = uint32_t(pawnEntries);
        stack.pawnTable = static_cast<PawnHashEntry*>(aligned(stack.pawnTableRaw));
        fillPawnTable(stack);
    }

    uint64_t rest = bytes > 32 * pawnEntries ? bytes - 32 * pawnEntries : 0;
    uint64_t buckets = powerBelow(rest / 48);
    hitShift = log2Of(4 * buckets);
    tableRaw = std::malloc(size_t(buckets * 48 + Alignment));
    evalCacheRaw = std::malloc(EvalCacheSize * sizeof(EvalCacheEntry) + Alignment);
    if (!tableRaw || !evalCacheRaw || !stack.pawnTableRaw) {
        freeTables();
        return 0;
    }
    ttBuckets = uint32_t(buckets);
    transpositionTable = static_cast<TableBucket*>(aligned(tableRaw));
    evalCache = static_cast<EvalCacheEntry*>(aligned(evalCacheRaw));
    // Fresh memory is never read uncleared: a random key could match.
    clearTables();
    return 1;
}

void clearTables() {
    if (evalCache) std::memset(evalCache, 0, EvalCacheSize * sizeof(EvalCacheEntry));
    if (transpositionTable) std::memset(transpositionTable, 0, size_t(ttBuckets) * 48);
    ttGeneration = 1;
    hitTotal = 0;
    fillPawnTable(mainSearchStack);
}

void freeTables() {
    std::free(tableRaw);
    std::free(evalCacheRaw);
    std::free(mainSearchStack.pawnTableRaw);
    tableRaw = evalCacheRaw = nullptr;
    transpositionTable = nullptr;
    evalCache = nullptr;
    ttBuckets = 0;
    mainSearchStack.pawnTableRaw = nullptr;
    mainSearchStack.pawnTable = nullptr;
    mainSearchStack.pawnEntries = 0;
}
