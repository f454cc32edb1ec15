// The staged picker hands out every legal move exactly once. Its order of
// stages is pinned by the bench's node counts.
#include "search/ordering.h"

#include <random>
#include <set>

#include "board/makemove.h"
#include "board/movegen.h"
#include "search/quiescence.h"
#include "test_support.h"

// On every reference position and one move later, with table, threat, counter and
// killer moves of all sorts (out of check, rook and bishop promotions come only
// as one of these), each move made and a child list generated behind the node's.
TEST(Ordering, HandsOutEveryLegalMoveOnce) {
    constexpr int Ply = 2;  // the node's list far from list 0 (findMove's)
    SearchStack& stack = engine.search.main.stack;
    std::minstd_rand random(12345);
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
                Move move = count ? legal[random() % count].move : 0;
                if (random() % 4 == 0) move = buildMove(E2, E4, KindDoubleStep, Pawn);
                return quiet && isCaptureOrPromotion(move) ? 0 : move;
            };
            board.stack->moveLists[Ply] = board.stack->moveLists[Ply + 1] =
                board.stack->moveBuffer + 2000;
            PlyRecord& record = stack.plies[Ply] = PlyRecord{};
            for (int16_t& counter : stack.history) counter = int16_t(random() % 6000 - 3000);
            for (Move& counter : stack.counterMoves) counter = pick(true);
            const std::set<Move> singles{record.hashMove = pick(false),
                                         record.threatMove = pick(false),
                                         record.killer1 = pick(true), record.killer2 = pick(true),
                                         stack.plies[Ply + 2].killer1 = pick(true)};
            std::multiset<Move> expected, handed;
            for (const MoveEntry& entry : legal)
                if (board.checkInfo || singles.count(entry.move) ||
                    (movePromotion(entry.move) != Rook && movePromotion(entry.move) != Bishop))
                    expected.insert(entry.move);
            const int pickerDepth = random() % 2 ? 8 : 64;
            while (Move move = nextMove(stack, board, record, Ply, Ply, pickerDepth)) {
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
    resetSearchStackForGame(stack);  // no random history for the tests that follow
}
