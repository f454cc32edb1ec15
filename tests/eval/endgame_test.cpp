// Endgame knowledge: the material classes of up to four men, every recogniser's
// verdicts on real positions and on their colour mirrors, and the helper tests.
#include "eval/endgame.h"

#include <string>

#include "test_support.h"

namespace {

// The class that the mirrored material reaches.
int mirrorClass(int material) {
    if (material == 1 || material == 6 || (material >= 31 && material <= 33)) return material;
    if (material <= 5) return material ^ 1;                         // 2/3, 4/5
    if (material <= 30) return material + (material % 2 ? 1 : -1);  // 7/8 .. 29/30
    return material + (material % 2 ? -1 : 1);                      // 34/35 .. 38/39
}

struct Verdict {
    int found;
    int32_t result, flag;
};

Verdict probe(const std::string& fen) {
    Board& board = boardFromFen(fen.c_str());
    Verdict v{};
    v.found = probeEndgame(board, v.result, v.flag);
    return v;
}

struct Case {
    int material;  // class
    const char* fen;
    int found;
    int32_t result, flag;
};

// clang-format off
const Case cases[] = {
    // 1: no mating material.
    {1, "8/8/4k3/8/8/3K4/8/8 w - - 0 1", 1, 0, 5},
    {1, "8/8/4k3/8/8/3KN3/8/8 b - - 0 1", 1, 0, 5},
    {1, "8/8/4k3/8/8/3K4/8/6b1 w - - 0 1", 1, 0, 5},
    // 2: rook or queen against the bare king.
    {2, "8/8/4k3/8/8/3K4/8/R7 w - - 0 1", 1, 1, 1},
    {2, "8/8/4k3/8/8/3K4/8/R7 b - - 0 1", 1, 1, 1},
    {2, "8/8/4k3/3R4/2K5/8/8/8 b - - 0 1", 1, 1, 1},   // rook next to the king, defended
    {2, "8/8/4k3/3R4/8/8/8/K7 b - - 0 1", 1, 0, 1},    // the king takes the rook
    {2, "8/8/3k4/2Q5/8/8/8/K7 b - - 0 1", 1, 0, 1},    // ... or the queen
    {2, "k7/8/K7/8/8/8/8/1R6 b - - 0 1", 1, 0, 1},     // stalemate
    {2, "7k/5KR1/8/8/8/8/8/8 b - - 0 1", 1, 0, 1},     // stalemate
    {2, "7k/8/6Q1/8/8/8/8/K7 b - - 0 1", 1, 0, 1},     // stalemate
    {2, "k6R/8/K7/8/8/8/8/8 b - - 0 1", 1, 1, 1},      // mate
    // 4: pawn against the bare king.
    {4, "8/8/8/8/3kP3/8/8/K7 b - - 0 1", 1, 0, 5},    // the king takes the pawn
    {4, "8/8/8/8/3kP3/8/8/K7 w - - 0 1", 1, 2, 5},    // ... unless the pawn moves first
    {4, "8/8/8/8/3kP3/5K2/8/8 b - - 0 1", 1, 2, 5},  // the pawn defended
    {4, "k7/8/8/8/P7/8/8/7K w - - 0 1", 1, 0, 5},      // king in front of a rook pawn
    {4, "1k6/8/8/8/8/8/P7/7K w - - 0 1", 1, 0, 5},     // b8 holds an a-pawn
    {4, "1k6/8/P7/8/8/8/8/7K b - - 0 1", 1, 0, 5},
    {4, "8/6k1/8/8/8/8/7P/K7 w - - 0 1", 1, 0, 5},     // g7 holds an h-pawn
    {4, "8/8/8/P7/8/8/7k/K7 w - - 0 1", 1, 1, 5},      // a rook pawn outside the square
    {4, "8/8/8/4P3/k7/8/8/7K w - - 0 1", 1, 1, 5},     // square rule, pawn to move
    {4, "8/8/8/4P3/k7/8/8/7K b - - 0 1", 1, 2, 5},     // square rule, king to move
    {4, "8/8/4K3/4P3/8/8/k7/8 w - - 0 1", 1, 2, 5},    // own king on the path
    // 6: two knights, or a minor against a minor.
    {6, "7k/8/5K2/8/8/8/8/NN6 w - - 0 1", 1, 2, 0},
    {6, "8/8/8/8/K1k5/8/8/6NN w - - 0 1", 1, 0, 0},
    {6, "8/8/8/3k4/8/8/8/K5NN w - - 0 1", 1, 0, 0},
    {6, "7k/8/5K2/8/8/8/8/1bB5 w - - 0 1", 0, 0, 0},
    {6, "8/8/3k4/8/8/3K4/8/b1N5 w - - 0 1", 1, 0, 0},
    // 7: two bishops.
    {7, "8/8/3k4/8/8/3K4/8/2B2B2 w - - 0 1", 1, 1, 5},
    {7, "8/8/3k4/8/8/3K4/8/2B2B2 b - - 0 1", 1, 2, 5},
    {7, "8/8/3k4/3B4/8/8/8/2B4K w - - 0 1", 1, 2, 5},  // bishop next to the king
    {7, "8/8/3k4/8/8/3K4/8/3B1B2 w - - 0 1", 1, 0, 5}, // both on light squares
    // 9: bishop and pawn.
    {9, "k7/8/8/8/P7/8/8/2B1K3 w - - 0 1", 1, 0, 5},   // the wrong bishop
    {9, "8/8/8/4P3/8/8/k7/2B1K3 w - - 0 1", 1, 1, 5},  // unstoppable
    {9, "8/8/4k3/8/4P3/3K4/8/2B5 w - - 0 1", 1, 1, 5}, // king defends
    {9, "8/8/4k3/8/4P3/3B4/8/7K w - - 0 1", 1, 1, 5},  // bishop defends
    {9, "8/B7/4k3/8/4P3/3K4/8/8 w - - 0 1", 1, 2, 5},  // bishop on a7
    {9, "8/8/4k3/8/4P3/3K4/8/2B5 b - - 0 1", 1, 2, 5},
    {9, "8/8/8/3k4/8/P7/1K6/5B2 w - - 0 1", 1, 2, 5},  // defended rook pawn
    // 11: a major and a second man.
    {11, "8/8/3k4/8/8/3K4/8/R6R w - - 0 1", 1, 1, 5},
    {11, "8/8/3k4/8/8/3K4/8/Q5N1 b - - 0 1", 1, 1, 5},
    {11, "8/8/3k4/2R5/8/3K4/8/7R b - - 0 1", 1, 2, 5}, // rook next to the king
    {11, "k7/8/K7/8/8/8/4P3/1R6 b - - 0 1", 1, 2, 5},  // no king move
    {11, "k6R/8/K7/8/8/8/4P3/8 b - - 0 1", 1, 1, 5},   // in check
    // 13: bishop and knight.
    {13, "8/8/3k4/8/8/3K4/8/2B3N1 w - - 0 1", 1, 1, 5},
    {13, "8/8/3k4/8/8/3K4/8/2B4N w - - 0 1", 1, 2, 5}, // knight in the corner
    {13, "8/4N3/3k4/8/8/3K4/8/2B5 w - - 0 1", 1, 2, 5},// knight next to the king
    {13, "8/8/3k4/8/8/3K4/8/2B3N1 b - - 0 1", 1, 2, 5},
    // 15: queen against knight.
    {15, "8/8/3k4/8/8/3K4/8/Q5n1 w - - 0 1", 1, 1, 5},
    {15, "8/8/3k4/8/8/3K4/8/Q5n1 b - - 0 1", 1, 2, 5},
    {15, "8/3k4/8/4n3/8/3K4/8/Q7 w - - 0 1", 1, 2, 5},  // in check
    {15, "8/8/3k4/8/8/8/8/Q5nK b - - 0 1", 0, 0, 5},    // king in the corner
    // 17: queen against bishop.
    {17, "8/8/3k4/8/8/3K4/8/Q5b1 w - - 0 1", 1, 1, 5},
    {17, "8/8/8/7k/3Q4/8/5K2/7b w - - 0 1", 1, 1, 5},   // only the king on a diagonal
    {17, "8/8/1b6/7k/3Q4/8/5K2/8 w - - 0 1", 1, 2, 5},  // king and bishop on diagonals
    {17, "8/8/1b6/7k/3Q4/8/8/K7 w - - 0 1", 0, 0, 5},
    {17, "8/8/3k4/8/8/3K4/8/Q5b1 b - - 0 1", 1, 2, 5},
    // 19: two pawns.
    {19, "8/8/3k4/8/8/3KP3/5P2/8 w - - 0 1", 1, 1, 5},  // one defends the other
    {19, "8/8/8/7P/3K4/8/P7/1k6 w - - 0 1", 1, 1, 5},   // unstoppable
    {19, "8/8/8/7P/3K4/8/P7/k7 w - - 0 1", 1, 2, 5},    // king on a rook file
    {19, "8/Pk6/1P6/8/8/8/8/7K w - - 0 1", 1, 2, 5},    // defended pawn on a7
    {19, "8/8/3k4/8/8/3KP3/5P2/8 b - - 0 1", 1, 2, 5},
    // 21: queen against pawn.
    {21, "8/8/3k4/7p/8/3K4/8/Q7 w - - 0 1", 1, 1, 5},   // pawn far back
    {21, "8/8/8/8/8/8/2p5/2Q1K1k1 w - - 0 1", 1, 1, 5}, // queen in front of the pawn
    {21, "7K/8/8/8/8/8/pk6/4Q3 w - - 0 1", 1, 0, 5},    // the pawn on its seventh holds
    {21, "8/8/8/8/8/3K4/pk6/4Q3 w - - 0 1", 1, 2, 5},
    {21, "8/1k6/8/8/8/4p3/3Q4/7K b - - 0 1", 1, -2, 5}, // the pawn takes the queen
    {21, "8/1k6/8/8/8/4p3/8/3Q3K b - - 0 1", 0, 0, 5},
    {21, "8/1k6/8/8/8/4p3/5K2/Q7 w - - 0 1", 0, 0, 5},  // in check
    // 23: rook against pawn.
    {23, "R7/8/8/7k/4p3/8/4K3/8 w - - 0 1", 1, 1, 5},   // king on the path
    {23, "8/8/7k/8/R3p3/8/8/K7 w - - 0 1", 1, 1, 5},    // rook takes the pawn
    {23, "K7/8/8/8/8/3k4/4p2R/8 w - - 0 1", 1, 0, 5},   // guarded pawn on rank 2
    {23, "K6R/8/8/8/8/3k4/4p3/8 w - - 0 1", 1, -2, 5},
    {23, "8/8/8/8/7K/3k4/4p2R/8 w - - 0 1", 1, 2, 5},   // our king only three away
    {23, "7K/8/8/3k4/4p3/8/8/R7 w - - 0 1", 1, 2, 5},   // rook on the path
    {23, "8/K6R/8/3k4/4p3/8/8/8 w - - 0 1", 0, 0, 5},
    {23, "4R3/8/8/8/4p3/3k4/8/K7 b - - 0 1", 1, 2, 5},  // rook behind the pawn
    {23, "7k/8/8/8/4p3/3R4/8/K7 b - - 0 1", 1, -2, 5},  // the pawn takes the rook
    {23, "8/8/7K/8/8/8/3kp3/R7 b - - 0 1", 1, -2, 5},   // rank 2, kings four apart
    {23, "8/8/8/6K1/8/8/3kp3/R7 b - - 0 1", 0, 0, 5},   // rank 2, kings three apart
    {23, "K6R/8/8/8/8/3kp3/8/8 b - - 0 1", 1, -2, 5},   // rank 3, kings five apart
    {23, "8/7K/8/8/8/3kp3/8/R7 b - - 0 1", 0, 0, 5},    // rank 3, kings four apart
    {23, "8/8/8/3kp3/2R5/8/8/7K b - - 0 1", 1, -2, 5},  // the king takes the rook
    {23, "R7/8/8/7k/8/4p3/3K4/8 w - - 0 1", 0, 0, 5},   // in check
    {23, "4R3/8/8/7k/8/4p3/3K4/8 w - - 0 1", 1, 2, 5},  // in check, rook behind
    // 25: knight and pawn.
    {25, "k7/P7/8/8/8/8/8/N6K w - - 0 1", 1, 0, 5},
    {25, "7k/7P/8/8/8/8/8/N6K w - - 0 1", 1, 0, 5},
    {25, "8/8/8/4P3/8/8/k7/6NK w - - 0 1", 1, 1, 5},    // unstoppable
    {25, "8/8/4k3/8/4P3/8/3N4/7K w - - 0 1", 1, 1, 5},  // knight defends from behind
    {25, "8/8/3Nk3/8/4P3/8/8/7K w - - 0 1", 1, 2, 5},   // ... from in front
    {25, "8/8/4k3/8/4P3/8/3N4/7K b - - 0 1", 1, 2, 5},
    // 27: queen against rook.
    {27, "8/8/3k4/8/8/3K4/8/Q6r w - - 0 1", 1, 1, 5},
    {27, "8/3r4/3k4/8/8/3K3Q/8/8 w - - 0 1", 1, 2, 5},  // rook by its king, queen on our rank
    {27, "8/3r4/3k4/8/8/3K4/8/7Q w - - 0 1", 1, 1, 5},
    {27, "k7/8/8/8/8/8/3K4/3Q3r w - - 0 1", 1, 2, 5},   // king in the corner
    {27, "8/8/3k4/8/8/3K4/8/Q6r b - - 0 1", 0, 0, 5},
    {27, "8/8/3k4/8/8/3K3r/8/Q7 w - - 0 1", 0, 0, 5},   // in check
    // 29: rook against knight.
    {29, "8/8/3k4/8/8/3K4/8/R5n1 w - - 0 1", 1, 2, 5},
    {29, "8/8/3k4/8/8/8/8/R5nK b - - 0 1", 0, 0, 5},
    // 31: pawn against pawn.
    {31, "8/2k5/3p4/8/4P3/5K2/8/8 w - - 0 1", 1, 0, 5},  // blocked, both pawns guarded
    {31, "8/2k5/2p5/8/4P3/5K2/8/8 w - - 0 1", 0, 0, 5},  // not blocked
    {31, "8/2k5/3p4/8/4P3/8/8/K7 w - - 0 1", 0, 0, 5},   // white pawn unguarded
    {31, "8/4K3/3p4/8/8/8/P5k1/8 w - - 0 1", 1, 2, 5},
    {31, "8/8/3p4/8/8/3P4/2k5/K7 b - - 0 1", 1, -2, 5},
    {31, "8/8/3p4/8/8/8/P5k1/4K3 w - - 0 1", 0, 0, 5},
    // 32: rook against rook.
    {32, "8/8/3k4/8/8/8/R6r/K7 w - - 0 1", 1, 1, 0},
    {32, "8/8/3k4/8/8/8/R6r/K7 b - - 0 1", 1, -2, 0},
    {32, "8/8/3k4/8/8/3K4/R7/7r w - - 0 1", 1, 2, 0},
    {32, "7r/8/3k4/8/8/8/R7/3K4 w - - 0 1", 0, 0, 0},
    {32, "8/8/3kr3/8/8/8/8/K3R3 w - - 0 1", 0, 0, 0},   // the rook is guarded
    {32, "8/8/3k4/8/8/3K3r/R7/8 w - - 0 1", 0, 0, 0},   // in check
    // 33: queen against queen.
    {33, "8/8/3k4/7q/8/8/8/K6Q w - - 0 1", 1, 2, 0},    // the queen falls, but our king is cornered
    {33, "8/8/3k4/7q/8/8/8/1K5Q w - - 0 1", 1, 1, 0},   // the queen falls
    {33, "3k4/8/8/7q/8/8/8/1K5Q w - - 0 1", 1, 2, 0},   // ... but the king is on the edge
    {33, "8/8/3k4/7q/8/8/2Q5/1K6 w - - 0 1", 1, 2, 0},
    {33, "8/8/3k4/4q3/8/8/8/1K2Q3 w - - 0 1", 1, 2, 0},  // the queen is guarded
    {33, "8/8/3k4/8/8/3K4/8/3q3Q w - - 0 1", 0, 0, 0},  // in check
    // 34: knight against pawn.
    {34, "8/8/8/8/3N4/8/p1K5/k7 w - - 0 1", 1, 1, 5},   // Nb3 mates
    {34, "8/8/8/8/4N3/8/7p/5K1k w - - 0 1", 1, 1, 5},   // Ng3 mates
    {34, "7k/8/8/8/4p3/8/3N4/K7 w - - 0 1", 1, 0, 5},   // the knight takes the pawn
    {34, "8/8/8/4k3/2K5/3p4/8/N7 w - - 0 1", 1, 0, 5},  // ... or the king
    {34, "k7/8/8/4p3/8/8/4K3/7N w - - 0 1", 1, 0, 0},   // the king stops it
    {34, "7N/8/8/8/8/8/p7/k1K5 w - - 0 1", 1, 0, 5},    // the box without a mate
    {34, "7N/8/8/8/8/8/p7/k1K5 b - - 0 1", 1, 0, 5},    // stalemate
    {34, "7N/8/8/8/8/8/p1K5/k7 w - - 0 1", 0, 0, 5},    // our king not on its rank
    {34, "8/8/8/8/8/8/p7/kNK5 b - - 0 1", 0, 0, 5},     // the pawn can take the knight
    {34, "7N/8/8/8/8/8/4p3/2K1k3 b - - 0 1", 0, 0, 5},  // not a rook pawn
    {34, "8/8/3k4/8/4p3/8/8/N6K w - - 0 1", 1, -2, 5},
    {34, "8/8/3k4/4p3/8/8/8/N6K b - - 0 1", 1, -2, 0},
    {34, "3k4/8/8/8/4p3/8/8/N6K w - - 0 1", 0, 0, 5},   // king on the edge
    // 36: bishop against pawn.
    {36, "8/4p3/3k4/8/8/8/8/B6K w - - 0 1", 1, 0, 5},   // pawn unmoved
    {36, "8/8/3k4/8/4p3/8/2B5/7K w - - 0 1", 1, 0, 5},  // the bishop takes it
    {36, "8/8/3k4/4p3/8/8/8/1B5K b - - 0 1", 1, -2, 0},
    {36, "8/8/3k4/8/8/4p3/8/1B5K b - - 0 1", 1, -2, 5},
    {36, "3k4/8/8/4p3/8/8/8/1B5K w - - 0 1", 0, 0, 0},  // king on the edge
    // 38: rook against bishop.
    {38, "8/8/3k4/8/8/3K4/8/R5b1 w - - 0 1", 1, 2, 0},
    {38, "8/8/3k4/8/8/8/1R6/K5b1 b - - 0 1", 1, 0, 0},  // king and rook in the corner
    {38, "8/8/3k4/8/8/8/1R6/K5b1 w - - 0 1", 0, 0, 0},
    {38, "8/8/3k4/8/8/8/8/KR3b2 b - - 0 1", 0, 0, 0},   // the rook attacks the bishop
};
// clang-format on

}  // namespace

