// The staged picker: the order of its stages on hand-made nodes, and on the
// reference positions that it hands out every legal move exactly once.
#include "search/ordering.h"

#include <algorithm>
#include <set>

#include "board/makemove.h"
#include "board/movegen.h"
#include "notation/movetext.h"
#include "search/quiescence.h"
#include "test_support.h"

namespace {

using Moves = std::vector<std::string>;

constexpr int Ply = 2;

std::string text(Move move) {
    char buffer[8];
    formatMoveCoordinates(move, buffer);
    return buffer;
}

// A fresh node at Ply, as the search sets it up on entry; its list starts far
// from list 0, which findMove uses.
PlyRecord& freshNode(Board& board) {
    SearchStack& stack = engine.search.stack;
    board.stack->moveLists[Ply] = board.stack->moveBuffer + 2000;
    board.stack->moveLists[Ply + 1] = board.stack->moveLists[Ply];
    stack.plies[Ply] = PlyRecord{};
    stack.plies[Ply + 2].killer1 = 0;
    return stack.plies[Ply];
}

// Takes moves until the picker runs dry, counting them as the node does.
Moves drain(Board& board, PlyRecord& record, int pickerDepth = 64) {
    Moves moves;
    while (Move move = nextMove(board, record, Ply, Ply, pickerDepth)) {
        ++record.moveCount;
        moves.push_back(text(move));
        if (moves.size() > 300) break;
    }
    EXPECT_EQ(nextMove(board, record, Ply, Ply, pickerDepth), 0u);
    return moves;
}

Moves head(const Moves& moves, size_t count) {
    return Moves(moves.begin(), moves.begin() + std::min(count, moves.size()));
}

bool unique(Moves moves) {
    std::sort(moves.begin(), moves.end());
    return std::adjacent_find(moves.begin(), moves.end()) == moves.end();
}

}  // namespace

TEST(Ordering, HistoryCountersRescale) {
    clearHistory();
    Move knight = buildMove(G1, F3, Knight, Knight), pawn = buildMove(E2, E4, KindDoubleStep, Pawn);
    addHistory(knight, White, 64);
    addHistory(pawn, White, -8);  // reduced below zero: nothing
    EXPECT_EQ(historyTable[Knight * 128 + F3 * 2 + White], 64);
    EXPECT_EQ(historyTable[historyIndex(pawn, White)], 0);
    historyTable[historyIndex(pawn, White)] = 64990;
    addHistory(pawn, White, 9);  // 64999: no rescale yet
    EXPECT_EQ(historyTable[historyIndex(knight, White)], 64);
    addHistory(pawn, White, 600);  // past 65535: saturates, then all divide by 8
    EXPECT_EQ(historyTable[historyIndex(pawn, White)], 65535 >> 3);
    EXPECT_EQ(historyTable[historyIndex(knight, White)], 8);
    clearHistory();
}

TEST(Ordering, StagesOutOfCheck) {
    // Captures: exf5 (PxQ), Nxg4 (NxR), Rxa5 (exchange -149), Rxd4 (-151).
    const char* fen = "7k/8/1p6/b3pq2/3nP1r1/8/6PN/RN1R3K w - - 0 1";
    Board& board = boardFromFen(fen);
    clearHistory();
    addHistory(findMove(board, "h1g1"), White, 300);
    addHistory(findMove(board, "b1a3"), White, 200);
    addHistory(findMove(board, "b1c3"), White, 1000);  // also the hash move
    const int legal = generateMoves(board);

    PlyRecord& record = freshNode(board);
    record.hashMove = findMove(board, "b1c3");
    record.threatMove = findMove(board, "g2g3");
    record.killer1 = findMove(board, "d1d3");
    record.killer2 = record.hashMove;
    engine.search.stack.plies[Ply + 2].killer1 = findMove(board, "a1a3");
    Moves moves = drain(board, record);
    EXPECT_EQ(head(moves, 10), (Moves{"b1c3", "g2g3", "e4f5", "h2g4", "a1a5", "d1d3", "a1a3",
                                      "d1d4", "h1g1", "b1a3"}));
    EXPECT_EQ(int(moves.size()), legal);
    EXPECT_TRUE(unique(moves));

    // A hash move from another position and a killer that cannot be played
    // are passed over; a killer equal to the threat move comes once.
    record = freshNode(board);
    record.hashMove = buildMove(E2, E4, KindDoubleStep, Pawn);
    record.threatMove = findMove(board, "d1d2");
    record.killer1 = buildMove(C3, C4, Rook, Rook);
    record.killer2 = findMove(board, "g2g3");
    engine.search.stack.plies[Ply + 2].killer1 = record.threatMove;
    moves = drain(board, record);
    EXPECT_EQ(head(moves, 7), (Moves{"d1d2", "e4f5", "h2g4", "a1a5", "g2g3", "d1d4", "b1c3"}));
    EXPECT_EQ(int(moves.size()), legal);
    EXPECT_TRUE(unique(moves));
    clearHistory();
}

