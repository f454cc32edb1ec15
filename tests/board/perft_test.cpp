// Leaf counts of every position and depth of the reference file, counted by an
// independent engine: orthodox and fischerandom, castling, en passant, promotion.
#include "board/perft.h"

#include <fstream>
#include <sstream>

#include "test_support.h"

TEST(Perft, ReferencePositions) {
    std::ifstream file(VOSTREL_TEST_DATA "/perft.txt");
    int positions = 0;
    for (std::string line, fen, entry; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::getline(fields, fen, ';');
        Board& board = referenceBoard(fen.c_str());
        for (++positions; std::getline(fields, entry, ';');) {
            int depth = 0;
            unsigned long long expected = 0;
            ASSERT_EQ(std::sscanf(entry.c_str(), "D%d %llu", &depth, &expected), 2) << line;
            EXPECT_EQ(perft(board, depth), expected) << fen << " depth " << depth;
        }
    }
    EXPECT_EQ(positions, 124);
}