TEST(Endgame, MirrorFen) {
    EXPECT_EQ(mirrorFen("8/8/4k3/3R4/8/8/8/K7 b - - 0 1"), "k7/8/8/8/3r4/4K3/8/8 w - - 0 1");
}

TEST(Endgame, RecognisersAndTheirMirrors) {
    for (const Case& c : cases) {
        std::string fens[2] = {c.fen, mirrorFen(c.fen)};
        for (int side = 0; side < 2; ++side) {
            const std::string& fen = fens[side];
            int sign = side ? -1 : 1;
            int material = side ? mirrorClass(c.material) : c.material;
            int32_t flag = c.flag == FlagUnset ? c.flag : sign * c.flag;
            EXPECT_EQ(classifyMaterial(boardFromFen(fen.c_str())), material) << fen;
            Verdict v = probe(fen);
            EXPECT_EQ(v.found, c.found) << fen;
            EXPECT_EQ(v.result, sign * c.result) << fen;
            EXPECT_EQ(v.flag, flag) << fen;
        }
    }
}

// Material that no class covers: not recognised, result and flag reset.
TEST(Endgame, UncoveredMaterialResetsTheVerdict) {
    for (const char* fen :
         {"8/8/3k4/pp6/PP6/3K4/8/8 w - - 0 1", "8/8/3k4/p4q2/P7/3K4/8/4Q3 w - - 0 1",
          "8/8/3k4/1bb5/8/3K4/8/NN6 w - - 0 1"}) {
        int32_t result = 7, flag = 7;
        EXPECT_EQ(probeEndgame(boardFromFen(fen), result, flag), 0) << fen;
        EXPECT_EQ(result, 0);
        EXPECT_EQ(flag, FlagUnset);
    }
}