TEST(Ordering, Evasions) {
    // The only reply, as hash move or not: the node gets one move and the
    // single-reply flag.
    const char* single = "7k/8/8/8/8/6N1/6PP/r6K w - - 0 1";
    Board& board = boardFromFen(single);
    for (bool hashed : {true, false}) {
        PlyRecord& record = freshNode(board);
        if (hashed) record.hashMove = findMove(board, "g3f1");
        EXPECT_EQ(drain(board, record), (Moves{"g3f1"}));
        EXPECT_EQ(record.flags & FlagSingleReply, FlagSingleReply);
    }

    // Several: the hash move, captures of the checker by exchange (the knight
    // keeps the bishop behind it), then quiet replies by history.
    Board& several = boardFromFen("k7/8/3p4/4r3/7R/2B2N2/8/4K3 w - - 0 1");
    clearHistory();
    addHistory(findMove(several, "e1d2"), White, 500);
    addHistory(findMove(several, "h4e4"), White, 400);
    PlyRecord& record = freshNode(several);
    record.hashMove = findMove(several, "e1f1");
    Moves moves = drain(several, record);
    EXPECT_EQ(head(moves, 5), (Moves{"e1f1", "f3e5", "c3e5", "e1d2", "h4e4"}));
    std::sort(moves.begin() + 5, moves.end());
    EXPECT_EQ(moves, (Moves{"e1f1", "f3e5", "c3e5", "e1d2", "h4e4", "e1d1", "e1f2"}));
    EXPECT_EQ(record.flags & FlagSingleReply, 0);

    // A playable move that leaves the king in check is no hash move here.
    record = freshNode(several);
    record.hashMove = buildMove(H4, H5, Rook, Rook);
    EXPECT_EQ(head(drain(several, record), 2), (Moves{"f3e5", "c3e5"}));
    clearHistory();
}

TEST(Ordering, LateQuietMovesUnsorted) {
    Board& board = boardFromFen("7k/8/8/8/3N4/8/8/7K w - - 0 1");
    clearHistory();
    addHistory(findMove(board, "d4e6"), White, 900);
    addHistory(findMove(board, "d4f5"), White, 800);
    addHistory(findMove(board, "d4b5"), White, 700);
    // The generator's order: knight moves, then the king's; the best is not
    // second to last, so the first unsorted pick is the list's second to last.
    PlyRecord& record = freshNode(board);
    const int count = generateQuietMoves(board, Ply);
    const Moves generated = listText(board, Ply, count);

    struct Case {
        int moveCount, pickerDepth;
        Moves first;
    };
    const Case cases[] = {
        {0, 8, {"d4e6", "d4f5", "d4b5"}},
        {6, 16, {"d4e6", "d4f5", "d4b5"}},
        {6, 8, {"d4e6", generated[count - 2], generated[count - 3]}},
    };
    for (const Case& c : cases) {
        record = freshNode(board);
        record.moveCount = uint8_t(c.moveCount);
        Moves moves = drain(board, record, c.pickerDepth);
        EXPECT_EQ(head(moves, 3), c.first) << c.moveCount << " " << c.pickerDepth;
        EXPECT_EQ(int(moves.size()), count);
        EXPECT_TRUE(unique(moves));
    }
    clearHistory();
}

// On every reference position and every position one move later, with table
// moves, threats and killers of all sorts, the picker hands out each legal move
// once: out of check all but rook and bishop promotions, which come only as
// single moves, in check every evasion. Each move is made and a child list
// generated behind the node's list in between, as the search does.
TEST(Ordering, HandsOutEveryLegalMoveOnce) {
    std::vector<std::string> fens = referenceFens();
    fens.push_back("7k/1P6/8/8/8/8/8/K7 w - - 0 1");
    fens.push_back("r3k3/1P6/8/8/8/8/8/4K3 w - - 0 1");
    fens.push_back("k7/8/3p4/4r3/7R/2B2N2/8/4K3 w - - 0 1");
    uint32_t seed = 12345;
    auto random = [&seed](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % range;
    };
    for (uint16_t& counter : historyTable) counter = uint16_t(random(3000));

    int positions = 0;
    for (const std::string& fen : fens) {
        Board& board = referenceBoard(fen.c_str());
        int rootCount = generateLegalMoves(board, 0);
        std::vector<Move> rootMoves;
        for (int i = 0; i < rootCount; ++i) rootMoves.push_back(board.stack->moveLists[0][i].move);
        for (int child = -1; child < rootCount; ++child) {
            if (child >= 0) {
                saveUndo(board);
                makeMove(board, rootMoves[child]);
            }
            int count = generateLegalMoves(board, 0);
            std::vector<Move> legal;
            for (int i = 0; i < count; ++i) legal.push_back(board.stack->moveLists[0][i].move);
            auto rare = [](Move move) {
                return movePromotion(move) == Rook || movePromotion(move) == Bishop;
            };
            // Table and threat moves of any kind, junk included; killers are quiet.
            auto pick = [&](bool quiet) -> Move {
                Move move = legal.empty() ? 0 : legal[random(uint32_t(legal.size()))];
                if (random(4) == 0) return buildMove(E2, E4, KindDoubleStep, Pawn);
                return quiet && isCaptureOrPromotion(move) ? 0 : move;
            };
            PlyRecord& record = freshNode(board);
            Move& deepKiller = engine.search.stack.plies[Ply + 2].killer1;
            record.hashMove = pick(false);
            record.threatMove = pick(false);
            record.killer1 = pick(true);
            record.killer2 = pick(true);
            deepKiller = pick(true);
            const Move singles[] = {record.hashMove, record.threatMove, record.killer1,
                                    record.killer2, deepKiller};
            std::multiset<Move> expected;
            for (Move move : legal)
                if (board.checkInfo || !rare(move) ||
                    std::find(std::begin(singles), std::end(singles), move) != std::end(singles))
                    expected.insert(move);

            std::multiset<Move> handed;
            const int pickerDepth = random(2) ? 8 : 64;
            while (Move move = nextMove(board, record, Ply, Ply, pickerDepth)) {
                ++record.moveCount;
                handed.insert(move);
                saveUndo(board);
                makeMove(board, move);
                generateLegalMoves(board, Ply + 1);
                unmakeMove(board);
                if (handed.size() > 300) break;
            }
            EXPECT_EQ(handed, expected) << fen << " child " << child;
            ++positions;
            if (child >= 0) unmakeMove(board);
        }
    }
    EXPECT_GT(positions, 2500);
    clearHistory();
}
