// Recognisers of five and six men: hand-worked positions reaching each verdict
// of each rule, with either side to move, each checked again on its colour
// mirror. Which rule a material reaches is the class test's business.
#include <string>

#include "eval/endgame.h"
#include "test_support.h"

namespace {

struct Case {
    const char* material;  // White first, for the reader
    const char* fen;
    int found;
    int32_t result, flag;
};

// clang-format off
const Case cases[] = {
    // KRP vs KR.
    {"KRPvKR", "8/8/r3k3/8/4P3/8/6K1/1R6 w - - 0 1", 1, 2, 0},    // rook on its third rank holds
    {"KRPvKR", "8/8/r3k3/8/4P3/8/6K1/1R6 b - - 0 1", 1, -2, 0},   // king in front, rook away
    {"KRPvKR", "r7/8/4k3/8/4P3/8/6K1/1R6 b - - 0 1", 1, -2, 5},   // rook on its first rank
    {"KRPvKR", "8/8/3rk3/8/4P3/8/6K1/1R6 b - - 0 1", 0, 0, 0},    // rook next to its king
    {"KRPvKR", "8/8/r2k4/8/4P3/8/6K1/1R6 b - - 0 1", 0, 0, 5},    // king beside the file
    {"KRPvKR", "8/8/3k4/8/4P3/8/r7/R5K1 w - - 0 1", 1, 2, 5},     // king on the edge, rook away
    {"KRPvKR", "8/8/3k4/8/4P3/8/r7/5RK1 w - - 0 1", 0, 0, 5},     // ... rook next to it
    {"KRPvKR", "8/4k3/4P3/8/8/8/r5K1/7R w - - 0 1", 0, 0, 0},     // sixth rank, checking rook
    // KBP vs KB; the blockades with opposite bishops and Black to move are left open.
    {"KBPvKB", "8/8/3k4/8/4P3/3K4/8/2B3b1 w - - 0 1", 1, 2, 5},   // same-coloured bishops
    {"KBPvKB", "8/8/3k4/8/4P3/3K4/8/2B3b1 b - - 0 1", 1, 2, 5},
    {"KBPvKB", "8/8/3k4/8/4P3/8/8/2B3bK w - - 0 1", 0, 0, 5},     // king on the edge
    {"KBPvKB", "8/7b/4k3/8/4P3/5K2/8/2B5 w - - 0 1", 1, 2, 0},    // opposite bishops, king in front
    {"KBPvKB", "8/7b/4k3/8/4P3/8/8/2B4K w - - 0 1", 0, 0, 0},
    {"KBPvKB", "k7/8/8/8/P7/3K4/8/2B3b1 b - - 0 1", 1, 0, 5},     // wrong rook pawn
    {"KBPvKB", "k7/8/8/8/P7/3K3b/8/2B5 b - - 0 1", 1, 0, 0},
    // KPP vs KP.
    {"KPPvKP", "k7/8/8/3pK3/8/7P/6P1/8 w - - 0 1", 1, 1, 5},      // loose pawn, pawns chained
    {"KPPvKP", "k7/8/8/3pK3/8/6PP/8/8 w - - 0 1", 1, 2, 5},       // side by side
    {"KPPvKP", "8/8/2k5/3pK3/8/7P/6P1/8 w - - 0 1", 0, 0, 5},     // pawn defended
    {"KPPvKP", "k7/8/8/3pK3/8/7P/6P1/8 b - - 0 1", 0, 0, 5},
    // KQP vs KQ.
    {"KQPvKQ", "8/8/3k4/8/4P3/3K4/8/Q6q w - - 0 1", 1, 2, 5},
    {"KQPvKQ", "8/8/8/8/4P3/4k3/q7/4K2Q w - - 0 1", 0, 0, 5},     // kings 2 apart
    {"KQPvKQ", "8/7q/4k3/8/4P3/3K4/8/Q7 b - - 0 1", 1, -2, 5},    // king in front
    {"KQPvKQ", "8/8/q3k3/8/4P3/5K2/8/Q7 b - - 0 1", 0, 0, 5},     // queens meet, queen sees king
    // KRP vs KN.
    {"KRPvKN", "8/8/8/2k5/8/4P3/3K4/R5n1 w - - 0 1", 1, 1, 5},    // pawn defended, not attacked
    {"KRPvKN", "8/8/8/8/8/4P3/3K1k2/R5n1 w - - 0 1", 1, 2, 5},    // attacked
    {"KRPvKN", "8/8/8/2k5/8/4P3/3K4/R5n1 b - - 0 1", 0, 0, 5},
    {"KRPvKN", "8/8/8/2k5/8/4Pn2/3K4/R7 w - - 0 1", 0, 0, 5},     // in check
    // KRP vs KB.
    {"KRPvKB", "8/8/8/2k5/8/4P3/3K4/R5b1 w - - 0 1", 1, 1, 5},
    {"KRPvKB", "8/8/8/2k5/8/4P3/1b1K4/R7 w - - 0 1", 1, 2, 5},    // bishop attacks the rook
    {"KRPvKB", "8/8/8/2k5/8/4P3/3K4/R5b1 b - - 0 1", 0, 0, 5},
    {"KRPvKB", "8/8/8/b1k5/8/4P3/3K4/R7 w - - 0 1", 0, 0, 5},     // in check
    // KBP vs KP.
    {"KBPvKP", "1k6/1p6/1P6/8/8/3K4/8/5B2 w - - 0 1", 1, 0, 5},   // b6 blocked, king on b8
    {"KBPvKP", "1k6/1p6/1P6/8/8/3K4/8/5B2 b - - 0 1", 1, 0, 5},
    {"KBPvKP", "1kB5/1p6/1P6/8/8/3K4/8/8 w - - 0 1", 0, 0, 5},    // the king attacks the bishop
    {"KBPvKP", "8/8/4pB2/4P3/8/2k5/8/6K1 w - - 0 1", 1, 1, 5},    // bishop guarded by the pawn
    {"KBPvKP", "8/8/4pB2/4P3/8/2k5/8/6K1 b - - 0 1", 0, 0, 5},
    {"KBPvKP", "1k6/8/pB6/P7/8/8/8/6K1 w - - 0 1", 1, 0, 0},      // wrong rook pawn, blocked
    {"KBPvKP", "k7/8/8/p7/PB6/8/8/6K1 w - - 0 1", 1, -2, 0},      // ... the pawn attacks a man
    {"KBPvKP", "7k/8/8/4p2P/8/8/8/5BK1 b - - 0 1", 1, -2, 0},
    // KRR vs KR, KB, KN.
    {"KRRvKR", "7r/8/3k4/8/8/3K4/8/R6R w - - 0 1", 1, 1, 5},
    {"KRRvKR", "7r/8/3k4/8/8/3K4/8/R6R b - - 0 1", 0, 0, 5},
    {"KRRvKR", "7r/8/3k4/8/8/8/8/R2K3R w - - 0 1", 1, 2, 5},      // king on the edge
    {"KRRvKR", "3r4/8/4k3/8/8/3K4/8/R6R w - - 0 1", 0, 0, 5},     // in check
    {"KRRvKB", "8/8/3k4/8/8/3K4/8/R5bR w - - 0 1", 1, 1, 5},
    {"KRRvKB", "8/8/3k4/8/8/8/8/R2K2bR w - - 0 1", 1, 2, 5},
    {"KRRvKN", "6n1/8/3k4/8/8/3K4/8/R6R w - - 0 1", 1, 1, 5},
    {"KRRvKN", "6n1/8/3k4/8/8/3K4/8/R6R b - - 0 1", 0, 0, 5},
    {"KRRvKN", "8/8/3k4/8/8/3K4/1n6/R6R w - - 0 1", 0, 0, 5},     // in check
    // Three or four pawns against the king.
    {"KPPPvK", "8/8/3k4/8/8/1P6/P5P1/4K3 w - - 0 1", 1, 1, 5},    // one pawn defends another
    {"KPPPvK", "8/8/3k4/8/8/8/P1P1P3/6K1 w - - 0 1", 1, 2, 5},
    {"KPPPvK", "8/8/8/P7/8/6k1/2P1P3/K7 b - - 0 1", 1, 2, 5},
    {"KPPPPvK", "8/8/3k4/8/8/1P6/P1P3P1/4K3 w - - 0 1", 1, 1, 5},
    // KNPP vs K.
    {"KNPPvK", "8/8/3k4/8/8/8/4PP2/4K1N1 w - - 0 1", 1, 1, 5},    // king defends a pawn
    {"KNPPvK", "8/8/3k4/8/8/8/4PP2/4K1N1 b - - 0 1", 1, 2, 5},
    {"KNPPvK", "8/8/3k4/8/8/8/P6P/3NK3 w - - 0 1", 1, 2, 5},
    // KBBP and KBPP vs K.
    {"KBBPvK", "8/8/3k4/8/8/3K4/4P3/2B2B2 w - - 0 1", 1, 1, 5},   // bishops on both colours
    {"KBBPvK", "8/8/3k4/8/8/3K4/4P3/2B2B2 b - - 0 1", 1, 2, 5},
    {"KBBPvK", "8/8/3k4/3B4/8/3K4/4P3/2B5 w - - 0 1", 1, 2, 5},   // a bishop next to the king
    {"KBPPvK", "8/6k1/8/8/4P3/3B4/1P6/4K3 w - - 0 1", 1, 1, 5},   // bishop sees a pawn
    {"KBPPvK", "8/6k1/8/8/4P3/4B3/1P6/4K3 w - - 0 1", 1, 2, 5},   // ... does not
    // KRR vs KP.
    {"KRRvKP", "8/8/3k4/8/4p3/8/8/R5KR w - - 0 1", 1, 1, 5},
    {"KRRvKP", "8/8/3k4/8/4p3/8/8/R5KR b - - 0 1", 1, 1, 5},
    {"KRRvKP", "8/8/3k4/8/8/8/4p3/R5KR b - - 0 1", 0, 0, 5},      // pawn on its seventh
    {"KRRvKP", "7k/6p1/8/8/8/8/R7/R5K1 w - - 0 1", 0, 0, 5},      // cornered king guards its pawn
    // KNNP vs K.
    {"KNNPvK", "8/8/3k4/8/8/8/4P3/3K1NN1 w - - 0 1", 1, 1, 5},    // king defends the pawn
    {"KNNPvK", "8/8/3k4/8/8/8/4P3/3K1NN1 b - - 0 1", 1, 1, 5},
    {"KNNPvK", "3k4/8/8/8/8/8/4P3/3K1NN1 b - - 0 1", 0, 0, 5},    // king on the edge
    {"KNNPvK", "8/8/3k4/8/8/8/7P/4N1NK w - - 0 1", 1, 2, 5},      // ... from the corner
    {"KNNPvK", "8/8/8/P7/4k3/8/8/NN2K3 b - - 0 1", 1, 2, 5},      // not with the king to move
    // KQ vs KNN.
    {"KQvKNN", "8/8/3k4/8/8/3K4/8/Q4nn1 w - - 0 1", 1, 2, 5},
    {"KQvKNN", "8/8/3k4/8/8/3K4/8/Q4nn1 b - - 0 1", 0, 0, 5},
    {"KQvKNN", "8/8/3k4/8/8/3K4/8/Q3n1n1 w - - 0 1", 0, 0, 5},    // in check
    // KRB vs KN.
    {"KRBvKN", "8/8/3k4/8/8/3K4/8/R1B3n1 w - - 0 1", 1, 1, 5},
    {"KRBvKN", "8/8/3k4/8/8/3K4/4n3/R1B5 w - - 0 1", 1, 2, 5},    // knight attacks the bishop
    {"KRBvKN", "8/8/3k4/8/8/8/4n3/R1B1K3 w - - 0 1", 0, 0, 5},    // ... king on the edge
    {"KRBvKN", "8/8/3k4/8/8/3K4/8/R1B3n1 b - - 0 1", 1, 2, 5},
    {"KRBvKN", "8/8/3k4/8/8/8/8/R1B1K1n1 b - - 0 1", 0, 0, 5},
    // KNP vs KB.
    {"KNPvKB", "8/8/3k4/8/4P3/3K4/8/N5b1 w - - 0 1", 1, 2, 5},
    {"KNPvKB", "8/8/3k4/8/4P3/8/8/N5bK w - - 0 1", 0, 0, 5},      // king in the corner
    {"KNPvKB", "8/7b/3k4/8/4P3/3K4/8/N7 b - - 0 1", 1, 0, 5},     // bishop attacks the pawn
    {"KNPvKB", "8/7b/3k4/8/4P3/8/8/N6K b - - 0 1", 1, -2, 5},     // ... king in the corner
    {"KNPvKB", "8/8/3k4/8/4P3/3K4/8/N5b1 b - - 0 1", 0, 0, 5},
    // KQB vs KQ.
    {"KQBvKQ", "7q/8/3k4/8/8/3K4/8/Q1B5 w - - 0 1", 1, 2, 0},
    {"KQBvKQ", "7q/8/3k4/8/8/3K4/8/Q1B5 b - - 0 1", 0, 0, 0},
    {"KQBvKQ", "7q/8/3k4/8/8/8/8/Q1B1K3 w - - 0 1", 0, 0, 0},     // king on the edge
    // A queen and more against a lone queen, knight or pawn.
    {"KQRvKN", "8/8/3k4/8/8/3K4/8/QR4n1 w - - 0 1", 1, 1, 5},
    {"KQRBvKN", "8/8/3k4/8/8/3K4/8/QRB3n1 w - - 0 1", 1, 1, 5},
    {"KQPvKN", "8/8/3k4/8/8/3K4/6P1/Q5n1 w - - 0 1", 1, 1, 5},
    {"KQQvKP", "8/8/3k4/8/5p2/3K4/8/QQ6 w - - 0 1", 1, 1, 5},
    {"KQRvKN", "8/8/3k4/8/8/3K4/8/QR4n1 b - - 0 1", 1, 2, 5},       // king off the edge, no queen in line
    {"KQQRvKQ", "8/8/3k4/7q/8/4K3/8/QQR5 b - - 0 1", 1, 2, 5},
    {"KQQvKP", "8/8/3k4/8/5p2/8/3K4/QQ6 b - - 0 1", 1, 2, 5},
    {"KQQvKP", "8/8/3k4/8/5p2/3K4/8/QQ6 b - - 0 1", 0, 0, 5},       // a queen on the king's diagonal
    {"KQQvKQ", "3q2k1/8/8/8/8/3K4/7Q/Q7 w - - 0 1", 1, 2, 5},       // in check
    {"KQQvKQ", "3q2k1/8/8/8/8/3K4/7Q/1Q6 w - - 0 1", 0, 0, 5},      // in check, a queen in line
    {"KQNvKN", "1k6/8/4n3/8/3Q4/8/8/1N5K b - - 0 1", 1, 0, 5},      // the knight forks the queen
    {"KQBvKN", "1k6/8/4n3/8/3Q4/B2K4/8/8 b - - 0 1", 1, 0, 5},      // ... the queen next to the king
    {"KQNvKN", "k7/8/4n3/8/3Q4/8/8/1N5K b - - 0 1", 0, 0, 5},       // Black king in the corner
    {"KQRvKN", "1k6/8/4n3/8/3Q4/8/8/2R4K b - - 0 1", 0, 0, 5},      // not queen and minor
    // A queen and more, or rook and bishop, against a lone bishop.
    {"KQRvKB", "8/8/3k4/8/8/3K4/8/QR4b1 w - - 0 1", 1, 1, 5},
    {"KRBvKB", "8/8/3k4/8/8/3K4/8/RB4b1 w - - 0 1", 1, 1, 5},
    {"KQPvKB", "8/8/3k4/8/8/3KP3/8/Q5b1 w - - 0 1", 1, 1, 5},       // only the pawn attacked
    {"KQRvKB", "8/8/3k4/8/8/3KR3/8/Q5b1 w - - 0 1", 1, 2, 5},       // the bishop attacks the rook
    {"KQRPvKB", "8/8/3k4/8/8/3KQ3/1P6/R5b1 w - - 0 1", 1, 2, 5},    // ... the queen
    {"KQRvKB", "8/8/3k4/8/8/3K4/8/QR4b1 b - - 0 1", 1, 2, 5},
    {"KQRvKB", "8/8/3k4/8/8/8/8/QR4bK b - - 0 1", 0, 0, 5},         // king on the edge
    {"KQNvKB", "8/8/3k4/8/8/3K4/8/QN3b2 w - - 0 1", 1, 2, 5},       // in check
    {"KQNvKB", "8/8/3k4/8/8/5b2/8/QN5K w - - 0 1", 0, 0, 5},        // in check on the edge
    // A queen and more against a lone rook.
    {"KQQvKR", "8/8/3k4/K7/8/8/8/QQ5r w - - 0 1", 1, 1, 5},         // two queens, king on the edge
    {"KQRvKR", "8/8/3k4/8/8/3K4/8/QR5r w - - 0 1", 1, 1, 5},        // only the rook attacked
    {"KQRPvKR", "7r/8/3k4/8/8/3K4/1P6/QR6 w - - 0 1", 1, 1, 5},
    {"KQRvKR", "8/8/3k4/8/8/3K4/8/RQ5r w - - 0 1", 1, 2, 5},        // the queen attacked
    {"KQRvKR", "8/8/3k4/8/K7/8/8/QR5r w - - 0 1", 0, 0, 5},         // one queen, king on the edge
    {"KQQvKR", "8/8/3k4/8/8/3K3r/8/QQ6 w - - 0 1", 0, 0, 5},        // in check
    {"KQRvKR", "7r/8/3k4/8/8/3K4/8/QR6 b - - 0 1", 1, 1, 5},        // nothing attacked
    {"KQRvKR", "8/8/3k4/8/8/3K4/8/QR5r b - - 0 1", 0, 0, 5},        // the rook attacks a rook
    {"KQNvKR", "7r/8/3k4/8/8/3K4/8/QN6 b - - 0 1", 0, 0, 5},        // no White rook
    // KQP or KRP against a pawn.
    {"KRPvKP", "8/4P3/1k6/8/3p4/8/8/R3K3 w - - 0 1", 1, 1, 5},      // pawn on its seventh
    {"KRPvKP", "7R/4P3/8/k7/8/8/1p6/6K1 w - - 0 1", 0, 0, 5},       // ... but the other on rank 2
    {"KRPvKP", "8/4P3/1k6/8/8/3p4/8/R3K3 w - - 0 1", 1, 2, 5},      // ... rank 3; the rook reaches the path
    {"KQPvKP", "8/1k6/8/4p3/2Q1P3/8/8/6K1 w - - 0 1", 1, 1, 5},     // blocked pawn, queen beside it
    {"KQPvKP", "8/1k6/8/4p3/Q3P3/8/8/6K1 w - - 0 1", 1, 2, 5},      // ... the queen on the edge
    {"KQPvKP", "8/8/2k5/8/4p3/8/6P1/Q5K1 b - - 0 1", 1, 1, 5},
    {"KRPvKP", "8/8/2k5/8/4p3/8/6P1/R5K1 b - - 0 1", 1, 2, 5},      // no queen
    {"KQPvKP", "8/8/2k5/4K3/4p3/8/6P1/Q7 b - - 0 1", 1, 2, 5},      // kings two apart
    {"KRPvKP", "8/1k6/8/8/8/4p3/6P1/R5K1 b - - 0 1", 0, 0, 5},      // pawn on rank 3
    {"KQPvKP", "8/8/2k5/8/4p3/5P2/8/Q5K1 b - - 0 1", 0, 0, 5},      // the pawn attacks a man
    // KQR against a queen.
    {"KQRvKQ", "8/8/3k4/8/8/3K4/8/QR5q w - - 0 1", 1, 1, 5},
    {"KQRvKQ", "8/8/3k4/8/8/3K3q/8/QR6 w - - 0 1", 0, 0, 5},        // in check
    {"KQRvKQ", "8/8/3k4/8/8/3K4/8/QR5q b - - 0 1", 0, 0, 5},
    // KQN against a pawn.
    {"KQNvKP", "8/8/2k5/8/4p3/8/8/QN4K1 b - - 0 1", 1, 1, 5},
    {"KQNvKP", "8/8/2k5/8/8/2p5/8/QN4K1 b - - 0 1", 1, 2, 5},       // pawn on c3
    {"KQNvKP", "8/8/2k5/8/4p3/3Q4/8/1N4K1 b - - 0 1", 0, 0, 5},     // the pawn attacks the queen
    {"KQNvKP", "4Q3/1k6/p7/1NK5/8/8/8/8 w - - 0 1", 1, 1, 5},
    {"KQNvKP", "8/8/2k5/8/8/8/5p2/QN5K w - - 0 1", 1, 2, 5},        // pawn on f2
    // KQ against two pawns.
    {"KQvKPP", "8/6k1/8/4p3/2p1K3/2Q5/8/8 w - - 0 1", 1, 1, 5},     // both pawns blocked
    {"KQvKPP", "8/8/6k1/4p3/2p1K3/8/8/7Q w - - 0 1", 0, 0, 5},
    {"KQvKPP", "8/6k1/8/4p3/2p1K3/2Q5/8/8 b - - 0 1", 0, 0, 5},
    // KNP against a knight.
    {"KNPvKN", "8/8/3k4/8/4P3/3K4/8/1N4n1 w - - 0 1", 1, 2, 5},
    {"KNPvKN", "8/8/3k4/8/4P3/8/8/1N4nK w - - 0 1", 0, 0, 5},       // White king in the corner
    {"KNPvKN", "8/8/3k1n2/8/4P3/3K4/8/1N6 b - - 0 1", 1, 0, 5},     // the knight attacks the pawn
    {"KNPvKN", "8/8/4k3/8/4P3/8/8/1N4nK b - - 0 1", 1, -2, 5},      // White king in the corner
    {"KNPvKN", "8/8/3k4/8/4P3/3K4/8/1N4n1 b - - 0 1", 0, 0, 5},
    // KR against two knights: the two halves add up.
    {"KRvKNN", "8/8/3k1n2/8/4n3/8/2K5/R7 w - - 0 1", 1, 0, 0},      // both kings free, knights linked
    {"KRvKNN", "8/8/3k4/5n2/4n3/8/2K5/R7 w - - 0 1", 1, 2, 0},
    {"KRvKNN", "8/8/3k1n2/8/4n3/8/8/R1K5 w - - 0 1", 1, -2, 0},     // White king on the edge
    {"KRvKNN", "8/8/3k1n2/8/4n3/8/8/R1K5 b - - 0 1", 1, -2, 0},
    {"KRvKNN", "8/8/3k4/5n2/4n3/8/8/R1K5 w - - 0 1", 0, 0, 0},
    // KQN against a queen.
    {"KQNvKQ", "8/8/3k4/8/8/3K4/8/QN5q w - - 0 1", 1, 2, 0},
    {"KQNvKQ", "8/8/3k4/8/8/3K3q/8/QN6 w - - 0 1", 0, 0, 0},        // in check
    {"KQNvKQ", "8/8/3k4/8/8/8/3K4/QN5q b - - 0 1", 1, -2, 0},       // kings four apart
    {"KQNvKQ", "8/8/3k4/8/8/3K4/8/QN5q b - - 0 1", 0, 0, 0},        // ... three apart
    // KQ against two rooks.
    {"KQvKRR", "7r/7r/3k4/8/8/3K4/8/Q7 w - - 0 1", 1, 2, 0},
    {"KQvKRR", "8/r5r1/3k4/8/8/3K4/8/Q7 w - - 0 1", 0, 0, 0},       // a rook on the queen's file
    {"KQvKRR", "8/3r4/3kr3/8/8/3K4/8/Q7 b - - 0 1", 1, -2, 0},      // both rooks by the king
    {"KQvKRR", "8/3r4/3k4/8/8/3K4/8/Q6r b - - 0 1", 0, 0, 0},
    // KQ against knight and pawn.
    {"KQvKNP", "8/8/3k4/4p3/8/3K4/8/Q5n1 w - - 0 1", 1, 1, 5},      // pawn on rank 5
    {"KQvKNP", "6n1/8/3k4/6K1/8/4p3/8/2Q5 w - - 0 1", 1, 2, 5},     // the queen attacks the pawn
    {"KQvKNP", "6n1/8/3k4/8/8/4p3/8/Q3K3 w - - 0 1", 0, 0, 5},      // below it, but on the edge
    {"KQvKNP", "8/8/3k4/4p3/8/3K4/8/Q5n1 b - - 0 1", 0, 0, 5},
    // KNN against a pawn.
    {"KNNvKP", "8/8/3k4/8/8/4p3/8/1NN3K1 w - - 0 1", 1, -2, 5},     // pawn on rank 3
    {"KNNvKP", "8/8/3k4/8/8/8/4p3/1NN3K1 b - - 0 1", 1, -2, 5},     // ... rank 2
    {"KNNvKP", "8/8/3k4/8/4p3/8/8/1NN3K1 w - - 0 1", 0, 0, 5},      // ... rank 4
    // KQ against two bishops or two knights.
    {"KQvKBB", "8/8/3k4/8/8/3K4/8/Q5bb w - - 0 1", 1, 2, 5},
    {"KQvKBB", "8/8/3k4/8/8/3K4/8/Q4b1b w - - 0 1", 0, 0, 5},       // in check
    // KQ against rook and knight.
    {"KQvKRN", "7r/8/3k4/8/8/3K4/8/Q5n1 w - - 0 1", 1, 2, 5},
    {"KQvKRN", "r7/8/3k4/8/8/3K4/8/Q5n1 w - - 0 1", 0, 0, 5},       // a rook on the queen's file
    {"KQvKRN", "r7/8/3k4/8/8/3K4/8/Q5n1 b - - 0 1", 1, -1, 5},      // the rook takes the queen
    {"KQvKRN", "r7/8/3k4/8/8/8/1K6/Q5n1 b - - 0 1", 1, -2, 5},      // ... defended
    {"KQvKRN", "7r/8/3k4/8/8/3K4/8/Q5n1 b - - 0 1", 0, 0, 5},
    // KBN against a knight or a bishop.
    {"KBNvKN", "8/8/3k4/8/8/3K4/8/1BN3n1 w - - 0 1", 1, 2, 0},
    {"KBNvKB", "8/8/3k4/8/8/3K4/8/1BN3b1 b - - 0 1", 1, 2, 0},
    {"KBNvKN", "8/8/3k4/8/8/8/8/1BN1K1n1 w - - 0 1", 0, 0, 0},      // king on the edge
    // KBB against a knight.
    {"KBBvKN", "8/8/3k1n2/8/8/3KB3/8/2B5 b - - 0 1", 1, 0, 5},      // bishops on one colour
    {"KBBvKN", "8/8/3k1n2/8/8/4B3/8/K1B5 b - - 0 1", 1, -2, 5},     // ... White king in the corner
    {"KBBvKN", "8/8/3k2n1/3B4/3K4/8/8/2B5 b - - 0 1", 0, 0, 5},     // defended
    {"KBBvKN", "8/8/3k4/3B4/8/3K4/4n3/2B5 w - - 0 1", 1, 2, 5},     // king and knight both attack
    {"KBBvKN", "8/8/3k4/8/8/3K4/8/2B2Bn1 w - - 0 1", 1, 1, 5},
    {"KBBvKN", "8/8/3k4/8/8/8/8/2B1KBn1 w - - 0 1", 0, 0, 5},       // king on the edge
    // KR against two bishops.
    {"KRvKBB", "6k1/8/8/8/3K4/8/7b/R4b2 w - - 0 1", 1, 2, 0},       // the rook attacks a bishop
    {"KRvKBB", "6k1/8/8/8/6K1/2b5/8/R4b2 w - - 0 1", 0, 0, 0},      // ... but is attacked
    {"KRvKBB", "8/8/3k4/8/8/3K4/8/R5bb b - - 0 1", 1, -2, 0},
    {"KRvKBB", "3k4/8/8/8/8/3K4/8/R5bb b - - 0 1", 0, 0, 0},        // Black king on the edge
    // KQ against bishop and knight.
    {"KQvKBN", "8/8/3k4/8/8/3K4/8/Q5bn w - - 0 1", 1, 2, 5},
    {"KQvKBN", "8/8/3k4/8/8/2bK4/8/Q6n w - - 0 1", 0, 0, 5},        // the bishop attacks the queen
    {"KQvKBN", "8/8/3k4/8/8/1n1K4/8/Q5b1 b - - 0 1", 1, -2, 5},     // the knight attacks the queen
    {"KQvKBN", "8/8/3k4/8/8/3K4/8/Q5bn b - - 0 1", 0, 0, 5},
    // KQ against rook and pawn.
    {"KQvKRP", "7r/8/3k4/4p3/8/3K4/8/Q7 w - - 0 1", 1, 2, 5},
    {"KQvKRP", "8/8/3k4/4p3/8/3K4/8/Q6r w - - 0 1", 0, 0, 5},       // the rook attacks the queen
    {"KQvKRP", "7r/8/3k4/4p3/8/3K4/8/Q7 b - - 0 1", 0, 0, 5},
    // KRN against a knight.
    {"KRNvKN", "8/8/3k4/8/8/3K4/8/RN4n1 w - - 0 1", 1, 1, 5},
    {"KRNvKN", "8/4R3/3k4/8/8/3K4/8/1N4n1 w - - 0 1", 1, 2, 5},     // a rook next to the king
    {"KRNvKN", "8/8/3k4/8/8/7K/8/RN4n1 w - - 0 1", 0, 0, 5},        // in check on the edge
    {"KRNvKN", "8/8/3k4/8/8/3K4/8/RN4n1 b - - 0 1", 1, 2, 5},
    {"KRNvKN", "8/8/3k4/8/8/8/8/RN2K1n1 b - - 0 1", 0, 0, 5},       // king on the edge
    // KQR against a pawn.
    {"KQRvKP", "8/8/3k4/8/4p3/8/8/QR4K1 w - - 0 1", 1, 1, 5},
    {"KQRvKP", "8/8/3k4/8/8/8/4p3/QR3K2 w - - 0 1", 0, 0, 5},       // the pawn on rank 2
    {"KQRvKP", "8/8/3k4/8/4p3/8/8/QR4K1 b - - 0 1", 1, 1, 5},
    {"KQRvKP", "k7/2Q5/8/8/4p3/8/8/6KR b - - 0 1", 0, 0, 5},        // no king move
    // KQ against bishop and pawn.
    {"KQvKBP", "8/8/3k4/4p3/8/3K4/8/Q5b1 w - - 0 1", 1, 1, 5},      // pawn on rank 5
    {"KQvKBP", "8/8/3k4/6K1/8/4p3/8/2Q4b w - - 0 1", 1, 2, 5},      // the queen attacks the pawn
    {"KQvKBP", "8/8/3k4/4p3/8/2bK4/8/Q7 w - - 0 1", 0, 0, 5},       // the bishop attacks the queen
    // KNN against a knight.
    {"KNNvKN", "8/8/3k4/8/8/3K4/8/1NN3n1 w - - 0 1", 1, 0, 0},
    {"KNNvKN", "3k4/8/8/8/8/3K4/8/1NN3n1 b - - 0 1", 1, 2, 0},      // Black king on the edge
    {"KNNvKN", "8/8/3k4/8/8/8/8/1NN3nK w - - 0 1", 0, 0, 0},        // White king in the corner
    // Three knights.
    {"KNNNvK", "8/8/3k4/8/8/3K4/8/1NNN4 w - - 0 1", 1, 1, 5},
    {"KNNNvK", "8/8/3k4/8/8/3K4/8/NNN5 w - - 0 1", 1, 2, 5},        // a knight in the corner
    {"KNNNvK", "8/8/3k4/8/8/3K4/8/1NNN4 b - - 0 1", 1, 2, 5},
    // KR against bishop and knight.
    {"KRvKBN", "8/8/3k4/8/8/3K4/8/R5bn w - - 0 1", 1, 2, 0},
    {"KRvKBN", "8/8/3k4/8/8/2bK4/8/R6n w - - 0 1", 0, 0, 0},        // the bishop attacks the rook
    {"KRvKBN", "8/8/3k4/8/8/3K4/8/R5nb b - - 0 1", 1, -2, 0},
    {"KRvKBN", "8/8/3k4/8/8/3K4/8/R5bn b - - 0 1", 0, 0, 0},        // the rook attacks the bishop
    // KR against bishop and pawn.
    {"KRvKBP", "7b/8/3k4/8/4p3/8/4K3/R7 w - - 0 1", 1, 2, 0},       // king below the pawn
    {"KRvKBP", "8/8/3k4/8/4p3/2b3K1/8/4R3 w - - 0 1", 0, 0, 0},     // attacked by the bishop
    {"KRvKBP", "8/8/3k4/8/4p3/2b5/6K1/R7 b - - 0 1", 1, -2, 0},
    {"KRvKBP", "8/8/3k4/8/4p3/2b5/6K1/2R5 b - - 0 1", 0, 0, 0},     // the rook attacks the bishop
    // KBB against a bishop.
    {"KBBvKB", "8/8/3k4/8/8/3K4/8/2BB2b1 b - - 0 1", 1, -2, 0},
    {"KBBvKB", "3k4/8/8/8/8/3K4/8/2BB2b1 b - - 0 1", 0, 0, 0},      // Black king on the edge
    {"KBBvKB", "8/8/8/2K5/4B3/1bk5/8/2B5 w - - 0 1", 1, 2, 0},
    {"KBBvKB", "8/8/3k4/8/8/3K4/8/2BB1b2 w - - 0 1", 0, 0, 0},      // in check
    // KQ against rook and bishop.
    {"KQvKRB", "7r/8/3k4/8/8/3K4/8/Q6b w - - 0 1", 1, 2, 5},        // rook on a diagonal, bishop on the rank
    {"KQvKRB", "8/8/3k4/8/8/3K4/8/Q5rb w - - 0 1", 0, 0, 5},        // a rook on the queen's rank
    {"KQvKRB", "8/8/3k4/8/8/3K4/8/Q5rb b - - 0 1", 1, -1, 5},       // the rook takes the queen
    {"KQvKRB", "8/8/3k4/8/8/8/1K6/Q5rb b - - 0 1", 1, -2, 5},       // ... defended
    {"KQvKRB", "7r/8/3k4/8/8/3K4/8/Q6b b - - 0 1", 0, 0, 5},
    // KRB against a rook.
    {"KRBvKR", "7r/8/3k4/8/8/3K4/8/RB6 w - - 0 1", 1, 2, 0},
    {"KRBvKR", "7r/8/3k4/8/8/3K4/8/RB6 b - - 0 1", 0, 0, 0},
    {"KRBvKR", "8/8/3k4/8/8/3K3r/8/RB6 w - - 0 1", 0, 0, 0},        // in check
    {"KRBvKR", "7r/8/3k4/8/8/8/8/RB2K3 w - - 0 1", 0, 0, 5},        // king on the edge
    // KBP against a knight.
    {"KBPvKN", "1k6/8/8/8/P7/4K3/8/2B3n1 b - - 0 1", 1, 0, 5},      // wrong rook pawn
    {"KBPvKN", "1k6/2n5/8/8/P7/4K3/8/2B5 b - - 0 1", 1, 2, 5},      // ... the knight by its king
    {"KBPvKN", "1k6/8/8/8/P7/4K3/8/2B3n1 w - - 0 1", 1, 2, 5},
    {"KBPvKN", "8/8/2k2n2/8/4P3/K7/8/2B5 b - - 0 1", 1, -2, 5},     // White king on the edge
    {"KBPvKN", "8/8/2k2n2/8/4P3/K7/8/2B5 w - - 0 1", 0, 0, 5},      // king on the edge
    // KQB against a pawn.
    {"KQBvKP", "8/8/3k4/8/4p3/8/8/QB4K1 w - - 0 1", 1, 1, 5},
    {"KQBvKP", "8/8/3k4/8/8/8/4p3/QB3K2 w - - 0 1", 0, 0, 5},       // in check, pawn on rank 2
    {"KQBvKP", "8/8/3k4/8/4p3/8/8/QB4K1 b - - 0 1", 1, 1, 5},
    {"KQBvKP", "8/8/8/2K4p/4B3/2k5/Q7/8 b - - 0 1", 0, 0, 5},       // no king move
    // KNP against a rook.
    {"KNPvKR", "4r3/8/2k5/8/4P3/8/6K1/1N6 b - - 0 1", 1, -2, 5},    // rook behind the pawn
    {"KNPvKR", "8/8/2k5/8/r1N1P3/8/6K1/8 b - - 0 1", 0, 0, 5},      // the knight between
    {"KNPvKR", "4r3/8/2k5/8/4P3/8/6K1/1N6 w - - 0 1", 0, 0, 5},
    // KN against two pawns.
    {"KNvKPP", "8/6k1/8/3p1p2/3K1N2/8/8/8 w - - 0 1", 1, 0, 5},     // both pawns blocked
    {"KNvKPP", "8/6k1/8/3p1p2/3K1N2/8/8/8 b - - 0 1", 1, 0, 5},
    {"KNvKPP", "8/8/8/3p1pk1/3K1N2/8/8/8 b - - 0 1", 1, -2, 5},     // ... the king attacks the knight
    {"KNvKPP", "8/6k1/8/3p4/3K4/7p/7N/8 w - - 0 1", 1, -2, 5},      // ... a pawn on h3
    {"KNvKPP", "6k1/8/8/3p1p2/3K1N2/8/8/8 w - - 0 1", 0, 0, 5},     // Black king on the edge
    // KB against two pawns.
    {"KBvKPP", "8/6k1/8/3p1p2/3K1B2/8/8/8 w - - 0 1", 1, 0, 5},     // both pawns blocked
    {"KBvKPP", "6k1/8/8/3p1p2/3K1B2/8/8/8 w - - 0 1", 1, 2, 5},     // ... Black king on rank 8
    {"KBvKPP", "8/6k1/8/3p1p2/3K1B2/8/8/8 b - - 0 1", 1, 0, 5},
    {"KBvKPP", "8/8/8/3p1p2/3K1B2/5k2/8/8 b - - 0 1", 1, -2, 5},    // ... the king attacks the bishop
    {"KBvKPP", "8/6k1/8/3p1p2/8/3K4/8/2B5 w - - 0 1", 1, -2, 5},
    {"KBvKPP", "6k1/8/8/3p1p2/8/3K4/8/2B5 w - - 0 1", 0, 0, 5},     // Black king on the edge
    // A queen and two more men against a lone pawn.
    {"KQRRvKP", "8/8/3k4/8/4p3/8/8/QRR3K1 w - - 0 1", 1, 1, 5},     // pawn on rank 4
    {"KQNPvKP", "8/8/3k4/8/4p3/8/1P6/QN4K1 w - - 0 1", 1, 1, 5},
    {"KQRRvKP", "8/8/3k4/8/8/4p3/8/QRR3K1 w - - 0 1", 0, 0, 5},     // path attacked, not occupied
    {"KQRNvKP", "8/8/3k4/8/4p3/3K4/8/QRN5 w - - 0 1", 0, 0, 5},     // in check
    {"KQRRvKP", "8/8/3k4/8/4p3/8/8/QRR3K1 b - - 0 1", 0, 0, 5},
    // Three pawns against one.
    {"KPPPvKP", "8/6k1/8/4p3/2P5/1P2K3/P7/8 w - - 0 1", 1, 1, 5},   // two pawns defended
    {"KPPPvKP", "8/2k5/8/4p3/8/1P2K3/P5P1/8 w - - 0 1", 0, 0, 5},   // one, king further down
    {"KPPPvKP", "5k2/8/8/4p3/3P4/8/6PP/2K5 w - - 0 1", 1, 2, 5},    // is caught
    {"KPPPvKP", "k7/8/8/4p3/3P4/8/6PP/2K5 b - - 0 1", 0, 0, 5},
    // Bishop and pawn each: wrong rook pawns on both sides.
    {"KBPvKBP", "k4b2/8/8/7p/P7/8/8/2B4K w - - 0 1", 1, 0, 5},
    {"KBPvKBP", "k4b2/8/8/7p/P7/8/8/3B3K w - - 0 1", 0, 0, 5},      // White's bishop is right
    // KRPP against a rook.
    {"KRPPvKR", "r7/7k/8/8/1P1R1P2/2K5/8/8 w - - 0 1", 1, 1, 5},    // split pawns, rook between
    {"KRPPvKR", "r7/7k/8/8/2PRP3/2K5/8/8 w - - 0 1", 0, 0, 5},      // ... only two files apart
    {"KRPPvKR", "k6r/8/P7/P1K5/2R5/8/8/8 b - - 0 1", 1, 0, 5},      // rook pawns, rook by its king
    {"KRPPvKR", "k6r/8/P7/P1K5/8/8/8/2R5 b - - 0 1", 1, -2, 5},
    {"KRPPvKR", "k6r/8/P7/1P6/2K5/8/8/2R5 b - - 0 1", 0, 0, 5},     // pawns on two files
    // Two knights each.
    {"KNNvKNN", "8/8/3k4/8/8/3K4/8/NN4nn w - - 0 1", 1, 0, 5},
    {"KNNvKNN", "3k4/8/8/8/8/3K4/8/NN4nn b - - 0 1", 1, 0, 5},      // one king off the edge
    {"KNNvKNN", "3k4/8/8/8/8/8/8/NN1K2nn w - - 0 1", 0, 0, 5},
    // Two queens against two knights.
    {"KQQvKNN", "8/8/3k4/8/8/3K4/8/QQ4nn w - - 0 1", 1, 1, 5},
    {"KQQvKNN", "8/8/3k4/8/5n2/3K4/8/QQ5n w - - 0 1", 1, 2, 5},     // in check
    {"KQQvKNN", "8/8/3k4/8/8/3K4/8/QQ4nn b - - 0 1", 1, 2, 5},
    {"KQQvKNN", "8/8/3k4/8/8/8/8/QQ2K1nn b - - 0 1", 0, 0, 5},      // king on the edge
    // KBPP against a bishop: only the flag.
    {"KBPPvKB", "8/4k3/8/2b5/4P3/3BP3/6K1/8 w - - 0 1", 0, 0, 0},   // pawns below the king
    {"KBPPvKB", "8/4k3/2b5/8/4P3/3BP3/6K1/8 w - - 0 1", 0, 0, 5},   // ... bishops on one colour
};
// clang-format on

}  // namespace

