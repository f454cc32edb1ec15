// The transposition table: mate scores relative to the node, bounds that cut,
// the replacement rule, moves kept, and the sizes the memory setting gives.
#include "search/tt.h"

#include <cstdint>

#include "board/movegen.h"
#include "eval/pawns.h"
#include "test_support.h"

namespace {

PlyRecord freshRecord() {
    PlyRecord record{};
    return record;
}

}  // namespace

TEST(Table, MateScoresAreDistancesFromTheNode) {
    clearTables();
    Board& board = boardFromFen(StartFen);
    // A mate at ply 9 found at ply 5, read back at ply 3: a mate at ply 7.
    storeTable(board, 0, 5, 40, Mate - 9, 3, 0);
    PlyRecord record = freshRecord();
    EXPECT_EQ(probeTable(board, 3, 40, -Mate, Mate, record), 3);
    EXPECT_EQ(record.ttScore, Mate - 7);
    // A mate bound cuts whatever the depth; a plain bound needs the depth.
    storeTable(board, 0, 5, 8, -(Mate - 9), 1, 0);
    record = freshRecord();
    EXPECT_EQ(probeTable(board, 3, 200, -100, 100, record), 1);
    EXPECT_EQ(record.ttScore, -(Mate - 7));
    storeTable(board, 0, 5, 8, 40, 2, 0);
    record = freshRecord();
    EXPECT_EQ(probeTable(board, 3, 200, -100, 30, record), 0);
    EXPECT_EQ(probeTable(board, 3, 8, -100, 30, record), 2);
    EXPECT_EQ(probeTable(board, 3, 8, -100, 50, record), 0);
}

TEST(Table, MovesAndReplacement) {
    clearTables();
    Board& board = boardFromFen(StartFen);
    Move move = findMove(board, "e2e4");
    storeTable(board, move, 1, 24, 10, 3, FlagSingleReply | FlagNullFailsLow);
    storeTable(board, 0, 1, 32, 12, 2, 0);  // no move: the old one stays
    PlyRecord record = freshRecord();
    probeTable(board, 1, 8, -Mate, Mate, record);
    EXPECT_EQ(record.hashMove, move);
    EXPECT_EQ(record.ttDepth, 32);
    EXPECT_EQ(record.ttHits, 1);

    // Four entries of this search in one bucket: the shallowest goes, the
    // first of equals.
    clearTables();
    Board copy = board;
    TableBucket& bucket = transpositionTable[uint32_t(board.hashKey >> 32) & (ttBuckets - 1)];
    const int depths[4] = {40, 16, 16, 24};
    for (int i = 0; i < 4; ++i) {
        copy.hashKey = (board.hashKey & ~0xFFFFFFFFull) | uint32_t(i + 1);
        storeTable(copy, 0, 1, depths[i], 0, 3, 0);
    }
    copy.hashKey = (board.hashKey & ~0xFFFFFFFFull) | 99u;
    storeTable(copy, 0, 1, 8, 0, 3, 0);
    EXPECT_EQ(bucket.entries[1].check, 99u);
    EXPECT_EQ(bucket.entries[2].check, 3u);
}

TEST(Table, ExpandsStoredMoves) {
    Board& board = boardFromFen("r3k2r/1P6/8/3pP3/8/8/8/R3K2R w KQkq d6 0 1");
    int count = generateLegalMoves(board, 0);
    for (int i = 0; i < count; ++i) {
        Move move = board.stack->moveLists[0][i].move;
        EXPECT_EQ(expandTableMove(board, uint16_t(move)), move) << i;
    }
}

TEST(Table, SizesArePowersOfTwoWithinTheBudget) {
    for (int megabytes : {1, 3, 32, 33, 100}) {
        ASSERT_EQ(allocateTables(megabytes, 8), 1);
        uint64_t bytes = uint64_t(megabytes) << 20;
        uint32_t pawns = pawnTable.count;
        EXPECT_EQ(ttBuckets & (ttBuckets - 1), 0u) << megabytes;
        EXPECT_EQ(pawns & (pawns - 1), 0u) << megabytes;
        EXPECT_LE(uint64_t(ttBuckets) * 48 + uint64_t(pawns) * 32, bytes) << megabytes;
        EXPECT_EQ(1 << hitShift, int(4 * ttBuckets));
    }
    // Settings beyond the address space are cut to it.
    EXPECT_EQ(tableBytes(32, 8), 32ull << 20);
    EXPECT_EQ(tableBytes(0, 0), 1024u);
    EXPECT_EQ(tableBytes(1, 20), 13ull << 20);
    EXPECT_LE(tableBytes(2147483647, 2147483647), uint64_t(SIZE_MAX / 4));
    ASSERT_EQ(allocateTables(32, 8), 1);
    EXPECT_EQ(ttBuckets, 524288u);
    EXPECT_EQ(pawnTable.count, 131072u);
    EXPECT_EQ(hitShift, 21);
}
