#include "search/tt.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "eval/evaluate.h"
#include "eval/pawns.h"

TableBucket* transpositionTable = nullptr;
uint32_t ttBuckets = 0;
uint8_t ttGeneration = 1;
uint32_t hitTotal = 0;
int hitShift = 0;

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

void fillPawnTable() {
    if (pawnTable.entries) std::memset(pawnTable.entries, 1, size_t(pawnTable.count) * 32);
}

}  // namespace

uint64_t tableBytes(int megabytes, int egtbCache) {
    uint64_t mb = megabytes > 0 ? uint64_t(megabytes) : 0;
    if (egtbCache > 8) mb += uint64_t(egtbCache) - 8;
    uint64_t bytes = mb << 20;
    if (bytes < 1024) bytes = 1024;
    // Sizes must fit the address space: on a 32-bit system a larger setting
    // would wrap the byte counts and leave the tables shorter than indexed.
    constexpr uint64_t Largest =
        SIZE_MAX / 4 < (uint64_t(1) << 40) ? SIZE_MAX / 4 : uint64_t(1) << 40;
    return bytes < Largest ? bytes : Largest;
}

int allocateTables(int megabytes, int egtbCache) {
    // Negative settings count as none: the table still gets its minimum.
    uint64_t bytes = tableBytes(megabytes, egtbCache);
    uint64_t pawnBytes = bytes / 4;
    if (pawnBytes > 4194304) pawnBytes = bytes / 32 + 4194304;

    freeTables();
    hitTotal = 0;

    uint64_t pawnEntries = powerBelow(pawnBytes / 32);
    pawnTable.raw = std::malloc(size_t((pawnEntries + 32) * 32));
    if (pawnTable.raw) {
        pawnTable.count = uint32_t(pawnEntries);
        pawnTable.entries = static_cast<PawnHashEntry*>(aligned(pawnTable.raw));
        fillPawnTable();
    }

    uint64_t rest = bytes > 32 * pawnEntries ? bytes - 32 * pawnEntries : 0;
    uint64_t buckets = powerBelow(rest / 48);
    hitShift = log2Of(4 * buckets);
    tableRaw = std::malloc(size_t(buckets * 48 + Alignment));
    evalCacheRaw = std::malloc(EvalCacheSize * sizeof(EvalCacheEntry) + Alignment);
    if (!tableRaw || !evalCacheRaw || !pawnTable.raw) {
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
    fillPawnTable();
}

void freeTables() {
    std::free(tableRaw);
    std::free(evalCacheRaw);
    std::free(pawnTable.raw);
    tableRaw = evalCacheRaw = nullptr;
    transpositionTable = nullptr;
    evalCache = nullptr;
    ttBuckets = 0;
    pawnTable = PawnTable{};
}

namespace {

TableBucket& bucketOf(const Board& board) {
    return transpositionTable[uint32_t(board.hashKey >> 32) & (ttBuckets - 1)];
}

}  // namespace

int tablePermill() {
    if (!transpositionTable) return 0;
    const uint32_t buckets = ttBuckets < 250 ? ttBuckets : 250;
    int used = 0;
    for (uint32_t i = 0; i < buckets; ++i)
        for (const TableEntry& entry : transpositionTable[i].entries)
            used += entry.generation == ttGeneration && (entry.flags & 3) != 0;
    return int(used * 1000 / (buckets * 4));
}

TableEntry* findTableEntry(const Board& board) {
    if (!transpositionTable) return nullptr;
    uint32_t check = uint32_t(board.hashKey);
    for (TableEntry& entry : bucketOf(board).entries) {
        if (entry.check == check) return &entry;
    }
    return nullptr;
}

Bound probeTable(Board& board, int ply, int depth, int32_t alpha, int32_t beta, PlyRecord& record) {
    record.ttScore = -Mate;
    record.ttBound = Bound::None;
    record.ttHits = 0;
    TableEntry* entry = findTableEntry(board);
    if (!entry) return Bound::None;
    if (entry->generation != ttGeneration) {
        entry->hits = 1;
        ++hitTotal;
    } else if (entry->hits < 255) {
        ++entry->hits;
        ++hitTotal;
    }
    Bound bound = Bound(entry->flags & 3);
    int32_t score = entry->score;
    record.ttHits = entry->hits;
    record.ttScore = score;
    record.ttBound = bound;
    record.ttDepth = entry->depth * OnePly;
    record.flags |= (entry->flags >> 2) & 7;
    record.hashMove = entry->move ? expandTableMove(board, entry->move) : 0;
    entry->generation = ttGeneration;

    // Mates are stored as distances from the node; a proven mate bound cuts
    // whatever depth it was found at.
    if (score >= MateBound) {
        if (score > MateBound) record.ttScore = score - ply;
        if (beta <= MateBound && bound != Bound::Upper) return bound;
    } else if (score <= -MateBound) {
        if (score < -MateBound) record.ttScore = score + ply;
        if (alpha >= -MateBound && bound != Bound::Lower) return bound;
    }
    // A null move of this node would be refuted: an upper bound below beta
    // from nearly the depth that the null move would search.
    if (!(bound == Bound::Lower || record.ttScore >= beta ||
          record.ttDepth < depth - (depth < 40 ? 16 : 24)))
        record.flags |= FlagNullFailsLow;
    if (entry->depth < depth / OnePly) return Bound::None;
    if (bound == Bound::Upper) return record.ttScore <= alpha ? bound : Bound::None;
    if (bound == Bound::Lower) return record.ttScore >= beta ? bound : Bound::None;
    return bound;
}

void storeTable(const Board& board, Move move, int ply, int depth, int32_t score, Bound bound,
                uint8_t flags) {
    if (score > MateBound) score += ply;
    if (score < -MateBound) score -= ply;
    TableBucket& bucket = bucketOf(board);
    uint32_t check = uint32_t(board.hashKey);
    TableEntry* slot = nullptr;
    for (TableEntry& entry : bucket.entries) {
        if (entry.check == check) {
            slot = &entry;
            break;
        }
    }
    if (!slot) {
        // An entry of an older search first; else the shallowest of this one.
        for (TableEntry& entry : bucket.entries) {
            if (entry.generation != ttGeneration) {
                slot = &entry;
                break;
            }
        }
        if (!slot) {
            slot = &bucket.entries[0];
            for (TableEntry& entry : bucket.entries) {
                if (entry.depth < slot->depth) slot = &entry;
            }
        }
        if (slot->generation == ttGeneration) hitTotal -= slot->hits;
        slot->hits = 0;
        slot->check = check;
        slot->move = uint16_t(move);
    } else if (move) {
        slot->move = uint16_t(move);
    }
    slot->score = int16_t(score);
    slot->generation = ttGeneration;
    slot->flags = uint8_t((flags & 7) << 2 | uint8_t(bound));
    slot->depth = uint8_t((depth > 0 ? depth : 0) / OnePly);
}

Move expandTableMove(const Board& board, uint16_t word) {
    Move move = word;
    int from = moveFrom(move), to = moveTo(move), kind = moveKind(move);
    int piece = board.squares[from];
    move |= Move(piece) << 16;
    if (kind != KindCastleKingSide && kind != KindCastleQueenSide) {
        int captured = board.squares[to];
        move |= Move(captured) << 22;
        // A pawn moving diagonally onto an empty square takes en passant.
        if (piece == Pawn && !captured && ((to - from) & 1))
            move |= Move(Pawn) << 22 | EnPassantFlag;
    }
    if (kind >= KindPromoteQueen && kind <= KindPromoteBishop)
        move |= Move(promotionPiece(kind)) << 19;
    return move;
}
