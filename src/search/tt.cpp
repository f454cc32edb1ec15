#include "search/tt.h"

#include <cstdint>
#include <cstring>

#include "platform/platform.h"
#include "search/searchstack.h"

namespace {

constexpr uint32_t FoldedPart = 0xFFFF0000u;  // depth and flags: word 2's share of the fold

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

TableEntry readSlot(const TableSlot& slot) {
    const uint32_t w0 = slot.word[0].load(std::memory_order_relaxed);
    const uint32_t w1 = slot.word[1].load(std::memory_order_relaxed);
    const uint32_t w2 = slot.word[2].load(std::memory_order_relaxed);
    TableEntry entry;
    entry.check = w0 ^ w1 ^ (w2 & FoldedPart);
    entry.move = uint16_t(w1);
    entry.score = int16_t(uint16_t(w1 >> 16));
    entry.generation = uint8_t(w2);
    entry.hits = uint8_t(w2 >> 8);
    entry.depth = uint8_t(w2 >> 16);
    entry.flags = uint8_t(w2 >> 24);
    return entry;
}

uint32_t thirdWord(const TableEntry& entry) {
    return uint32_t(entry.generation) | uint32_t(entry.hits) << 8 | uint32_t(entry.depth) << 16 |
           uint32_t(entry.flags) << 24;
}

// The key is written last, so that a reader between the writes sees no match.
void writeSlot(TableSlot& slot, const TableEntry& entry) {
    const uint32_t w1 = uint32_t(entry.move) | uint32_t(uint16_t(entry.score)) << 16;
    const uint32_t w2 = thirdWord(entry);
    slot.word[1].store(w1, std::memory_order_relaxed);
    slot.word[2].store(w2, std::memory_order_relaxed);
    slot.word[0].store(entry.check ^ w1 ^ (w2 & FoldedPart), std::memory_order_relaxed);
}

// Generation and hits alone, outside the fold.
void writeCounters(TableSlot& slot, const TableEntry& entry) {
    const uint32_t w2 = slot.word[2].load(std::memory_order_relaxed);
    slot.word[2].store((w2 & FoldedPart) | (thirdWord(entry) & ~FoldedPart),
                       std::memory_order_relaxed);
}

TableBucket& bucketOf(const TranspositionTable& table, const Board& board) {
    return table.buckets[bucketIndex(table, board.hashKey)];
}

// The bucket's slot whose entry is the position's, or -1.
int findSlot(const TableBucket& bucket, uint32_t check, TableEntry& entry) {
    for (int i = 0; i < 4; ++i) {
        entry = readSlot(bucket.slots[i]);
        if (entry.check == check) return i;
    }
    return -1;
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

TableSizes tableSizes(int megabytes, int egtbCache) {
    // Negative settings count as none: the table still gets its minimum.
    uint64_t bytes = tableBytes(megabytes, egtbCache);
    uint64_t pawnBytes = bytes / 4;
    if (pawnBytes > 4194304) pawnBytes = bytes / 32 + 4194304;
    uint64_t pawnEntries = powerBelow(pawnBytes / 32);
    uint64_t rest = bytes > 32 * pawnEntries ? bytes - 32 * pawnEntries : 0;
    return {pawnEntries, powerBelow(rest / 48)};
}

int allocateTable(TranspositionTable& table, uint64_t buckets) {
    freeTable(table);
    void* block = allocateLargeBlock(size_t(buckets * sizeof(TableBucket)));
    if (!block) return 0;
    table.bucketCount = uint32_t(buckets);
    table.hitShift = log2Of(4 * buckets);
    table.buckets = static_cast<TableBucket*>(block);
    // Fresh memory is never read uncleared: a random key could match.
    clearTable(table);
    return 1;
}

void clearTable(TranspositionTable& table) {
    if (table.buckets)
        std::memset(static_cast<void*>(table.buckets), 0,
                    size_t(table.bucketCount) * sizeof(TableBucket));
    table.generation = 1;
}

void freeTable(TranspositionTable& table) {
    freeLargeBlock(table.buckets);
    table = TranspositionTable{};
}

int tablePermill(const TranspositionTable& table) {
    if (!table.buckets) return 0;
    const uint32_t buckets = table.bucketCount < 250 ? table.bucketCount : 250;
    int used = 0;
    for (uint32_t i = 0; i < buckets; ++i) {
        for (const TableSlot& slot : table.buckets[i].slots) {
            const TableEntry entry = readSlot(slot);
            used += entry.generation == table.generation && (entry.flags & 3) != 0;
        }
    }
    return int(used * 1000 / (buckets * 4));
}

bool readTableEntry(const TranspositionTable& table, const Board& board, TableEntry& entry) {
    if (!table.buckets) return false;
    return findSlot(bucketOf(table, board), uint32_t(board.hashKey), entry) >= 0;
}

Bound probeTable(TranspositionTable& table, SearchStack& stack, Board& board, int ply, int depth,
                 int32_t alpha, int32_t beta) {
    PlyRecord& record = stack.plies[ply];
    record.ttScore = -Mate;
    record.ttBound = Bound::None;
    record.ttHits = 0;
    if (!table.buckets) return Bound::None;
    TableBucket& bucket = bucketOf(table, board);
    TableEntry entry;
    const int index = findSlot(bucket, uint32_t(board.hashKey), entry);
    if (index < 0) return Bound::None;
    if (entry.generation != table.generation) {
        entry.hits = 1;
        ++stack.hitTotal;
    } else if (entry.hits < 255) {
        ++entry.hits;
        ++stack.hitTotal;
    }
    Bound bound = Bound(entry.flags & 3);
    int32_t score = entry.score;
    record.ttHits = entry.hits;
    record.ttScore = score;
    record.ttBound = bound;
    record.ttDepth = entry.depth * OnePly;
    record.flags |= (entry.flags >> 2) & 7;
    record.hashMove = entry.move ? expandTableMove(board, entry.move) : 0;
    entry.generation = table.generation;
    writeCounters(bucket.slots[index], entry);

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
    if (entry.depth < depth / OnePly) return Bound::None;
    if (bound == Bound::Upper) return record.ttScore <= alpha ? bound : Bound::None;
    if (bound == Bound::Lower) return record.ttScore >= beta ? bound : Bound::None;
    return bound;
}

void storeTable(TranspositionTable& table, SearchStack& stack, const Board& board, Move move,
                int ply, int depth, int32_t score, Bound bound, uint8_t flags) {
    if (!table.buckets) return;
    if (score > MateBound) score += ply;
    if (score < -MateBound) score -= ply;
    TableBucket& bucket = bucketOf(table, board);
    const uint32_t check = uint32_t(board.hashKey);
    TableEntry entries[4];
    int index = -1;
    for (int i = 0; i < 4 && index < 0; ++i) {
        entries[i] = readSlot(bucket.slots[i]);
        if (entries[i].check == check) index = i;
    }
    if (index < 0) {
        // An entry of an older search first; else the shallowest of this one.
        for (int i = 0; i < 4 && index < 0; ++i)
            if (entries[i].generation != table.generation) index = i;
        if (index < 0) {
            index = 0;
            for (int i = 1; i < 4; ++i)
                if (entries[i].depth < entries[index].depth) index = i;
        }
        TableEntry& slot = entries[index];
        // A thread's own count of hits: with several threads it is an estimate.
        if (slot.generation == table.generation) stack.hitTotal -= slot.hits;
        slot.hits = 0;
        slot.check = check;
        slot.move = uint16_t(move);
    } else if (move) {
        entries[index].move = uint16_t(move);
    }
    TableEntry& slot = entries[index];
    slot.score = int16_t(score);
    slot.generation = table.generation;
    slot.flags = uint8_t((flags & 7) << 2 | uint8_t(bound));
    slot.depth = uint8_t((depth > 0 ? depth : 0) / OnePly);
    writeSlot(bucket.slots[index], slot);
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
