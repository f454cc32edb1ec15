// The transposition table: mate scores relative to the node, bounds that cut,
// the replacement rule, moves kept, and the sizes the memory setting gives.
#include "search/tt.h"

#include "board/movegen.h"
#include "eval/pawns.h"
#include "test_support.h"

TEST(Table, MateScoresAreDistancesFromTheNode) {
    clearTables();
    Board& board = boardFromFen(StartFen);
    PlyRecord record{};
    // A mate at ply 9 found at ply 5, read back at ply 3: a mate at ply 7.
    storeTable(board, 0, 5, 40, Mate - 9, Bound::Exact, 0);
    EXPECT_EQ(probeTable(board, 3, 40, -Mate, Mate, record), Bound::Exact);
    EXPECT_EQ(record.ttScore, Mate - 7);
    // A mate bound cuts whatever the depth; a plain bound needs the depth.
    storeTable(board, 0, 5, 8, -(Mate - 9), Bound::Upper, 0);
    EXPECT_EQ(probeTable(board, 3, 200, -100, 100, record), Bound::Upper);
    EXPECT_EQ(record.ttScore, -(Mate - 7));
    storeTable(board, 0, 5, 8, 40, Bound::Lower, 0);
    EXPECT_EQ(probeTable(board, 3, 200, -100, 30, record), Bound::None);
    EXPECT_EQ(probeTable(board, 3, 8, -100, 30, record), Bound::Lower);
    EXPECT_EQ(probeTable(board, 3, 8, -100, 50, record), Bound::None);
}

TEST(Table, MovesAndReplacement) {
    clearTables();
    Board& board = boardFromFen(StartFen);
    Move move = findMove(board, "e2e4");
    storeTable(board, move, 1, 24, 10, Bound::Exact, FlagSingleReply | FlagNullFailsLow);
    storeTable(board, 0, 1, 32, 12, Bound::Lower, 0);  // no move: the old one stays
    PlyRecord record{};
    probeTable(board, 1, 8, -Mate, Mate, record);
    EXPECT_EQ(record.hashMove, move);
    EXPECT_EQ(record.ttDepth, 32);
    EXPECT_EQ(record.ttHits, 1);

    // Five positions of this search in one bucket: the fifth replaces the
    // shallowest of the four, the first of equals.
    clearTables();
    const int depths[5] = {40, 16, 16, 24, 8};
    for (uint32_t i = 0; i < 5; ++i) {
        Board copy = board;
        copy.hashKey = (board.hashKey & ~0xFFFFFFFFull) | (i + 1);
        storeTable(copy, 0, 1, depths[i], 0, Bound::Exact, 0);
    }
    const TableEntry* bucket = transpositionTable[(board.hashKey >> 32) & (ttBuckets - 1)].entries;
    EXPECT_EQ(bucket[1].check, 5u);
    EXPECT_EQ(bucket[2].check, 3u);
}

TEST(Table, ExpandsStoredMoves) {
    Board& board = boardFromFen("r3k2r/1P6/8/3pP3/8/8/8/R3K2R w KQkq d6 0 1");
    for (int i = 0, count = generateLegalMoves(board, 0); i < count; ++i) {
        Move move = board.stack->moveLists[0][i].move;
        EXPECT_EQ(expandTableMove(board, uint16_t(move)), move) << i;
    }
}

TEST(Table, SizesArePowersOfTwoWithinTheBudget) {
    for (int megabytes : {1, 3, 33, 32}) {
        ASSERT_EQ(allocateTables(megabytes, 8), 1);
        // Powers of two, within the setting together.
        EXPECT_EQ(popCount(ttBuckets) + popCount(pawnTable.count), 2) << megabytes;
        EXPECT_LE(ttBuckets * 48ull + pawnTable.count * 32ull, uint64_t(megabytes) << 20);
        EXPECT_EQ(1ull << hitShift, 4ull * ttBuckets);
    }
    EXPECT_EQ(ttBuckets, 524288u);  // 32 MB, the last allocation
    EXPECT_EQ(pawnTable.count, 131072u);
    // At least 1 KB, an egtb_cache above 8 adds to it, never beyond the address space.
    EXPECT_EQ(tableBytes(0, 0), 1024u);
    EXPECT_EQ(tableBytes(1, 20), 13ull << 20);
    EXPECT_LE(tableBytes(2147483647, 2147483647), uint64_t(SIZE_MAX / 4));
}
