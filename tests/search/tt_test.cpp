// The transposition table: mate scores relative to the node, bounds that cut,
// moves kept, the replacement rule, and the sizes the memory setting gives.
#include "search/tt.h"

#include "board/movegen.h"
#include "eval/pawns.h"
#include "test_support.h"

namespace {

TranspositionTable& table() { return engine.search.control.table; }
SearchStack& stack() { return engine.search.main.stack; }

void store(const Board& board, Move move, int ply, int depth, int32_t score, Bound bound,
           uint8_t flags) {
    storeTable(table(), stack(), board, move, ply, depth, score, bound, flags);
}

Bound probe(Board& board, int ply, int depth, int32_t alpha, int32_t beta, PlyRecord& record) {
    const Bound bound = probeTable(table(), stack(), board, ply, depth, alpha, beta);
    record = stack().plies[ply];
    return bound;
}

}  // namespace

TEST(Table, StoreAndProbe) {
    clearSearchMemory(engine.search);
    Board& board = boardFromFen(StartFen);
    PlyRecord record{};
    // A mate at ply 9 found at ply 5, read back at ply 3: a mate at ply 7. A
    // mate bound cuts whatever the depth; a plain bound needs the depth.
    store(board, 0, 5, 8, Mate - 9, Bound::Lower, 0);
    EXPECT_EQ(probe(board, 3, 200, -100, 100, record), Bound::Lower);
    EXPECT_EQ(record.ttScore, Mate - 7);
    store(board, 0, 5, 8, -(Mate - 9), Bound::Upper, 0);
    EXPECT_EQ(probe(board, 3, 200, -100, 100, record), Bound::Upper);
    EXPECT_EQ(record.ttScore, -(Mate - 7));
    store(board, 0, 5, 8, 40, Bound::Lower, 0);
    EXPECT_EQ(probe(board, 3, 200, -100, 30, record), Bound::None);
    EXPECT_EQ(probe(board, 3, 8, -100, 30, record), Bound::Lower);
    EXPECT_EQ(probe(board, 3, 8, -100, 50, record), Bound::None);
    // A store without a move keeps the old one.
    const Move move = findMove(board, "e2e4");
    store(board, move, 1, 24, 10, Bound::Exact, 0);
    store(board, 0, 1, 32, 12, Bound::Lower, FlagMateThreat);
    probe(board, 1, 8, -Mate, Mate, record);
    EXPECT_EQ(record.hashMove, move);
    EXPECT_EQ(record.ttDepth, 32);
    EXPECT_EQ(record.flags & 7, FlagMateThreat);
    // Five positions of this search in one bucket: the fifth replaces the
    // shallowest of the four, the first of equals.
    clearSearchMemory(engine.search);
    const int depths[5] = {40, 16, 16, 24, 8};
    for (uint32_t i = 0; i < 5; ++i) {
        Board copy = board;
        copy.hashKey = (board.hashKey & ~0xFFFFFFFFull) | (i + 1);
        store(copy, 0, 1, depths[i], 0, Bound::Exact, 0);
    }
    TableEntry second, third;
    Board copy = board;
    copy.hashKey = (board.hashKey & ~0xFFFFFFFFull) | 2;
    EXPECT_FALSE(readTableEntry(table(), copy, second));
    copy.hashKey = (board.hashKey & ~0xFFFFFFFFull) | 5;
    EXPECT_TRUE(readTableEntry(table(), copy, second));
    copy.hashKey = (board.hashKey & ~0xFFFFFFFFull) | 3;
    EXPECT_TRUE(readTableEntry(table(), copy, third));
    // An entry torn by two threads writing at once (the move of one, the key
    // of the other) matches no position.
    TableBucket& bucket = table().buckets[bucketIndex(table(), board.hashKey)];
    for (TableSlot& slot : bucket.slots) slot.word[1].fetch_xor(0x10000);
    for (uint32_t i = 1; i <= 5; ++i) {
        copy.hashKey = (board.hashKey & ~0xFFFFFFFFull) | i;
        EXPECT_FALSE(readTableEntry(table(), copy, second)) << i;
    }
    // Every kind of move comes back whole from its 16 bits.
    Board& kinds = boardFromFen("r3k2r/1P6/8/3pP3/8/8/8/R3K2R w KQkq d6 0 1");
    for (int i = 0, count = generateLegalMoves(kinds, 0); i < count; ++i) {
        const Move whole = kinds.stack->moveLists[0][i].move;
        EXPECT_EQ(expandTableMove(kinds, uint16_t(whole)), whole) << i;
    }
}

TEST(Table, SizesWithinTheMemorySetting) {
    // Megabytes, egtb_cache (above 8 it adds), buckets, pawn entries; 32, the default, last.
    const int cases[][4] = {{0, 0, 16, 4},           {1, 0, 16384, 4096},
                            {3, 0, 32768, 16384},    {1, 10, 32768, 16384},
                            {33, 8, 524288, 131072}, {32, 0, 524288, 131072}};
    for (auto [megabytes, egtbCache, buckets, pawnEntries] : cases) {
        ASSERT_EQ(resizeSearchMemory(engine.search, megabytes, egtbCache), 1);
        EXPECT_EQ(table().bucketCount, uint32_t(buckets)) << megabytes;
        EXPECT_EQ(engine.search.main.eval.pawns.count, uint32_t(pawnEntries)) << megabytes;
    }
    EXPECT_LE(tableBytes(2147483647, 2147483647), uint64_t(SIZE_MAX / 4));
}