TEST(Endgame, KingSafeSquares) {
    Board& stalemate = boardFromFen("k7/8/K7/8/8/8/8/1R6 b - - 0 1");
    EXPECT_EQ(kingSafeSquares(stalemate, stalemate.black, stalemate.white), 0ull);
    Board& open = boardFromFen("8/8/4k3/3R4/8/8/8/K7 b - - 0 1");
    // Off the rook's rank and file, and onto the undefended rook.
    EXPECT_EQ(kingSafeSquares(open, open.black, open.white), bit(D5) | bit(E7) | bit(F7) | bit(F6));
}

TEST(Endgame, UnstoppablePawns) {
    // The square rule for the side to move, and a clear path.
    EXPECT_TRUE(whitePawnUnstoppable(boardFromFen("8/8/8/4P3/k7/8/8/7K w - - 0 1")));
    EXPECT_FALSE(whitePawnUnstoppable(boardFromFen("8/8/8/4P3/k7/8/8/7K b - - 0 1")));
    EXPECT_FALSE(whitePawnUnstoppable(boardFromFen("8/8/4K3/4P3/k7/8/8/8 w - - 0 1")));
    EXPECT_TRUE(whitePawnSquareUnstoppable(boardFromFen("8/8/8/4P3/k7/8/8/7K w - - 0 1"), E5));
    EXPECT_TRUE(blackPawnUnstoppable(boardFromFen("7k/8/8/K7/4p3/8/8/8 b - - 0 1")));
    EXPECT_FALSE(blackPawnUnstoppable(boardFromFen("7k/8/8/K7/4p3/8/8/8 w - - 0 1")));
    EXPECT_FALSE(blackPawnUnstoppable(boardFromFen("8/8/8/K7/4p3/4k3/8/8 b - - 0 1")));
    EXPECT_TRUE(blackPawnSquareUnstoppable(boardFromFen("7k/8/8/K7/4p3/8/8/8 b - - 0 1"), E4));
    // One of several pawns is enough.
    EXPECT_TRUE(whitePawnUnstoppable(boardFromFen("8/8/8/4P3/k7/8/P7/7K w - - 0 1")));
}

