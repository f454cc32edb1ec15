// Recognisers: one hand-worked position for each rule, outcome and side to
// move, checked again on its colour mirror.
#include "eval/endgame.h"

#include <span>
#include <string>

#include "test_support.h"

namespace {

struct Case {
    const char* material;  // White first, for the reader
    const char* fen;
    int found;
    int32_t result, flag;
};

// clang-format off
const Case upToFourMen[] = {
    {"KPPvKPP", "8/8/3k4/pp6/PP6/3K4/8/8 w - - 0 1", 0, 0, 5},  // uncovered: verdict reset
    {"KNvK", "8/8/4k3/8/8/3KN3/8/8 b - - 0 1", 1, 0, 5},
    {"KRvK", "8/8/4k3/8/8/3K4/8/R7 w - - 0 1", 1, 1, 1},
    {"KQvK", "7k/8/6Q1/8/8/8/8/K7 b - - 0 1", 1, 0, 1},       // stalemate
    {"KRvK", "k6R/8/K7/8/8/8/8/8 b - - 0 1", 1, 1, 1},        // mate
    {"KPvK", "8/8/8/8/3kP3/8/8/K7 b - - 0 1", 1, 0, 5},       // the king takes the pawn
    {"KPvK", "1k6/8/8/8/8/8/P7/7K w - - 0 1", 1, 0, 5},       // b8 holds an a-pawn
    {"KPvK", "8/8/8/4P3/k7/8/8/7K w - - 0 1", 1, 1, 5},       // square rule, pawn to move
    {"KPvK", "8/8/8/4P3/k7/8/8/7K b - - 0 1", 1, 2, 5},       // square rule, king to move
    {"KPvK", "8/8/4K3/4P3/k7/8/8/8 w - - 0 1", 1, 2, 5},      // own king on the path
    {"KNNvK", "7k/8/5K2/8/8/8/8/NN6 w - - 0 1", 1, 2, 0},
    {"KNNvK", "8/8/8/8/K1k5/8/8/6NN w - - 0 1", 1, 0, 0},
    {"KBvKB", "7k/8/5K2/8/8/8/8/1bB5 w - - 0 1", 0, 0, 0},
    {"KBBvK", "8/8/3k4/8/8/3K4/8/2B2B2 w - - 0 1", 1, 1, 5},
    {"KBBvK", "8/8/3k4/8/8/3K4/8/2B2B2 b - - 0 1", 1, 2, 5},
    {"KBBvK", "8/8/3k4/8/8/3K4/8/3B1B2 w - - 0 1", 1, 0, 5},  // both on light squares
    {"KBPvK", "k7/8/8/8/P7/8/8/2B1K3 w - - 0 1", 1, 0, 5},    // the wrong bishop
    {"KBPvK", "8/8/4k3/8/4P3/3K4/8/2B5 w - - 0 1", 1, 1, 5},  // king defends
    {"KBPvK", "k7/8/8/8/P7/8/8/4KB2 w - - 0 1", 1, 2, 5},     // the right bishop
    {"KBPvK", "8/8/4k3/8/4P3/3K4/8/2B5 b - - 0 1", 1, 2, 5},
    {"KRRvK", "8/8/3k4/8/8/3K4/8/R6R w - - 0 1", 1, 1, 5},
    {"KRRvK", "8/8/3k4/2R5/8/3K4/8/7R b - - 0 1", 1, 2, 5},   // rook next to the king
    {"KRPvK", "k6R/8/K7/8/8/8/4P3/8 b - - 0 1", 1, 1, 5},     // in check
    {"KBNvK", "8/8/3k4/8/8/3K4/8/2B3N1 w - - 0 1", 1, 1, 5},
    {"KBNvK", "8/8/3k4/8/8/3K4/8/2B3N1 b - - 0 1", 1, 2, 5},
    {"KQvKN", "8/8/3k4/8/8/3K4/8/Q5n1 w - - 0 1", 1, 1, 5},
    {"KQvKN", "8/8/3k4/8/8/3K4/8/Q5n1 b - - 0 1", 1, 2, 5},
    {"KQvKN", "8/8/3k4/8/8/8/8/Q5nK b - - 0 1", 0, 0, 5},     // king in the corner
    {"KQvKB", "8/8/3k4/8/8/3K4/8/Q5b1 w - - 0 1", 1, 1, 5},
    {"KQvKB", "8/8/1b6/7k/3Q4/8/5K2/8 w - - 0 1", 1, 2, 5},   // king and bishop on diagonals
    {"KQvKB", "8/8/1b6/7k/3Q4/8/8/K7 w - - 0 1", 0, 0, 5},    // ... and our king cornered
    {"KPPvK", "8/8/3k4/8/8/3KP3/5P2/8 w - - 0 1", 1, 1, 5},   // one defends the other
    {"KPPvK", "8/8/3k4/8/8/3KP3/5P2/8 b - - 0 1", 1, 2, 5},
    {"KQvKP", "8/8/3k4/7p/8/3K4/8/Q7 w - - 0 1", 1, 1, 5},    // pawn far back
    {"KQvKP", "7K/8/8/8/8/8/pk6/4Q3 w - - 0 1", 1, 0, 5},     // the pawn on its seventh holds
    {"KQvKP", "8/8/8/8/8/3K4/pk6/4Q3 w - - 0 1", 1, 2, 5},
    {"KQvKP", "8/1k6/8/8/8/4p3/3Q4/7K b - - 0 1", 1, -2, 5},  // the pawn takes the queen
    {"KQvKP", "8/1k6/8/8/8/4p3/8/3Q3K b - - 0 1", 0, 0, 5},
    {"KRvKP", "R7/8/8/7k/4p3/8/4K3/8 w - - 0 1", 1, 1, 5},    // king on the path
    {"KRvKP", "K7/8/8/8/8/3k4/4p2R/8 w - - 0 1", 1, 0, 5},    // guarded pawn on rank 2
    {"KRvKP", "K6R/8/8/8/8/3k4/4p3/8 w - - 0 1", 1, -2, 5},
    {"KRvKP", "8/8/8/8/7K/3k4/4p2R/8 w - - 0 1", 1, 2, 5},    // our king only three away
    {"KRvKP", "4R3/8/8/8/4p3/3k4/8/K7 b - - 0 1", 1, 2, 5},   // rook behind the pawn
    {"KRvKP", "8/8/7K/8/8/8/3kp3/R7 b - - 0 1", 1, -2, 5},    // rank 2, kings four apart
    {"KRvKP", "8/8/8/6K1/8/8/3kp3/R7 b - - 0 1", 0, 0, 5},    // rank 2, kings three apart
    {"KNPvK", "k7/P7/8/8/8/8/8/N6K w - - 0 1", 1, 0, 5},
    {"KNPvK", "8/8/4k3/8/4P3/8/3N4/7K w - - 0 1", 1, 1, 5},   // knight defends from behind
    {"KNPvK", "8/8/3Nk3/8/4P3/8/8/7K w - - 0 1", 1, 2, 5},    // ... from in front
    {"KQvKR", "8/8/3k4/8/8/3K4/8/Q6r w - - 0 1", 1, 1, 5},
    {"KQvKR", "8/3r4/3k4/8/8/3K3Q/8/8 w - - 0 1", 1, 2, 5},   // rook by its king, queen on our rank
    {"KQvKR", "8/8/3k4/8/8/3K4/8/Q6r b - - 0 1", 0, 0, 5},
    {"KRvKN", "8/8/3k4/8/8/3K4/8/R5n1 w - - 0 1", 1, 2, 5},
    {"KRvKN", "8/8/3k4/8/8/8/8/R5nK b - - 0 1", 0, 0, 5},
    {"KPvKP", "8/2k5/3p4/8/4P3/5K2/8/8 w - - 0 1", 1, 0, 5},  // blocked, both pawns guarded
    {"KPvKP", "8/2k5/2p5/8/4P3/5K2/8/8 w - - 0 1", 0, 0, 5},  // not blocked
    {"KPvKP", "8/4K3/3p4/8/8/8/P5k1/8 w - - 0 1", 1, 2, 5},
    {"KRvKR", "8/8/3k4/8/8/8/R6r/K7 w - - 0 1", 1, 1, 0},
    {"KRvKR", "8/8/3k4/8/8/3K4/R7/7r w - - 0 1", 1, 2, 0},
    {"KRvKR", "7r/8/3k4/8/8/8/R7/3K4 w - - 0 1", 0, 0, 0},
    {"KQvKQ", "8/8/3k4/7q/8/8/8/K6Q w - - 0 1", 1, 2, 0},     // the queen falls, but our king is cornered
    {"KQvKQ", "8/8/3k4/7q/8/8/8/1K5Q w - - 0 1", 1, 1, 0},    // the queen falls
    {"KQvKQ", "8/8/3k4/8/8/3K4/8/3q3Q w - - 0 1", 0, 0, 0},   // in check
    {"KNvKP", "8/8/8/8/3N4/8/p1K5/k7 w - - 0 1", 1, 1, 5},    // Nb3 mates
    {"KNvKP", "k7/8/8/4p3/8/8/4K3/7N w - - 0 1", 1, 0, 0},    // the king stops it
    {"KNvKP", "7N/8/8/8/8/8/p7/k1K5 w - - 0 1", 1, 0, 5},     // the box without a mate
    {"KNvKP", "7N/8/8/8/8/8/p1K5/k7 w - - 0 1", 0, 0, 5},     // our king not on its rank
    {"KNvKP", "8/8/3k4/4p3/8/8/8/N6K b - - 0 1", 1, -2, 0},
    {"KBvKP", "8/4p3/3k4/8/8/8/8/B6K w - - 0 1", 1, 0, 5},    // pawn unmoved
    {"KBvKP", "8/8/3k4/8/8/4p3/8/1B5K b - - 0 1", 1, -2, 5},
    {"KBvKP", "3k4/8/8/4p3/8/8/8/1B5K w - - 0 1", 0, 0, 0},   // king on the edge
    {"KRvKB", "8/8/3k4/8/8/3K4/8/R5b1 w - - 0 1", 1, 2, 0},
    {"KRvKB", "8/8/3k4/8/8/8/1R6/K5b1 b - - 0 1", 1, 0, 0},   // king and rook in the corner
    {"KRvKB", "8/8/3k4/8/8/8/1R6/K5b1 w - - 0 1", 0, 0, 0},
};

const Case fiveAndSixMen[] = {
    {"KRPvKR", "8/8/r3k3/8/4P3/8/6K1/1R6 w - - 0 1", 1, 2, 0},    // defence (flag 0): rook on its third rank
    {"KRPvKR", "r7/8/4k3/8/4P3/8/6K1/1R6 w - - 0 1", 1, 2, 5},    // ... first rank
    {"KRPvKR", "8/4k3/4P3/8/8/8/r5K1/7R w - - 0 1", 0, 0, 0},     // sixth rank, checking from afar
    {"KRPvKR", "8/8/r3k3/8/4P3/8/6K1/1R6 b - - 0 1", 1, -2, 0},   // king in front, rook away
    {"KRPvKR", "8/8/3rk3/8/4P3/8/6K1/1R6 b - - 0 1", 0, 0, 0},    // rook next to its king
    {"KRPvKR", "8/8/3k4/8/4P3/8/r7/5RK1 w - - 0 1", 0, 0, 5},     // king on the edge, rook next to it
    {"KBPvKB", "8/8/3k4/8/4P3/3K4/8/2B3b1 w - - 0 1", 1, 2, 5},   // same-coloured bishops
    {"KBPvKB", "8/7b/4k3/8/4P3/8/8/2B4K w - - 0 1", 0, 0, 0},     // opposite, king in front; ours on the edge
    {"KBPvKB", "k7/8/8/8/P7/3K4/8/2B3b1 b - - 0 1", 1, 0, 5},     // wrong rook pawn
    {"KBPvKB", "8/7b/4k3/8/4P3/5K2/8/2B5 b - - 0 1", 1, 0, 0},    // blockade
    {"KPPvKP", "k7/8/8/3pK3/8/7P/6P1/8 w - - 0 1", 1, 1, 5},      // loose pawn, pawns chained
    {"KPPvKP", "k7/8/8/3pK3/8/6PP/8/8 w - - 0 1", 1, 2, 5},       // side by side
    {"KPPvKP", "8/8/2k5/3pK3/8/7P/6P1/8 w - - 0 1", 0, 0, 5},     // pawn defended
    {"KQPvKQ", "8/8/3k4/8/4P3/3K4/8/Q6q w - - 0 1", 1, 2, 5},
    {"KQPvKQ", "8/7q/4k3/8/4P3/3K4/8/Q7 b - - 0 1", 1, -2, 5},    // king in front
    {"KQPvKQ", "8/8/q3k3/8/4P3/5K2/8/Q7 b - - 0 1", 0, 0, 5},     // queens meet, queen sees king
    {"KRPvKN", "8/8/8/2k5/8/4P3/3K4/R5n1 w - - 0 1", 1, 1, 5},    // pawn defended, not attacked
    {"KRPvKN", "8/8/8/8/8/4P3/3K1k2/R5n1 w - - 0 1", 1, 2, 5},    // attacked
    {"KRPvKB", "8/8/8/2k5/8/4P3/1b1K4/R7 w - - 0 1", 1, 2, 5},    // bishop attacks the rook
    {"KBPvKP", "1k6/1p6/1P6/8/8/3K4/8/5B2 w - - 0 1", 1, 0, 5},   // b6 blocked, king on b8
    {"KBPvKP", "1kB5/1p6/1P6/8/8/3K4/8/8 w - - 0 1", 0, 0, 5},    // the king attacks the bishop
    {"KBPvKP", "8/8/4pB2/4P3/8/2k5/8/6K1 w - - 0 1", 1, 1, 5},    // bishop guarded by the pawn
    {"KBPvKP", "1k6/8/pB6/P7/8/8/8/6K1 w - - 0 1", 1, 0, 0},      // wrong rook pawn, blocked
    {"KBPvKP", "k7/8/8/p7/PB6/8/8/6K1 w - - 0 1", 1, -2, 0},      // ... the pawn attacks a man
    {"KRRvKR", "7r/8/3k4/8/8/3K4/8/R6R w - - 0 1", 1, 1, 5},
    {"KRRvKB", "8/8/3k4/8/8/8/8/R2K2bR w - - 0 1", 1, 2, 5},      // king on the edge
    {"KPPPvK", "8/8/3k4/8/8/1P6/P5P1/4K3 w - - 0 1", 1, 1, 5},    // one pawn defends another
    {"KPPPvK", "8/8/8/P7/8/6k1/2P1P3/K7 b - - 0 1", 1, 2, 5},
    {"KNPPvK", "8/8/3k4/8/8/8/4PP2/4K1N1 w - - 0 1", 1, 1, 5},    // king defends a pawn
    {"KNPPvK", "8/8/3k4/8/8/8/4PP2/4K1N1 b - - 0 1", 1, 2, 5},
    {"KBBPvK", "8/8/3k4/8/8/3K4/4P3/2B2B2 w - - 0 1", 1, 1, 5},   // bishops on both colours
    {"KBBPvK", "8/8/3k4/8/8/3K4/4P3/2B2B2 b - - 0 1", 1, 2, 5},
    {"KRRvKP", "8/8/3k4/8/4p3/8/8/R5KR b - - 0 1", 1, 1, 5},
    {"KRRvKP", "7k/6p1/8/8/8/8/R7/R5K1 w - - 0 1", 0, 0, 5},      // cornered king guards its pawn
    {"KNNPvK", "8/8/3k4/8/8/8/4P3/3K1NN1 w - - 0 1", 1, 1, 5},    // king defends the pawn
    {"KNNPvK", "3k4/8/8/8/8/8/4P3/3K1NN1 b - - 0 1", 0, 0, 5},    // king on the edge
    {"KNNPvK", "8/8/3k4/8/8/8/7P/4N1NK w - - 0 1", 1, 2, 5},      // king defends it from the corner
    {"KQvKNN", "8/8/3k4/8/8/3K4/8/Q4nn1 w - - 0 1", 1, 2, 5},
    {"KRBvKN", "8/8/3k4/8/8/3K4/8/R1B3n1 w - - 0 1", 1, 1, 5},
    {"KRBvKN", "8/8/3k4/8/8/3K4/8/R1B3n1 b - - 0 1", 1, 2, 5},
    {"KRBvKN", "8/8/3k4/8/8/8/8/R1B1K1n1 b - - 0 1", 0, 0, 5},    // king on the edge
    {"KNPvKB", "8/8/3k4/8/4P3/3K4/8/N5b1 w - - 0 1", 1, 2, 5},
    {"KNPvKB", "8/8/3k4/8/4P3/8/8/N5bK w - - 0 1", 0, 0, 5},      // king in the corner
    {"KNPvKB", "8/7b/3k4/8/4P3/3K4/8/N7 b - - 0 1", 1, 0, 5},     // bishop attacks the pawn
    {"KNPvKB", "8/7b/3k4/8/4P3/8/8/N6K b - - 0 1", 1, -2, 5},     // ... king in the corner
    {"KQBvKQ", "7q/8/3k4/8/8/3K4/8/Q1B5 w - - 0 1", 1, 2, 0},
    {"KQBvKQ", "7q/8/3k4/8/8/8/8/Q1B1K3 w - - 0 1", 0, 0, 0},     // king on the edge
    {"KRvKPP", "8/6k1/8/3p1p2/3K1R2/8/8/8 w - - 0 1", 1, 2, 5},   // both pawns blocked
    {"KRvKPP", "K7/8/8/8/8/3p1k2/4p3/7R w - - 0 1", 1, -2, 5},    // king beside a pawn on rank 2
    {"KRNvKP", "8/8/3k4/8/8/4p3/8/RN2K3 w - - 0 1", 1, 1, 5},     // king on the pawn's path
    {"KRBvKP", "7B/8/3k4/8/4p3/8/8/R5K1 w - - 0 1", 1, 2, 5},     // only the rook reaches the path
    {"KBvKNN", "8/8/3k4/8/8/3K4/8/1B4nn w - - 0 1", 1, 0, 0},
    {"KBvKNN", "8/8/3k4/8/8/8/8/1B2K1nn w - - 0 1", 1, -2, 0},    // the bishop's king on the edge
    {"KRNvKR", "r7/8/3k4/8/8/3K4/8/RN6 w - - 0 1", 1, 2, 5},
    {"KBNvKP", "8/8/3k4/8/8/4p3/8/1BN1K3 w - - 0 1", 1, 1, 5},    // king on the pawn's path
    {"KBBvKP", "8/8/3k4/8/8/4p3/8/2B1K1B1 w - - 0 1", 1, 2, 5},   // ... bishops on one colour
    {"KRNvKB", "8/8/3k4/8/8/3K4/8/RN5b w - - 0 1", 1, 1, 5},
    {"KNPvKP", "8/8/3k4/8/8/4p3/P7/4K1N1 w - - 0 1", 1, 2, 5},    // king on the path, pawn caught
    {"KQRvKN", "8/8/3k4/8/8/3K4/8/QR4n1 w - - 0 1", 1, 1, 5},
    {"KQQvKP", "8/8/3k4/8/5p2/8/3K4/QQ6 b - - 0 1", 1, 2, 5},     // king off the edge, no queen in line
    {"KQQvKQ", "3q2k1/8/8/8/8/3K4/7Q/1Q6 w - - 0 1", 0, 0, 5},    // in check, a queen in line
    {"KQNvKN", "1k6/8/4n3/8/3Q4/8/8/1N5K b - - 0 1", 1, 0, 5},    // the knight forks the queen
    {"KQRvKB", "8/8/3k4/8/8/3K4/8/QR4b1 w - - 0 1", 1, 1, 5},
    {"KQRPvKB", "8/8/3k4/8/8/3KQ3/1P6/R5b1 w - - 0 1", 1, 2, 5},  // the bishop attacks the queen
    {"KRBvKB", "8/8/3k4/8/8/3K4/8/RB4b1 b - - 0 1", 1, 2, 5},
    {"KQRvKB", "8/8/3k4/8/8/8/8/QR4bK b - - 0 1", 0, 0, 5},       // king on the edge
    {"KQQvKR", "8/8/3k4/K7/8/8/8/QQ5r w - - 0 1", 1, 1, 5},       // two queens, king on the edge
    {"KQRvKR", "8/8/3k4/8/8/3K4/8/RQ5r w - - 0 1", 1, 2, 5},      // the queen attacked
    {"KQRPvKR", "7r/8/3k4/8/8/3K4/1P6/QR6 b - - 0 1", 1, 1, 5},   // nothing attacked
    {"KQRvKR", "8/8/3k4/8/8/3K4/8/QR5r b - - 0 1", 0, 0, 5},      // the rook attacks a rook
    {"KRPvKP", "8/4P3/1k6/8/3p4/8/8/R3K3 w - - 0 1", 1, 1, 5},    // pawn on its seventh
    {"KRPvKP", "7R/4P3/8/k7/8/8/1p6/6K1 w - - 0 1", 0, 0, 5},     // ... but the other on rank 2
    {"KRPvKP", "8/4P3/1k6/8/8/3p4/8/R3K3 w - - 0 1", 1, 2, 5},    // ... rank 3; the rook reaches the path
    {"KQPvKP", "8/8/2k5/8/4p3/8/6P1/Q5K1 b - - 0 1", 1, 1, 5},
    {"KRPvKP", "8/8/2k5/8/4p3/8/6P1/R5K1 b - - 0 1", 1, 2, 5},    // no queen
    {"KQRvKQ", "8/8/3k4/8/8/3K4/8/QR5q w - - 0 1", 1, 1, 5},
    {"KQNvKP", "8/8/2k5/8/4p3/8/8/QN4K1 b - - 0 1", 1, 1, 5},
    {"KQNvKP", "8/8/2k5/8/8/2p5/8/QN4K1 b - - 0 1", 1, 2, 5},     // pawn on c3
    {"KQNvKP", "8/8/2k5/8/4p3/3Q4/8/1N4K1 b - - 0 1", 0, 0, 5},   // the pawn attacks the queen
    {"KQNvKP", "4Q3/1k6/p7/1NK5/8/8/8/8 w - - 0 1", 1, 1, 5},
    {"KQvKPP", "8/6k1/8/4p3/2p1K3/2Q5/8/8 w - - 0 1", 1, 1, 5},   // both pawns blocked
    {"KQvKPP", "8/8/6k1/4p3/2p1K3/8/8/7Q w - - 0 1", 0, 0, 5},
    {"KNPvKN", "8/8/3k4/8/4P3/3K4/8/1N4n1 w - - 0 1", 1, 2, 5},
    {"KNPvKN", "8/8/3k4/8/4P3/8/8/1N4nK w - - 0 1", 0, 0, 5},     // White king in the corner
    {"KNPvKN", "8/8/3k1n2/8/4P3/3K4/8/1N6 b - - 0 1", 1, 0, 5},   // the knight attacks the pawn
    {"KNPvKN", "8/8/4k3/8/4P3/8/8/1N4nK b - - 0 1", 1, -2, 5},    // White king in the corner
    {"KRvKNN", "8/8/3k1n2/8/4n3/8/2K5/R7 w - - 0 1", 1, 0, 0},    // both kings free, knights linked
    {"KRvKNN", "8/8/3k4/5n2/4n3/8/2K5/R7 w - - 0 1", 1, 2, 0},
    {"KRvKNN", "8/8/3k1n2/8/4n3/8/8/R1K5 b - - 0 1", 1, -2, 0},   // White king on the edge
    {"KRvKNN", "8/8/3k4/5n2/4n3/8/8/R1K5 w - - 0 1", 0, 0, 0},
    {"KQNvKQ", "8/8/3k4/8/8/3K4/8/QN5q w - - 0 1", 1, 2, 0},
    {"KQNvKQ", "8/8/3k4/8/8/8/3K4/QN5q b - - 0 1", 1, -2, 0},     // kings four apart
    {"KQNvKQ", "8/8/3k4/8/8/3K4/8/QN5q b - - 0 1", 0, 0, 0},      // ... three apart
    {"KQvKRR", "7r/7r/3k4/8/8/3K4/8/Q7 w - - 0 1", 1, 2, 0},
    {"KQvKRR", "8/r5r1/3k4/8/8/3K4/8/Q7 w - - 0 1", 0, 0, 0},     // a rook on the queen's file
    {"KQvKRR", "8/3r4/3kr3/8/8/3K4/8/Q7 b - - 0 1", 1, -2, 0},    // both rooks by the king
    {"KQvKNP", "8/8/3k4/4p3/8/3K4/8/Q5n1 w - - 0 1", 1, 1, 5},    // pawn on rank 5
    {"KQvKNP", "6n1/8/3k4/6K1/8/4p3/8/2Q5 w - - 0 1", 1, 2, 5},   // the queen attacks the pawn
    {"KQvKNP", "6n1/8/3k4/8/8/4p3/8/Q3K3 w - - 0 1", 0, 0, 5},    // below it, but on the edge
    {"KNNvKP", "8/8/3k4/8/8/4p3/8/1NN3K1 w - - 0 1", 1, -2, 5},   // pawn on rank 3
    {"KNNvKP", "8/8/3k4/8/4p3/8/8/1NN3K1 w - - 0 1", 0, 0, 5},    // ... rank 4
    {"KQvKRN", "7r/8/3k4/8/8/3K4/8/Q5n1 w - - 0 1", 1, 2, 5},
    {"KQvKRN", "r7/8/3k4/8/8/3K4/8/Q5n1 w - - 0 1", 0, 0, 5},     // a rook on the queen's file
    {"KQvKRN", "r7/8/3k4/8/8/3K4/8/Q5n1 b - - 0 1", 1, -1, 5},    // the rook takes the queen
    {"KQvKRN", "r7/8/3k4/8/8/8/1K6/Q5n1 b - - 0 1", 1, -2, 5},    // ... defended
    {"KBNvKB", "8/8/3k4/8/8/3K4/8/1BN3b1 b - - 0 1", 1, 2, 0},
    {"KBNvKN", "8/8/3k4/8/8/8/8/1BN1K1n1 w - - 0 1", 0, 0, 0},    // king on the edge
    {"KBBvKN", "8/8/3k1n2/8/8/3KB3/8/2B5 b - - 0 1", 1, 0, 5},    // bishops on one colour
    {"KBBvKN", "8/8/3k1n2/8/8/4B3/8/K1B5 b - - 0 1", 1, -2, 5},   // ... White king in the corner
    {"KBBvKN", "8/8/3k2n1/3B4/3K4/8/8/2B5 b - - 0 1", 0, 0, 5},   // defended
    {"KBBvKN", "8/8/3k4/3B4/8/3K4/4n3/2B5 w - - 0 1", 1, 2, 5},   // king and knight both attack
    {"KBBvKN", "8/8/3k4/8/8/3K4/8/2B2Bn1 w - - 0 1", 1, 1, 5},
    {"KRvKBB", "6k1/8/8/8/3K4/8/7b/R4b2 w - - 0 1", 1, 2, 0},     // the rook attacks a bishop
    {"KRvKBB", "6k1/8/8/8/6K1/2b5/8/R4b2 w - - 0 1", 0, 0, 0},    // ... but is attacked
    {"KRvKBB", "8/8/3k4/8/8/3K4/8/R5bb b - - 0 1", 1, -2, 0},
    {"KQvKBN", "8/8/3k4/8/8/3K4/8/Q5bn w - - 0 1", 1, 2, 5},
    {"KQvKBN", "8/8/3k4/8/8/2bK4/8/Q6n w - - 0 1", 0, 0, 5},      // the bishop attacks the queen
    {"KQvKBN", "8/8/3k4/8/8/1n1K4/8/Q5b1 b - - 0 1", 1, -2, 5},   // the knight attacks the queen
    {"KQvKRP", "7r/8/3k4/4p3/8/3K4/8/Q7 w - - 0 1", 1, 2, 5},
    {"KQvKRP", "8/8/3k4/4p3/8/3K4/8/Q6r w - - 0 1", 0, 0, 5},     // the rook attacks the queen
    {"KRNvKN", "8/8/3k4/8/8/3K4/8/RN4n1 w - - 0 1", 1, 1, 5},
    {"KRNvKN", "8/4R3/3k4/8/8/3K4/8/1N4n1 w - - 0 1", 1, 2, 5},   // a rook next to the king
    {"KRNvKN", "8/8/3k4/8/8/3K4/8/RN4n1 b - - 0 1", 1, 2, 5},
    {"KRNvKN", "8/8/3k4/8/8/8/8/RN2K1n1 b - - 0 1", 0, 0, 5},     // king on the edge
    {"KQRvKP", "8/8/3k4/8/4p3/8/8/QR4K1 w - - 0 1", 1, 1, 5},
    {"KQRvKP", "8/8/3k4/8/4p3/8/8/QR4K1 b - - 0 1", 1, 1, 5},
    {"KQRvKP", "k7/2Q5/8/8/4p3/8/8/6KR b - - 0 1", 0, 0, 5},      // no king move
    {"KQvKBP", "8/8/3k4/4p3/8/3K4/8/Q5b1 w - - 0 1", 1, 1, 5},    // pawn on rank 5
    {"KQvKBP", "8/8/3k4/4p3/8/2bK4/8/Q7 w - - 0 1", 0, 0, 5},     // the bishop attacks the queen
    {"KNNvKN", "8/8/3k4/8/8/3K4/8/1NN3n1 w - - 0 1", 1, 0, 0},
    {"KNNvKN", "3k4/8/8/8/8/3K4/8/1NN3n1 b - - 0 1", 1, 2, 0},    // Black king on the edge
    {"KNNvKN", "8/8/3k4/8/8/8/8/1NN3nK w - - 0 1", 0, 0, 0},      // White king in the corner
    {"KNNNvK", "8/8/3k4/8/8/3K4/8/1NNN4 w - - 0 1", 1, 1, 5},
    {"KNNNvK", "8/8/3k4/8/8/3K4/8/NNN5 w - - 0 1", 1, 2, 5},      // a knight in the corner
    {"KRvKBN", "8/8/3k4/8/8/3K4/8/R5bn w - - 0 1", 1, 2, 0},
    {"KRvKBN", "8/8/3k4/8/8/2bK4/8/R6n w - - 0 1", 0, 0, 0},      // the bishop attacks the rook
    {"KRvKBN", "8/8/3k4/8/8/3K4/8/R5nb b - - 0 1", 1, -2, 0},
    {"KRvKBP", "7b/8/3k4/8/4p3/8/4K3/R7 w - - 0 1", 1, 2, 0},     // king below the pawn
    {"KRvKBP", "8/8/3k4/8/4p3/2b3K1/8/4R3 w - - 0 1", 0, 0, 0},   // attacked by the bishop
    {"KRvKBP", "8/8/3k4/8/4p3/2b5/6K1/R7 b - - 0 1", 1, -2, 0},
    {"KBBvKB", "8/8/3k4/8/8/3K4/8/2BB2b1 b - - 0 1", 1, -2, 0},
    {"KBBvKB", "3k4/8/8/8/8/3K4/8/2BB2b1 b - - 0 1", 0, 0, 0},    // Black king on the edge
    {"KBBvKB", "8/8/8/2K5/4B3/1bk5/8/2B5 w - - 0 1", 1, 2, 0},
    {"KQvKRB", "7r/8/3k4/8/8/3K4/8/Q6b w - - 0 1", 1, 2, 5},      // rook on a diagonal, bishop on the rank
    {"KQvKRB", "7r/6b1/3k4/8/8/3K4/8/Q7 w - - 0 1", 0, 0, 5},     // the bishop on the queen's diagonal
    {"KQvKRB", "8/8/3k4/8/8/3K4/8/Q5rb b - - 0 1", 1, -1, 5},     // the rook takes the queen
    {"KRBvKR", "7r/8/3k4/8/8/3K4/8/RB6 w - - 0 1", 1, 2, 0},
    {"KRBvKR", "7r/8/3k4/8/8/3K4/8/RB6 b - - 0 1", 0, 0, 0},
    {"KRBvKR", "7r/8/3k4/8/8/8/8/RB2K3 w - - 0 1", 0, 0, 5},      // king on the edge
    {"KBPvKN", "1k6/8/8/8/P7/4K3/8/2B3n1 b - - 0 1", 1, 0, 5},    // wrong rook pawn
    {"KBPvKN", "1k6/8/8/8/P7/4K3/8/2B3n1 w - - 0 1", 1, 2, 5},
    {"KBPvKN", "8/8/2k2n2/8/4P3/K7/8/2B5 b - - 0 1", 1, -2, 5},   // White king on the edge
    {"KBPvKN", "8/8/2k2n2/8/4P3/K7/8/2B5 w - - 0 1", 0, 0, 5},    // king on the edge
    {"KQBvKP", "8/8/3k4/8/4p3/8/8/QB4K1 w - - 0 1", 1, 1, 5},
    {"KQBvKP", "8/8/3k4/8/4p3/8/8/QB4K1 b - - 0 1", 1, 1, 5},
    {"KQBvKP", "8/8/8/2K4p/4B3/2k5/Q7/8 b - - 0 1", 0, 0, 5},     // no king move
    {"KNPvKR", "4r3/8/2k5/8/4P3/8/6K1/1N6 b - - 0 1", 1, -2, 5},  // rook behind the pawn
    {"KNPvKR", "8/8/2k5/8/r1N1P3/8/6K1/8 b - - 0 1", 0, 0, 5},    // the knight between
    {"KNvKPP", "8/6k1/8/3p1p2/3K1N2/8/8/8 w - - 0 1", 1, 0, 5},   // both pawns blocked
    {"KNvKPP", "8/8/8/3p1pk1/3K1N2/8/8/8 b - - 0 1", 1, -2, 5},   // ... the king attacks the knight
    {"KNvKPP", "6k1/8/8/3p1p2/3K1N2/8/8/8 w - - 0 1", 0, 0, 5},   // Black king on the edge
    {"KBvKPP", "8/6k1/8/3p1p2/3K1B2/8/8/8 w - - 0 1", 1, 0, 5},   // both pawns blocked
    {"KBvKPP", "6k1/8/8/3p1p2/3K1B2/8/8/8 w - - 0 1", 1, 2, 5},   // ... Black king on rank 8
    {"KBvKPP", "8/8/8/3p1p2/3K1B2/5k2/8/8 b - - 0 1", 1, -2, 5},  // ... the king attacks the bishop
    {"KBvKPP", "6k1/8/8/3p1p2/8/3K4/8/2B5 w - - 0 1", 0, 0, 5},   // Black king on the edge
    {"KQNPvKP", "8/8/3k4/8/4p3/8/1P6/QN4K1 w - - 0 1", 1, 1, 5},  // pawn on rank 4
    {"KQRRvKP", "8/8/3k4/8/8/4p3/8/QRR3K1 w - - 0 1", 0, 0, 5},   // path attacked, not occupied
    {"KPPPvKP", "8/6k1/8/4p3/2P5/1P2K3/P7/8 w - - 0 1", 1, 1, 5},  // two pawns defended
    {"KPPPvKP", "8/2k5/8/4p3/8/1P2K3/P5P1/8 w - - 0 1", 0, 0, 5},  // one, king further down
    {"KPPPvKP", "5k2/8/8/4p3/3P4/8/6PP/2K5 w - - 0 1", 1, 2, 5},   // is caught
    {"KBPvKBP", "k4b2/8/8/7p/P7/8/8/2B4K w - - 0 1", 1, 0, 5},
    {"KBPvKBP", "k4b2/8/8/7p/P7/8/8/3B3K w - - 0 1", 0, 0, 5},     // White's bishop is right
    {"KRPPvKR", "r7/7k/8/8/1P1R1P2/2K5/8/8 w - - 0 1", 1, 1, 5},   // split pawns, rook between
    {"KRPPvKR", "r7/7k/8/8/2PRP3/2K5/8/8 w - - 0 1", 0, 0, 5},     // ... only two files apart
    {"KRPPvKR", "k6r/8/P7/P1K5/2R5/8/8/8 b - - 0 1", 1, 0, 5},     // rook pawns, rook by its king
    {"KRPPvKR", "k6r/8/P7/P1K5/8/8/8/2R5 b - - 0 1", 1, -2, 5},
    {"KNNvKNN", "3k4/8/8/8/8/3K4/8/NN4nn b - - 0 1", 1, 0, 5},     // one king off the edge
    {"KNNvKNN", "3k4/8/8/8/8/8/8/NN1K2nn w - - 0 1", 0, 0, 5},
    {"KQQvKNN", "8/8/3k4/8/8/3K4/8/QQ4nn w - - 0 1", 1, 1, 5},
    {"KQQvKNN", "8/8/3k4/8/5n2/3K4/8/QQ5n w - - 0 1", 1, 2, 5},    // in check
    {"KQQvKNN", "8/8/3k4/8/8/8/8/QQ2K1nn b - - 0 1", 0, 0, 5},     // king on the edge
    {"KBPPvKB", "8/4k3/8/2b5/4P3/3BP3/6K1/8 w - - 0 1", 0, 0, 0},  // pawns below the king
    {"KBPPvKB", "8/4k3/2b5/8/4P3/3BP3/6K1/8 w - - 0 1", 0, 0, 5},  // ... bishops on one colour
};
// clang-format on

void expectVerdicts(const Case* cases, size_t count) {
    for (const Case& c : std::span(cases, count)) {
        const std::string fens[2] = {c.fen, mirrorFen(c.fen)};
        for (int side = 0; side < 2; ++side) {
            int32_t result = 7, flag = 7;
            EXPECT_EQ(probeEndgame(boardFromFen(fens[side].c_str()), result, flag), c.found)
                << c.material << " " << fens[side];
            EXPECT_EQ(result, side ? -c.result : c.result) << fens[side];
            // A lone major's flag is the winner's sign.
            EXPECT_EQ(flag, side && c.flag == 1 ? -1 : c.flag) << fens[side];
        }
    }
}

}  // namespace

TEST(Endgame, UpToFourMen) { expectVerdicts(upToFourMen, std::size(upToFourMen)); }

TEST(Endgame, FiveAndSixMen) { expectVerdicts(fiveAndSixMen, std::size(fiveAndSixMen)); }