TEST(EndgameLarge, VerdictsAndTheirMirrors) {
    for (const Case& c : cases) {
        const std::string fens[2] = {c.fen, mirrorFen(c.fen)};
        for (int side = 0; side < 2; ++side) {
            int32_t result = 7, flag = 7;
            EXPECT_EQ(probeEndgame(boardFromFen(fens[side].c_str()), result, flag), c.found)
                << fens[side];
            EXPECT_EQ(result, side ? -c.result : c.result) << fens[side];
            EXPECT_EQ(flag, c.flag) << fens[side];
        }
    }
}

TEST(EndgameLarge, RookEndingDefence) {
    struct Defence {
        const char* fen;  // Black defends against White's pawn
        bool holds;
    };
    // clang-format off
    const Defence table[] = {
        {"8/8/r3k3/8/4P3/8/6K1/1R6 w - - 0 1", true},    // rook on the defender's third rank
        {"8/r7/4k3/8/4P3/8/6K1/1R6 w - - 0 1", true},    // ... second rank
        {"r7/8/4k3/8/4P3/8/6K1/1R6 w - - 0 1", false},   // ... first rank
        {"8/8/4k2r/4P3/8/8/6K1/1R6 w - - 0 1", true},    // pawn on its fifth
        {"8/8/r3k3/8/8/8/4P1K1/1R6 w - - 0 1", true},    // pawn on its second
        {"8/8/r2k4/8/4P3/8/6K1/1R6 w - - 0 1", false},   // king beside the file
        {"8/8/r7/8/4P3/4k3/6K1/1R6 w - - 0 1", false},   // king behind the pawn
        {"4k3/8/4P3/8/8/8/6K1/4r2R w - - 0 1", true},    // sixth: rook behind the pawn
        {"4k3/8/4P3/8/8/4r3/6K1/7R w - - 0 1", false},   // ... on the file, too near
        {"8/4k3/4P3/8/8/6K1/r7/7R w - - 0 1", false},    // ... far, off the file
        {"8/4k3/4P3/8/8/6K1/4r3/7R w - - 0 1", true},  // ... far, on the file
        {"8/4k3/4P3/8/8/8/r5K1/7R w - - 0 1", true},     // ... checking from afar
        {"8/4k3/4P3/8/8/8/5rK1/7R w - - 0 1", false},    // ... checking next to the king
        {"4k3/4P3/8/8/8/8/6K1/4r2R w - - 0 1", false},   // seventh
    };
    // clang-format on
    for (const Defence& d : table) {
        EXPECT_EQ(rookEndingDefence(boardFromFen(d.fen), Black, White), d.holds) << d.fen;
        std::string mirrored = mirrorFen(d.fen);
        EXPECT_EQ(rookEndingDefence(boardFromFen(mirrored.c_str()), White, Black), d.holds)
            << mirrored;
    }
}
