// The staged picker: the order of its stages on hand-made nodes, and on the
// reference positions that it hands out every legal move exactly once.
#include "search/ordering.h"

#include <algorithm>
#include <random>
#include <set>

#include "board/makemove.h"
#include "board/movegen.h"
#include "notation/movetext.h"
#include "search/quiescence.h"
#include "test_support.h"

namespace {

constexpr int Ply = 2;

SearchStack& stack() { return engine.search.stack; }

// A fresh node at Ply, its list far from list 0 (which findMove uses), the
// history cleared and then raised for the moves named.
PlyRecord& freshNode(Board& board, std::initializer_list<std::pair<const char*, int>> raised = {}) {
    std::fill(std::begin(stack().history), std::end(stack().history), 0);
    for (auto [move, depth] : raised) addHistory(stack(), findMove(board, move), White, depth);
    board.stack->moveLists[Ply] = board.stack->moveLists[Ply + 1] = board.stack->moveBuffer + 2000;
    stack().plies[Ply + 2].killer1 = 0;
    return stack().plies[Ply] = PlyRecord{};
}

// The first count of all the moves the picker hands out, counted as the node does.
std::string drain(Board& board, PlyRecord& record, int count) {
    std::string moves;
    char text[8];
    while (Move move = nextMove(stack(), board, record, Ply, Ply, 64)) {
        formatMoveCoordinates(move, text);
        if (record.moveCount++ < count) moves += std::string(text) + " ";
    }
    return moves;
}

}  // namespace

// Hash move, threat move, captures by victim and attacker, even captures,
// killers (not the hash move again), the deeper killer, losing captures, then
// quiet moves by history.
TEST(Ordering, StagesOutOfCheck) {
    // Captures: exf5 (PxQ), Nxg4 (NxR), Rxa5 (exchange -149), Rxd4 (-151).
    Board& board = boardFromFen("7k/8/1p6/b3pq2/3nP1r1/8/6PN/RN1R3K w - - 0 1");
    PlyRecord& record = freshNode(board, {{"h1g1", 300}, {"b1a3", 200}, {"b1c3", 1000}});
    record.hashMove = record.killer2 = findMove(board, "b1c3");
    record.threatMove = findMove(board, "g2g3");
    record.killer1 = findMove(board, "d1d3");
    stack().plies[Ply + 2].killer1 = findMove(board, "a1a3");
    EXPECT_EQ(drain(board, record, 10), "b1c3 g2g3 e4f5 h2g4 a1a5 d1d3 a1a3 d1d4 h1g1 b1a3 ");
}

TEST(Ordering, Evasions) {
    // The only reply: the single-reply flag.
    Board& board = boardFromFen("7k/8/8/8/8/6N1/6PP/r6K w - - 0 1");
    EXPECT_EQ(drain(board, freshNode(board), 9), "g3f1 ");
    EXPECT_EQ(stack().plies[Ply].flags & FlagSingleReply, FlagSingleReply);
    // Several: the hash move, captures of the checker by exchange (the knight
    // keeps the bishop behind it), then quiet replies by history.
    Board& several = boardFromFen("k7/8/3p4/4r3/7R/2B2N2/8/4K3 w - - 0 1");
    PlyRecord& record = freshNode(several, {{"e1d2", 500}, {"h4e4", 400}});
    record.hashMove = findMove(several, "e1f1");
    EXPECT_EQ(drain(several, record, 5), "e1f1 f3e5 c3e5 e1d2 h4e4 ");
    EXPECT_EQ(record.flags & FlagSingleReply, 0);
    // A playable move that leaves the king in check is no hash move here.
    freshNode(several).hashMove = buildMove(H4, H5, Rook, Rook);
    EXPECT_EQ(drain(several, record, 2), "f3e5 c3e5 ");
}

// On every reference position and every position one move later, with table,
// threat and killer moves of all sorts, the picker hands out each legal move
// once (out of check rook and bishop promotions only as single moves), while
// each is made and a child list generated behind the node's, as in the search.
TEST(Ordering, HandsOutEveryLegalMoveOnce) {
    std::minstd_rand generator(12345);
    auto random = [&generator](uint32_t range) { return uint32_t(generator() % range); };
    int positions = 0;
    for (const std::string& fen : referenceFens()) {
        Board& board = referenceBoard(fen.c_str());
        for (int child = -1; child < generateLegalMoves(board, 0); ++child, ++positions) {
            if (child >= 0) {
                saveUndo(board);
                makeMove(board, board.stack->moveLists[0][child].move);
            }
            const int count = generateLegalMoves(board, 0);
            const std::vector<MoveEntry> legal(board.stack->moveLists[0],
                                               board.stack->moveLists[0] + count);
            // Table and threat moves of any kind, junk included; killers are quiet.
            auto pick = [&](bool quiet) -> Move {
                Move move = count ? legal[random(count)].move : 0;
                if (random(4) == 0) return buildMove(E2, E4, KindDoubleStep, Pawn);
                return quiet && isCaptureOrPromotion(move) ? 0 : move;
            };
            PlyRecord& record = freshNode(board);
            for (uint16_t& counter : stack().history) counter = uint16_t(random(3000));
            const std::set<Move> singles{record.hashMove = pick(false),
                                         record.threatMove = pick(false),
                                         record.killer1 = pick(true), record.killer2 = pick(true),
                                         stack().plies[Ply + 2].killer1 = pick(true)};
            std::multiset<Move> expected, handed;
            for (const MoveEntry& entry : legal)
                if (board.checkInfo || singles.count(entry.move) ||
                    (movePromotion(entry.move) != Rook && movePromotion(entry.move) != Bishop))
                    expected.insert(entry.move);
            const int pickerDepth = random(2) ? 8 : 64;
            while (Move move = nextMove(stack(), board, record, Ply, Ply, pickerDepth)) {
                ++record.moveCount;
                handed.insert(move);
                saveUndo(board);
                makeMove(board, move);
                generateLegalMoves(board, Ply + 1);
                unmakeMove(board);
                if (handed.size() > 300) break;
            }
            EXPECT_EQ(handed, expected) << fen << " child " << child;
            if (child >= 0) unmakeMove(board);
        }
    }
    EXPECT_GT(positions, 2500);
    freshNode(boardFromFen(StartFen));
}
