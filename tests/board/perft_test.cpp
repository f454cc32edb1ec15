// Leaf counts of every position and depth of the reference file, counted by an
// independent engine: orthodox and fischerandom, castling, en passant, promotion.
#include "board/perft.h"

#include <sstream>

#include "test_support.h"

TEST(Perft, ReferencePositions) {
    const std::vector<std::string> rows = dataRows("perft.txt");
    for (const std::string& line : rows) {
        std::istringstream fields(line);
        std::string fen, entry;
        std::getline(fields, fen, ';');
        Board& board = referenceBoard(fen.c_str());
        while (std::getline(fields, entry, ';')) {
            int depth = 0;
            unsigned long long expected = 0;
            ASSERT_EQ(std::sscanf(entry.c_str(), "D%d %llu", &depth, &expected), 2) << line;
            EXPECT_EQ(perft(board, depth), expected) << fen << " depth " << depth;
        }
    }
    EXPECT_EQ(rows.size(), 124u);
}