TEST(Endgame, WrongRookPawn) {
    const char* wrong[] = {"k7/8/8/8/P7/8/8/2B1K3 w - - 0 1", "1k6/8/8/8/P7/8/8/4K3 w - - 0 1",
                           "8/6k1/8/8/7P/8/8/4KB2 w - - 0 1", "7k/8/8/8/7P/8/7P/4K3 w - - 0 1"};
    const char* right[] = {"k7/8/8/8/P7/8/8/4KB2 w - - 0 1", "8/8/k7/8/P7/8/8/2B1K3 w - - 0 1",
                           "8/6k1/8/8/7P/8/8/2B1K3 w - - 0 1", "k7/8/8/8/P7/8/1P6/4K3 w - - 0 1"};
    for (const char* fen : wrong) {
        EXPECT_TRUE(wrongRookPawnWhite(boardFromFen(fen))) << fen;
        EXPECT_FALSE(wrongRookPawnBlack(boardFromFen(fen))) << fen;
        std::string mirrored = mirrorFen(fen);
        EXPECT_TRUE(wrongRookPawnBlack(boardFromFen(mirrored.c_str()))) << mirrored;
    }
    for (const char* fen : right) {
        EXPECT_FALSE(wrongRookPawnWhite(boardFromFen(fen))) << fen;
        std::string mirrored = mirrorFen(fen);
        EXPECT_FALSE(wrongRookPawnBlack(boardFromFen(mirrored.c_str()))) << mirrored;
    }
}

TEST(Endgame, QueenVersusSeventh) {
    for (const char* fen : {"4q3/PK6/8/8/8/8/8/3k4 w - - 0 1", "4q3/1KP5/8/8/8/8/8/3k4 b - - 0 1",
                            "6K1/5P2/8/8/8/8/8/q2k4 w - - 0 1", "8/6KP/8/8/8/8/q7/3k4 b - - 0 1"}) {
        EXPECT_TRUE(queenVersusSeventhDraw(boardFromFen(fen), White)) << fen;
        EXPECT_FALSE(queenVersusSeventhDraw(boardFromFen(fen), Black)) << fen;
        std::string mirrored = mirrorFen(fen);
        EXPECT_TRUE(queenVersusSeventhDraw(boardFromFen(mirrored.c_str()), Black)) << mirrored;
    }
    // A centre pawn, or the king too far.
    EXPECT_FALSE(queenVersusSeventhDraw(boardFromFen("4q3/1K1P4/8/8/8/8/8/3k4 w - - 0 1"), White));
    EXPECT_FALSE(queenVersusSeventhDraw(boardFromFen("4q3/P7/2K5/8/8/8/8/3k4 w - - 0 1"), White));
}
