// Recognisers of five and six men: hand-worked positions with the verdict each
// rule gives, each checked again on its colour mirror, with the class label
// checked against the material so that a row cannot exercise a neighbouring rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <sstream>
#include <string>

#include "eval/endgame.h"
#include "test_support.h"

namespace {

// One side's men without the king, in a fixed order, so that "KRQvKN" and
// "KQRvKN" compare equal.
std::string canonical(std::string men) {
    const std::string order = "QRBNP";
    std::sort(men.begin(), men.end(),
              [&](char a, char b) { return order.find(a) < order.find(b); });
    return men;
}

// The material of a FEN as "KQRvKN", White first.
std::string materialOf(const std::string& fen) {
    std::string white, black;
    for (char c : fen.substr(0, fen.find(' '))) {
        if (!std::isalpha(static_cast<unsigned char>(c)) || c == 'K' || c == 'k') continue;
        if (std::isupper(static_cast<unsigned char>(c)))
            white += c;
        else
            black += char(std::toupper(static_cast<unsigned char>(c)));
    }
    return std::string("K").append(canonical(white)).append("vK").append(canonical(black));
}

// A material written as "KRQvKN", in the same order as materialOf.
std::string normalised(const std::string& material) {
    size_t v = material.find('v');
    return std::string("K")
        .append(canonical(material.substr(1, v - 1)))
        .append("vK")
        .append(canonical(material.substr(v + 2)));
}

// Whether one side of a label entry ("KQ+", "KQ++", "KBB") names these men;
// each '+' stands for at least one further man.
bool sideMatches(std::string entry, const std::string& men) {
    size_t more = 0;
    for (; !entry.empty() && entry.back() == '+'; entry.pop_back()) ++more;
    std::string named = canonical(entry.substr(1)), actual = canonical(men);
    if (!more) return named == actual;
    std::sort(named.begin(), named.end());
    std::sort(actual.begin(), actual.end());
    return actual.size() >= named.size() + more &&
           std::includes(actual.begin(), actual.end(), named.begin(), named.end());
}

// Whether some entry of a class label ("KQ+vKN,KQQvKP") covers the material.
bool labelCovers(const std::string& label, const std::string& material) {
    size_t v = material.find('v');
    std::string white = material.substr(1, v - 1), black = material.substr(v + 2);
    std::stringstream entries(label);
    for (std::string entry; std::getline(entries, entry, ',');) {
        size_t split = entry.find('v');
        if (split == std::string::npos) continue;
        if (sideMatches(entry.substr(0, split), white) &&
            sideMatches(entry.substr(split + 1), black))
            return true;
    }
    return false;
}

struct Case {
    const char* material;  // White first, the men on the board
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
    {"KRPvKR", "4k3/r7/8/8/4P3/8/6K1/1R6 b - - 0 1", 0, 0, 0},    // defending king on the edge
    {"KRPvKR", "8/8/r1R1k3/8/4P3/8/6K1/8 b - - 0 1", 0, 0, 0},    // in check
    {"KRPvKR", "8/8/r2k4/8/4P3/8/6K1/1R6 b - - 0 1", 0, 0, 5},    // king beside the file
    {"KRPvKR", "8/8/3k4/8/4P3/8/r7/R5K1 w - - 0 1", 1, 2, 5},     // king on the edge, rook away
    {"KRPvKR", "8/8/3k4/8/4P3/8/r7/5RK1 w - - 0 1", 0, 0, 5},     // ... rook next to it
    {"KRPvKR", "8/8/3k4/8/4P3/8/5RK1/r7 w - - 0 1", 1, 2, 5},     // king off the edge
    {"KRPvKR", "6r1/8/3k4/8/4P3/8/6K1/1R6 w - - 0 1", 0, 0, 5},   // in check
    {"KRPvKR", "4k3/8/4P3/8/8/8/6K1/4r2R w - - 0 1", 1, 2, 0},    // sixth rank, rook behind
    {"KRPvKR", "4k3/8/4P3/8/8/8/6K1/4r2R b - - 0 1", 0, 0, 0},
    {"KRPvKR", "8/4k3/4P3/8/8/8/r5K1/7R w - - 0 1", 0, 0, 0},     // sixth rank, checking rook
    // KBP vs KB; the blockades with opposite bishops and Black to move are left open.
    {"KBPvKB", "8/8/3k4/8/4P3/3K4/8/2B3b1 w - - 0 1", 1, 2, 5},   // same-coloured bishops
    {"KBPvKB", "8/8/3k4/8/4P3/3K4/8/2B3b1 b - - 0 1", 1, 2, 5},
    {"KBPvKB", "8/8/3k4/8/4P3/8/8/2B3bK w - - 0 1", 0, 0, 5},     // king on the edge
    {"KBPvKB", "8/7b/4k3/8/4P3/5K2/8/2B5 w - - 0 1", 1, 2, 0},    // opposite bishops, king in front
    {"KBPvKB", "8/7b/4k3/8/4P3/8/8/2B4K w - - 0 1", 0, 0, 0},
    {"KBPvKB", "8/8/3k4/8/4P3/8/8/2B2b1K w - - 0 1", 0, 0, 5},    // opposite, king beside the file
    {"KBPvKB", "k7/8/8/8/P7/3K4/8/2B3b1 b - - 0 1", 1, 0, 5},     // wrong rook pawn
    {"KBPvKB", "k7/8/8/8/P7/3K4/8/2B3b1 w - - 0 1", 1, 2, 5},     // ... only with Black to move
    {"KBPvKB", "k7/8/8/8/P7/3K3b/8/2B5 b - - 0 1", 1, 0, 0},
    {"KBPvKB", "6k1/8/8/7P/8/3K4/8/5B1b b - - 0 1", 1, 0, 5},
    {"KBPvKB", "k7/8/8/8/P7/3K3b/8/5B2 b - - 0 1", 1, 2, 5},     // the right bishop
    // KPP vs KP.
    {"KPPvKP", "k7/8/8/3pK3/8/7P/6P1/8 w - - 0 1", 1, 1, 5},      // loose pawn, pawns chained
    {"KPPvKP", "k7/8/8/3pK3/8/6PP/8/8 w - - 0 1", 1, 2, 5},       // side by side
    {"KPPvKP", "k7/8/8/3pK3/8/7P/1P6/8 w - - 0 1", 1, 2, 5},
    {"KPPvKP", "8/8/2k5/3pK3/8/7P/6P1/8 w - - 0 1", 0, 0, 5},     // pawn defended
    {"KPPvKP", "k7/8/8/3pK3/8/7P/6P1/8 b - - 0 1", 0, 0, 5},
    {"KPPvKP", "k7/8/8/3p4/8/5K1P/6P1/8 w - - 0 1", 0, 0, 5},     // pawn not attacked
    // KQP vs KQ.
    {"KQPvKQ", "8/8/3k4/8/4P3/3K4/8/Q6q w - - 0 1", 1, 2, 5},
    {"KQPvKQ", "8/8/3k4/8/4P3/8/q7/4K2Q w - - 0 1", 1, 2, 5},     // king on the edge, kings 5 apart
    {"KQPvKQ", "8/8/8/8/4P3/4k3/q7/4K2Q w - - 0 1", 0, 0, 5},     // ... kings 2 apart
    {"KQPvKQ", "7q/8/8/8/2P1k3/8/8/Q3K3 w - - 0 1", 1, 2, 5},     // ... kings 3 apart
    {"KQPvKQ", "8/8/3k4/8/4P3/3K4/8/Q2q4 w - - 0 1", 0, 0, 5},    // in check
    {"KQPvKQ", "8/7q/4k3/8/4P3/3K4/8/Q7 b - - 0 1", 1, -2, 5},    // king in front
    {"KQPvKQ", "8/8/q3k3/8/4P3/5K2/8/Q7 b - - 0 1", 0, 0, 5},     // queens meet, queen sees king
    {"KQPvKQ", "8/8/4k3/8/q3P3/5K2/8/Q7 b - - 0 1", 1, -2, 5},    // queens meet only
    {"KQPvKQ", "8/8/4k2q/8/4P3/5K2/8/Q7 b - - 0 1", 1, -2, 5},    // queen sees king only
    {"KQPvKQ", "4k3/7q/4K3/4P3/8/8/8/Q7 b - - 0 1", 0, 0, 5},     // edge, kings 2 apart
    {"KQPvKQ", "4k3/7q/8/3K4/8/4P3/8/Q7 b - - 0 1", 0, 0, 5},     // edge, kings 3 apart
    {"KQPvKQ", "4k3/7q/8/8/3K4/4P3/8/Q7 b - - 0 1", 1, -2, 5},    // edge, kings 4 apart
    {"KQPvKQ", "8/7q/3k4/8/4P3/5K2/8/Q7 b - - 0 1", 0, 0, 5},     // king beside the file
    {"KQPvKQ", "8/7q/Q3k3/8/4P3/3K4/8/8 b - - 0 1", 0, 0, 5},     // in check
    // KRP vs KN.
    {"KRPvKN", "8/8/8/2k5/8/4P3/3K4/R5n1 w - - 0 1", 1, 1, 5},    // pawn defended, not attacked
    {"KRPvKN", "8/8/8/8/8/4P3/3K1k2/R5n1 w - - 0 1", 1, 2, 5},    // attacked
    {"KRPvKN", "8/8/8/2k5/8/4P3/8/R3K1n1 w - - 0 1", 1, 2, 5},    // not defended
    {"KRPvKN", "8/8/8/2k5/8/4P3/3K4/R5n1 b - - 0 1", 0, 0, 5},
    {"KRPvKN", "8/8/8/2k5/8/4Pn2/3K4/R7 w - - 0 1", 0, 0, 5},     // in check
    // KRP vs KB.
    {"KRPvKB", "8/8/8/2k5/8/4P3/3K4/R5b1 w - - 0 1", 1, 1, 5},
    {"KRPvKB", "8/8/8/2k5/8/4P3/1b1K4/R7 w - - 0 1", 1, 2, 5},    // bishop attacks the rook
    {"KRPvKB", "8/8/8/8/8/4P3/3K1k2/R5b1 w - - 0 1", 1, 2, 5},    // king attacks the pawn
    {"KRPvKB", "8/8/8/2k5/8/4P3/8/R3K1b1 w - - 0 1", 1, 2, 5},    // not defended
    {"KRPvKB", "8/8/8/2k5/8/4P3/3K4/R5b1 b - - 0 1", 0, 0, 5},
    {"KRPvKB", "8/8/8/b1k5/8/4P3/3K4/R7 w - - 0 1", 0, 0, 5},     // in check
    // KBP vs KP.
    {"KBPvKP", "1k6/1p6/1P6/8/8/3K4/8/5B2 w - - 0 1", 1, 0, 5},   // b6 blocked, king on b8
    {"KBPvKP", "1k6/1p6/1P6/8/8/3K4/8/5B2 b - - 0 1", 1, 0, 5},
    {"KBPvKP", "7k/6p1/6P1/8/8/3K4/8/2B5 b - - 0 1", 1, 0, 5},    // g6 blocked, king on h8
    {"KBPvKP", "1kB5/1p6/1P6/8/8/3K4/8/8 w - - 0 1", 0, 0, 5},    // the king attacks the bishop
    {"KBPvKP", "k1K5/1p6/1P6/8/8/8/8/5B2 w - - 0 1", 0, 0, 5},    // White's king there too
    {"KBPvKP", "8/8/4pB2/4P3/8/2k5/8/6K1 w - - 0 1", 1, 1, 5},    // bishop guarded by the pawn
    {"KBPvKP", "8/8/4pB2/4P3/8/2k5/8/6K1 b - - 0 1", 0, 0, 5},
    {"KBPvKP", "8/8/4p3/4P3/8/2k2B2/8/6K1 w - - 0 1", 0, 0, 5},   // bishop elsewhere
    {"KBPvKP", "8/8/6pB/6P1/8/2k5/8/6K1 w - - 0 1", 0, 0, 5},     // bishop on the edge
    {"KBPvKP", "1k6/8/pB6/P7/8/8/8/6K1 w - - 0 1", 1, 0, 0},      // wrong rook pawn, blocked
    {"KBPvKP", "k7/8/8/p7/PB6/8/8/6K1 w - - 0 1", 1, -2, 0},      // ... the pawn attacks a man
    {"KBPvKP", "k7/8/8/2p5/P7/8/8/2B3K1 w - - 0 1", 1, -2, 0},    // wrong rook pawn
    {"KBPvKP", "7k/8/8/4p2P/8/8/8/5BK1 b - - 0 1", 1, -2, 0},
    {"KBPvKP", "k7/8/8/1p6/P7/8/8/2B3K1 w - - 0 1", 0, 0, 5},     // black pawn on the b-file
    {"KBPvKP", "k7/8/8/2p5/P7/8/8/5BK1 w - - 0 1", 0, 0, 5},      // the right bishop
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
    {"KPPPvK", "8/8/3k4/8/8/8/PP4P1/6K1 w - - 0 1", 1, 2, 5},     // side by side
    {"KPPPvK", "8/8/8/P7/8/6k1/2P1P3/K7 w - - 0 1", 1, 1, 5},     // a5 outside the square
    {"KPPPvK", "8/8/8/P7/8/6k1/2P1P3/K7 b - - 0 1", 1, 2, 5},
    {"KPPPvK", "3k4/8/8/8/8/1P6/P5P1/4K3 w - - 0 1", 1, 2, 5},    // king on the edge
    {"KPPPPvK", "8/8/3k4/8/8/1P6/P1P3P1/4K3 w - - 0 1", 1, 1, 5},
    // KNPP vs K.
    {"KNPPvK", "8/8/3k4/8/8/8/4PP2/4K1N1 w - - 0 1", 1, 1, 5},    // king defends a pawn
    {"KNPPvK", "8/8/3k4/8/8/8/4PP2/4K1N1 b - - 0 1", 1, 2, 5},
    {"KNPPvK", "8/8/3k4/8/8/8/P6P/3NK3 w - - 0 1", 1, 2, 5},
    // KBBP and KBPP vs K.
    {"KBBPvK", "8/8/3k4/8/8/3K4/4P3/2B2B2 w - - 0 1", 1, 1, 5},   // bishops on both colours
    {"KBBPvK", "8/8/3k4/8/8/3K4/4P3/2B2B2 b - - 0 1", 1, 2, 5},
    {"KBBPvK", "8/8/3k4/8/8/8/P7/2B2BK1 w - - 0 1", 1, 1, 5},     // ... on the edge
    {"KBBPvK", "8/8/3k4/3B4/8/3K4/4P3/2B5 w - - 0 1", 1, 2, 5},   // a bishop next to the king
    {"KBBPvK", "8/5k2/8/3P4/2B5/8/4B3/K7 w - - 0 1", 1, 1, 5},    // light bishop sees the pawn
    {"KBBPvK", "8/5k2/8/3P4/2B5/8/8/K4B2 w - - 0 1", 1, 2, 5},    // ... but one is on the edge
    {"KBBPvK", "8/8/8/7P/2B5/2k5/8/5B1K w - - 0 1", 1, 1, 5},     // unstoppable pawn
    {"KBBPvK", "8/8/8/7P/2B5/2k5/8/5B1K b - - 0 1", 1, 2, 5},
    {"KBPPvK", "8/6k1/8/8/4P3/3B4/1P6/4K3 w - - 0 1", 1, 1, 5},   // bishop sees a pawn
    {"KBPPvK", "8/6k1/8/8/4P3/4B3/1P6/4K3 w - - 0 1", 1, 2, 5},   // ... does not
    {"KBPPvK", "8/8/1k6/8/P7/8/2B1P3/4K3 w - - 0 1", 1, 2, 5},    // ... only an edge pawn
    // KRR vs KP.
    {"KRRvKP", "8/8/3k4/8/4p3/8/8/R5KR w - - 0 1", 1, 1, 5},
    {"KRRvKP", "8/8/3k4/8/4p3/8/8/R5KR b - - 0 1", 1, 1, 5},
    {"KRRvKP", "8/8/3k4/8/8/8/4p3/R5KR b - - 0 1", 0, 0, 5},      // pawn on its seventh
    {"KRRvKP", "8/8/3k4/8/8/8/4p3/R5KR w - - 0 1", 1, 1, 5},
    {"KRRvKP", "8/8/8/8/3kp3/4R3/8/R5K1 b - - 0 1", 0, 0, 5},     // loose rook attacked
    {"KRRvKP", "8/8/8/8/3kp3/R3R3/8/6K1 b - - 0 1", 1, 1, 5},     // ... the rooks defend each other
    {"KRRvKP", "8/8/8/8/3kp3/4R3/5K2/R7 b - - 0 1", 0, 0, 5},     // ... defended by the king only
    {"KRRvKP", "8/8/3k4/8/4p3/5R2/8/R5K1 b - - 0 1", 0, 0, 5},    // the pawn attacks a rook
    {"KRRvKP", "8/8/3k4/8/4p3/5R2/8/R5K1 w - - 0 1", 1, 1, 5},
    {"KRRvKP", "8/8/3k4/8/8/4p3/3K4/R6R w - - 0 1", 1, 1, 5},     // in check
    {"KRRvKP", "7k/6p1/8/8/8/8/R7/R5K1 w - - 0 1", 0, 0, 5},      // cornered king guards its pawn
    {"KRRvKP", "7k/6p1/8/8/8/8/R7/R5K1 b - - 0 1", 0, 0, 5},
    {"KRRvKP", "7k/8/8/8/4p3/8/R7/R5K1 w - - 0 1", 1, 1, 5},      // cornered, pawn away
    // KNNP vs K.
    {"KNNPvK", "8/8/3k4/8/8/8/4P3/3K1NN1 w - - 0 1", 1, 1, 5},    // king defends the pawn
    {"KNNPvK", "8/8/3k4/8/8/8/4P3/3K1NN1 b - - 0 1", 1, 1, 5},
    {"KNNPvK", "3k4/8/8/8/8/8/4P3/3K1NN1 b - - 0 1", 0, 0, 5},    // king on the edge
    {"KNNPvK", "8/8/3k4/8/8/8/7P/4N1NK w - - 0 1", 1, 2, 5},      // ... from the corner
    {"KNNPvK", "8/8/3k4/8/8/4P3/6N1/N6K w - - 0 1", 1, 1, 5},     // knight by the king defends
    {"KNNPvK", "8/8/3k4/8/6N1/4P3/8/N6K w - - 0 1", 1, 2, 5},     // ... away from the king
    {"KNNPvK", "8/8/8/P7/4k3/8/8/NN2K3 w - - 0 1", 1, 1, 5},      // unstoppable
    {"KNNPvK", "8/8/8/P7/4k3/8/8/NN2K3 b - - 0 1", 1, 2, 5},      // ... not with the king to move
    // KQ vs KNN.
    {"KQvKNN", "8/8/3k4/8/8/3K4/8/Q4nn1 w - - 0 1", 1, 2, 5},
    {"KQvKNN", "8/8/3k4/8/8/3K4/8/Q4nn1 b - - 0 1", 0, 0, 5},
    {"KQvKNN", "8/8/3k4/8/8/3K4/8/Q3n1n1 w - - 0 1", 0, 0, 5},    // in check
    // KRB vs KN.
    {"KRBvKN", "8/8/3k4/8/8/3K4/8/R1B3n1 w - - 0 1", 1, 1, 5},
    {"KRBvKN", "8/8/3k4/8/8/3K4/4n3/R1B5 w - - 0 1", 1, 2, 5},    // knight attacks the bishop
    {"KRBvKN", "8/8/3k4/8/8/8/4n3/R1B1K3 w - - 0 1", 0, 0, 5},    // ... king on the edge
    {"KRBvKN", "8/8/3k4/2R5/8/3K4/8/2B3n1 w - - 0 1", 1, 2, 5},   // rook next to the king
    {"KRBvKN", "8/8/3k4/8/8/3K4/8/R1B3n1 b - - 0 1", 1, 2, 5},
    {"KRBvKN", "8/8/3k4/8/8/8/8/R1B1K1n1 b - - 0 1", 0, 0, 5},
    {"KRBvKN", "8/8/3k4/4n3/8/3K4/8/R1B5 w - - 0 1", 1, 2, 5},    // in check
    // KNP vs KB.
    {"KNPvKB", "8/8/3k4/8/4P3/3K4/8/N5b1 w - - 0 1", 1, 2, 5},
    {"KNPvKB", "8/8/3k4/8/4P3/8/8/N5bK w - - 0 1", 0, 0, 5},      // king in the corner
    {"KNPvKB", "8/8/3k4/8/4P3/3K4/8/N4b2 w - - 0 1", 0, 0, 5},    // in check
    {"KNPvKB", "8/7b/3k4/8/4P3/3K4/8/N7 b - - 0 1", 1, 0, 5},     // bishop attacks the pawn
    {"KNPvKB", "8/7b/3k4/8/4P3/8/8/N6K b - - 0 1", 1, -2, 5},     // ... king in the corner
    {"KNPvKB", "8/8/3k4/8/4P3/3K4/8/N5b1 b - - 0 1", 0, 0, 5},
    {"KNPvKB", "8/7b/3k4/8/2N1P3/3K4/8/8 b - - 0 1", 0, 0, 5},    // in check
    // KQB vs KQ.
    {"KQBvKQ", "7q/8/3k4/8/8/3K4/8/Q1B5 w - - 0 1", 1, 2, 0},
    {"KQBvKQ", "7q/8/3k4/8/8/3K4/8/Q1B5 b - - 0 1", 0, 0, 0},
    {"KQBvKQ", "7q/8/3k4/8/8/8/8/Q1B1K3 w - - 0 1", 0, 0, 0},     // king on the edge
    {"KQBvKQ", "3q4/8/4k3/8/8/3K4/8/Q1B5 w - - 0 1", 0, 0, 0},    // in check
    // A queen and more against a lone queen, knight or pawn.
    {"KQRvKN", "8/8/3k4/8/8/3K4/8/QR4n1 w - - 0 1", 1, 1, 5},
    {"KQRBvKN", "8/8/3k4/8/8/3K4/8/QRB3n1 w - - 0 1", 1, 1, 5},
    {"KQPvKN", "8/8/3k4/8/8/3K4/6P1/Q5n1 w - - 0 1", 1, 1, 5},
    {"KQQvKP", "8/8/3k4/8/5p2/3K4/8/QQ6 w - - 0 1", 1, 1, 5},
    {"KQRvKN", "8/8/3k4/8/8/3K4/8/QR4n1 b - - 0 1", 1, 2, 5},       // king off the edge, no queen in line
    {"KQQRvKQ", "8/8/3k4/7q/8/4K3/8/QQR5 b - - 0 1", 1, 2, 5},
    {"KQQvKP", "8/8/3k4/8/5p2/8/3K4/QQ6 b - - 0 1", 1, 2, 5},
    {"KQQvKP", "8/8/3k4/8/5p2/3K4/8/QQ6 b - - 0 1", 0, 0, 5},       // a queen on the king's diagonal
    {"KQQvKP", "8/8/3k4/8/5p2/8/8/QQ5K b - - 0 1", 0, 0, 5},        // king on the edge
    {"KQQvKQ", "3q2k1/8/8/8/8/3K4/7Q/Q7 w - - 0 1", 1, 2, 5},       // in check
    {"KQQvKQ", "3q2k1/8/8/8/8/3K4/7Q/1Q6 w - - 0 1", 0, 0, 5},      // in check, a queen in line
    {"KQNvKN", "1k6/8/4n3/8/3Q4/8/8/1N5K b - - 0 1", 1, 0, 5},      // the knight forks the queen
    {"KQBvKN", "1k6/8/4n3/8/3Q4/B2K4/8/8 b - - 0 1", 1, 0, 5},      // ... the queen next to the king
    {"KQNvKN", "k7/8/4n3/8/3Q4/8/8/1N5K b - - 0 1", 0, 0, 5},       // Black king in the corner
    {"KQNvKN", "1k6/8/8/4n3/3Q4/8/8/1N5K b - - 0 1", 0, 0, 5},      // the queen not attacked
    {"KQRvKN", "1k6/8/4n3/8/3Q4/8/8/2R4K b - - 0 1", 0, 0, 5},      // not queen and minor
    {"KQNvKN", "1k6/2Q5/4n3/8/8/8/8/1N5K b - - 0 1", 0, 0, 5},      // Black in check
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
    {"KQRvKR", "7r/4R3/3k4/8/8/3K4/8/Q7 b - - 0 1", 0, 0, 5},       // a rook next to the king
    {"KQRvKR", "7r/8/3k4/8/K7/8/8/QR6 b - - 0 1", 0, 0, 5},         // king on the edge
    // KQP or KRP against a pawn.
    {"KRPvKP", "8/4P3/1k6/8/3p4/8/8/R3K3 w - - 0 1", 1, 1, 5},      // pawn on its seventh
    {"KRPvKP", "7R/4P3/8/k7/8/8/1p6/6K1 w - - 0 1", 0, 0, 5},       // ... but the other on rank 2
    {"KRPvKP", "8/4P3/1k6/8/8/3p4/8/R3K3 w - - 0 1", 1, 2, 5},      // ... rank 3; the rook reaches the path
    {"KQPvKP", "8/1k6/8/4p3/2Q1P3/8/8/6K1 w - - 0 1", 1, 1, 5},     // blocked pawn, queen beside it
    {"KQPvKP", "8/1k6/8/4p3/Q3P3/8/8/6K1 w - - 0 1", 1, 2, 5},      // ... the queen on the edge
    {"KRPvKP", "8/1k6/8/4p3/8/8/4K1P1/R7 w - - 0 1", 1, 1, 5},      // king on the path
    {"KQPvKP", "8/1k6/8/4p3/8/8/6P1/4Q1K1 w - - 0 1", 1, 1, 5},     // queen on the path
    {"KRPvKP", "8/7R/2k5/4p3/8/P7/8/6K1 w - - 0 1", 0, 0, 5},
    {"KQPvKP", "8/8/2k5/8/4p3/8/6P1/Q5K1 b - - 0 1", 1, 1, 5},
    {"KRPvKP", "8/8/2k5/8/4p3/8/6P1/R5K1 b - - 0 1", 1, 2, 5},      // no queen
    {"KQPvKP", "8/8/2k5/4K3/4p3/8/6P1/Q7 b - - 0 1", 1, 2, 5},      // kings two apart
    {"KQPvKP", "2k5/8/8/8/4p3/8/6P1/Q5K1 b - - 0 1", 1, 2, 5},      // Black king on the edge
    {"KRPvKP", "8/1k6/8/8/8/4p3/6P1/R5K1 b - - 0 1", 0, 0, 5},      // pawn on rank 3
    {"KQPvKP", "8/8/2k5/8/4p3/5P2/8/Q5K1 b - - 0 1", 0, 0, 5},      // the pawn attacks a man
    {"KRPvKP", "8/3R4/2k5/8/4p3/8/6P1/6K1 b - - 0 1", 0, 0, 5},     // a rook next to the king
    // KQR against a queen.
    {"KQRvKQ", "8/8/3k4/8/8/3K4/8/QR5q w - - 0 1", 1, 1, 5},
    {"KQRvKQ", "8/8/3k4/8/8/3K3q/8/QR6 w - - 0 1", 0, 0, 5},        // in check
    {"KQRvKQ", "8/8/3k4/8/8/3K4/8/QR5q b - - 0 1", 0, 0, 5},
    // KQN against a pawn.
    {"KQNvKP", "8/8/2k5/8/4p3/8/8/QN4K1 b - - 0 1", 1, 1, 5},
    {"KQNvKP", "8/8/2k5/8/8/2p5/8/QN4K1 b - - 0 1", 1, 2, 5},       // pawn on c3
    {"KQNvKP", "8/8/2k5/8/Q3p3/8/8/1N4K1 b - - 0 1", 1, 1, 5},      // Black in check
    {"KQNvKP", "8/8/2k5/8/4p3/3Q4/8/1N4K1 b - - 0 1", 0, 0, 5},     // the pawn attacks the queen
    {"KQNvKP", "8/8/2k5/8/8/8/4p3/QN4K1 b - - 0 1", 0, 0, 5},       // pawn on rank 2
    {"KQNvKP", "2k5/8/8/8/4p3/8/8/QN4K1 b - - 0 1", 0, 0, 5},       // Black king on the edge
    {"KQNvKP", "4Q3/1k6/p7/1NK5/8/8/8/8 b - - 0 1", 0, 0, 5},       // no king move
    {"KQNvKP", "4Q3/1k6/p7/1NK5/8/8/8/8 w - - 0 1", 1, 1, 5},
    {"KQNvKP", "8/8/2k5/8/8/8/5p2/QN5K w - - 0 1", 1, 2, 5},        // pawn on f2
    {"KQNvKP", "8/8/2k5/8/8/8/4p3/QN5K w - - 0 1", 1, 1, 5},        // pawn on e2
    {"KQNvKP", "kN6/8/8/8/4p3/8/8/4Q1K1 w - - 0 1", 1, 1, 5},       // edge and neighbour count for Black only
    // KQ against two pawns.
    {"KQvKPP", "8/6k1/8/4p3/2p1K3/2Q5/8/8 w - - 0 1", 1, 1, 5},     // both pawns blocked
    {"KQvKPP", "8/6k1/8/4p3/2p1K3/8/8/7Q w - - 0 1", 1, 1, 5},      // Black king on rank 7
    {"KQvKPP", "8/8/6k1/4p3/2p1K3/8/8/7Q w - - 0 1", 0, 0, 5},
    {"KQvKPP", "6k1/8/8/4p3/2p5/3K4/8/7Q w - - 0 1", 0, 0, 5},      // in check
    {"KQvKPP", "8/6k1/8/4p3/2p1K3/2Q5/8/8 b - - 0 1", 0, 0, 5},
    // KNP against a knight.
    {"KNPvKN", "8/8/3k4/8/4P3/3K4/8/1N4n1 w - - 0 1", 1, 2, 5},
    {"KNPvKN", "8/8/3k4/8/4P3/8/8/1N4nK w - - 0 1", 0, 0, 5},       // White king in the corner
    {"KNPvKN", "8/8/3k1n2/8/4P3/3K4/8/1N6 b - - 0 1", 1, 0, 5},     // the knight attacks the pawn
    {"KNPvKN", "8/8/4k3/8/4P3/3K4/8/1N4n1 b - - 0 1", 1, 0, 5},     // king in front of the pawn
    {"KNPvKN", "8/8/4k3/8/4P3/8/8/1N4nK b - - 0 1", 1, -2, 5},      // ... White king in the corner
    {"KNPvKN", "8/8/3k4/8/4P3/3K4/8/1N4n1 b - - 0 1", 0, 0, 5},
    {"KNPvKN", "4k3/8/8/8/4P3/3K4/8/1N4n1 b - - 0 1", 0, 0, 5},     // in front, on the edge
    {"KNPvKN", "8/8/4k3/8/3NP3/3K4/8/6n1 b - - 0 1", 0, 0, 5},      // in check
    // KR against two knights: the two halves add up.
    {"KRvKNN", "8/8/3k1n2/8/4n3/8/2K5/R7 w - - 0 1", 1, 0, 0},      // both kings free, knights linked
    {"KRvKNN", "8/8/3k4/5n2/4n3/8/2K5/R7 w - - 0 1", 1, 2, 0},
    {"KRvKNN", "3k4/8/5n2/8/4n3/8/2K5/R7 w - - 0 1", 1, 2, 0},      // Black king on the edge
    {"KRvKNN", "8/8/3k1n2/8/4n3/8/8/R1K5 w - - 0 1", 1, -2, 0},     // White king on the edge
    {"KRvKNN", "8/8/3k1n2/8/4n3/8/8/R1K5 b - - 0 1", 1, -2, 0},
    {"KRvKNN", "8/8/3k4/5n2/4n3/8/8/R1K5 w - - 0 1", 0, 0, 0},
    // KQN against a queen.
    {"KQNvKQ", "8/8/3k4/8/8/3K4/8/QN5q w - - 0 1", 1, 2, 0},
    {"KQNvKQ", "8/8/3k4/8/8/3K3q/8/QN6 w - - 0 1", 0, 0, 0},        // in check
    {"KQNvKQ", "8/8/3k4/8/8/8/3K4/QN5q b - - 0 1", 1, -2, 0},       // kings four apart
    {"KQNvKQ", "8/8/3k4/8/8/3K4/8/QN5q b - - 0 1", 0, 0, 0},        // ... three apart
    {"KQNvKQ", "3k4/8/8/8/8/8/3K4/QN5q b - - 0 1", 0, 0, 0},        // Black king on the edge
    // KQ against two rooks.
    {"KQvKRR", "7r/7r/3k4/8/8/3K4/8/Q7 w - - 0 1", 1, 2, 0},
    {"KQvKRR", "7r/6r1/3k4/8/8/3K4/8/Q7 w - - 0 1", 1, 2, 0},       // a rook on the diagonal only
    {"KQvKRR", "8/r5r1/3k4/8/8/3K4/8/Q7 w - - 0 1", 0, 0, 0},       // a rook on the queen's file
    {"KQvKRR", "8/3r4/3kr3/8/8/3K4/8/Q7 b - - 0 1", 1, -2, 0},      // both rooks by the king
    {"KQvKRR", "8/3r4/3k4/8/8/3K4/8/Q6r b - - 0 1", 0, 0, 0},
    {"KQvKRR", "8/3r4/3kr3/8/8/Q2K4/8/8 b - - 0 1", 0, 0, 0},       // Black in check
    // KQ against knight and pawn.
    {"KQvKNP", "8/8/3k4/4p3/8/3K4/8/Q5n1 w - - 0 1", 1, 1, 5},      // pawn on rank 5
    {"KQvKNP", "6n1/8/3k4/8/8/4p3/4K3/Q7 w - - 0 1", 1, 1, 5},      // king below the pawn
    {"KQvKNP", "6n1/8/3k4/6K1/8/4p3/8/2Q5 w - - 0 1", 1, 2, 5},     // the queen attacks the pawn
    {"KQvKNP", "6n1/8/3k4/8/8/4p3/8/Q3K3 w - - 0 1", 0, 0, 5},      // below it, but on the edge
    {"KQvKNP", "8/8/3k4/4p3/8/3K4/8/Q3n3 w - - 0 1", 0, 0, 5},      // in check
    {"KQvKNP", "8/8/3k4/4p3/8/3K4/8/Q5n1 b - - 0 1", 0, 0, 5},
    // KNN against a pawn.
    {"KNNvKP", "8/8/3k4/8/8/4p3/8/1NN3K1 w - - 0 1", 1, -2, 5},     // pawn on rank 3
    {"KNNvKP", "8/8/3k4/8/8/8/4p3/1NN3K1 b - - 0 1", 1, -2, 5},     // ... rank 2
    {"KNNvKP", "8/8/3k4/8/4p3/8/8/1NN3K1 w - - 0 1", 0, 0, 5},      // ... rank 4
    {"KNNvKP", "3k4/8/8/8/8/4p3/8/1NN3K1 w - - 0 1", 0, 0, 5},      // Black king on the edge
    // KQ against two bishops or two knights.
    {"KQvKBB", "8/8/3k4/8/8/3K4/8/Q5bb w - - 0 1", 1, 2, 5},
    {"KQvKBB", "8/8/3k4/8/8/3K4/8/Q4b1b w - - 0 1", 0, 0, 5},       // in check
    {"KQvKNN", "8/8/3k4/8/8/3K4/8/Q5nn w - - 0 1", 1, 2, 5},
    {"KQvKNN", "8/8/3k4/8/8/3K4/8/Q5nn b - - 0 1", 0, 0, 5},
    // KQ against rook and knight.
    {"KQvKRN", "7r/8/3k4/8/8/3K4/8/Q5n1 w - - 0 1", 1, 2, 5},
    {"KQvKRN", "r7/8/3k4/8/8/3K4/8/Q5n1 w - - 0 1", 0, 0, 5},       // a rook on the queen's file
    {"KQvKRN", "7r/8/3k4/8/8/8/8/Q3K1n1 w - - 0 1", 0, 0, 5},       // king on the edge
    {"KQvKRN", "r7/8/3k4/8/8/3K4/8/Q5n1 b - - 0 1", 1, -1, 5},      // the rook takes the queen
    {"KQvKRN", "r7/8/3k4/8/8/8/1K6/Q5n1 b - - 0 1", 1, -2, 5},      // ... defended
    {"KQvKRN", "r7/8/3k4/8/8/8/8/Q3K1n1 b - - 0 1", 1, -2, 5},      // ... king on the edge
    {"KQvKRN", "7r/8/3k4/8/8/1n1K4/8/Q7 b - - 0 1", 1, -2, 5},      // the knight attacks the queen
    {"KQvKRN", "7r/8/3k4/8/8/3K4/8/Q5n1 b - - 0 1", 0, 0, 5},
    // KBN against a knight or a bishop.
    {"KBNvKN", "8/8/3k4/8/8/3K4/8/1BN3n1 w - - 0 1", 1, 2, 0},
    {"KBNvKB", "8/8/3k4/8/8/3K4/8/1BN3b1 b - - 0 1", 1, 2, 0},
    {"KBNvKN", "8/8/3k4/8/8/8/8/1BN1K1n1 w - - 0 1", 0, 0, 0},      // king on the edge
    // KBB against a knight.
    {"KBBvKN", "8/8/3k1n2/8/8/3KB3/8/2B5 b - - 0 1", 1, 0, 5},      // bishops on one colour
    {"KBBvKN", "8/8/3k1n2/8/8/4B3/8/K1B5 b - - 0 1", 1, -2, 5},     // ... White king in the corner
    {"KBBvKN", "8/8/3k2n1/3B4/8/3K4/8/2B5 b - - 0 1", 1, 0, 5},     // the king takes a bishop
    {"KBBvKN", "8/8/3k2n1/3B4/3K4/8/8/2B5 b - - 0 1", 0, 0, 5},     // ... defended
    {"KBBvKN", "8/8/3k4/8/8/4n2K/8/2B2B2 b - - 0 1", 1, 0, 5},      // the knight attacks a bishop
    {"KBBvKN", "8/8/3k4/8/8/4n3/8/2B2B1K b - - 0 1", 1, -2, 5},     // ... White king in the corner
    {"KBBvKN", "8/8/3k3n/8/8/3KB3/8/2B5 b - - 0 1", 0, 0, 5},       // knight on the edge
    {"KBBvKN", "8/8/3k1n2/1B6/3K4/8/8/2B5 b - - 0 1", 0, 0, 5},     // Black in check
    {"KBBvKN", "8/8/3k4/3B4/8/3K4/4n3/2B5 w - - 0 1", 1, 2, 5},     // king and knight both attack
    {"KBBvKN", "8/8/3k4/8/8/3K4/8/2B2Bn1 w - - 0 1", 1, 1, 5},
    {"KBBvKN", "8/8/3k4/8/8/3K4/8/2B1B1n1 w - - 0 1", 1, 2, 5},     // bishops on one colour
    {"KBBvKN", "8/8/3k4/8/5n2/3K4/8/2B2B2 w - - 0 1", 1, 2, 5},     // in check
    {"KBBvKN", "8/8/3k4/8/8/8/8/2B1KBn1 w - - 0 1", 0, 0, 5},       // king on the edge
    // KR against two bishops.
    {"KRvKBB", "6k1/8/8/8/3K4/8/7b/R4b2 w - - 0 1", 1, 2, 0},       // the rook attacks a bishop
    {"KRvKBB", "6k1/8/8/8/6K1/2b5/8/R4b2 w - - 0 1", 0, 0, 0},      // ... but is attacked
    {"KRvKBB", "6k1/8/8/8/3Kb3/8/7b/R7 w - - 0 1", 0, 0, 0},        // attacks nothing
    {"KRvKBB", "8/8/3k4/8/8/3K4/8/R4b1b w - - 0 1", 0, 0, 0},       // in check
    {"KRvKBB", "8/8/3k4/8/8/3K4/8/R5bb b - - 0 1", 1, -2, 0},
    {"KRvKBB", "3k4/8/8/8/8/3K4/8/R5bb b - - 0 1", 0, 0, 0},        // Black king on the edge
    // KQ against bishop and knight.
    {"KQvKBN", "8/8/3k4/8/8/3K4/8/Q5bn w - - 0 1", 1, 2, 5},
    {"KQvKBN", "8/8/3k4/8/8/2bK4/8/Q6n w - - 0 1", 0, 0, 5},        // the bishop attacks the queen
    {"KQvKBN", "8/8/3k4/8/8/8/8/Q3K1bn w - - 0 1", 0, 0, 5},        // king on the edge
    {"KQvKBN", "8/8/3k4/8/8/1n1K4/8/Q5b1 b - - 0 1", 1, -2, 5},     // the knight attacks the queen
    {"KQvKBN", "8/8/3k4/8/8/2bK4/8/Q6n b - - 0 1", 1, -2, 5},       // the bishop attacks the queen
    {"KQvKBN", "8/8/3k4/8/8/3K4/8/Q5bn b - - 0 1", 0, 0, 5},
    // KQ against rook and pawn.
    {"KQvKRP", "7r/8/3k4/4p3/8/3K4/8/Q7 w - - 0 1", 1, 2, 5},
    {"KQvKRP", "7r/8/3k4/4p3/3K4/8/8/Q7 w - - 0 1", 1, 2, 5},       // in check by the pawn
    {"KQvKRP", "8/8/3k4/4p3/8/3K4/8/Q6r w - - 0 1", 0, 0, 5},       // the rook attacks the queen
    {"KQvKRP", "7r/8/3k4/8/5p2/3K4/8/Q7 w - - 0 1", 0, 0, 5},       // pawn on rank 4
    {"KQvKRP", "7r/8/3k4/4p3/8/3K4/8/Q7 b - - 0 1", 0, 0, 5},
    // KRN against a knight.
    {"KRNvKN", "8/8/3k4/8/8/3K4/8/RN4n1 w - - 0 1", 1, 1, 5},
    {"KRNvKN", "8/4R3/3k4/8/8/3K4/8/1N4n1 w - - 0 1", 1, 2, 5},     // a rook next to the king
    {"KRNvKN", "8/8/3k4/8/8/5K2/8/RN4n1 w - - 0 1", 1, 2, 5},       // in check
    {"KRNvKN", "8/8/3k4/8/8/7K/8/RN4n1 w - - 0 1", 0, 0, 5},        // in check on the edge
    {"KRNvKN", "8/8/3k4/8/8/3K4/8/RN4n1 b - - 0 1", 1, 2, 5},
    {"KRNvKN", "8/8/3k4/8/8/8/8/RN2K1n1 b - - 0 1", 0, 0, 5},       // king on the edge
    // KQR against a pawn.
    {"KQRvKP", "8/8/3k4/8/4p3/8/8/QR4K1 w - - 0 1", 1, 1, 5},
    {"KQRvKP", "8/8/3k4/8/4p3/3K4/8/QR6 w - - 0 1", 1, 1, 5},       // in check by the pawn
    {"KQRvKP", "8/8/3k4/8/8/8/4p3/QR3K2 w - - 0 1", 0, 0, 5},       // ... the pawn on rank 2
    {"KQRvKP", "8/8/3k4/8/4p3/8/8/QR4K1 b - - 0 1", 1, 1, 5},
    {"KQRvKP", "8/8/3k4/8/4p3/8/8/Q2R2K1 b - - 0 1", 1, 1, 5},      // Black in check
    {"KQRvKP", "k7/2Q5/8/8/4p3/8/8/6KR b - - 0 1", 0, 0, 5},        // no king move
    {"KQRvKP", "8/4R3/3k4/8/4p3/8/8/Q5K1 b - - 0 1", 0, 0, 5},      // a rook next to the king
    {"KQRvKP", "8/8/3k4/8/4p3/5Q2/8/1R4K1 b - - 0 1", 0, 0, 5},     // the pawn attacks the queen
    // KQ against bishop and pawn.
    {"KQvKBP", "8/8/3k4/4p3/8/3K4/8/Q5b1 w - - 0 1", 1, 1, 5},      // pawn on rank 5
    {"KQvKBP", "8/8/3k4/8/8/4p3/4K3/Q6b w - - 0 1", 1, 1, 5},       // king below the pawn
    {"KQvKBP", "8/8/3k4/6K1/8/4p3/8/2Q4b w - - 0 1", 1, 2, 5},      // the queen attacks the pawn
    {"KQvKBP", "8/8/3k4/4p3/8/2bK4/8/Q7 w - - 0 1", 0, 0, 5},       // the bishop attacks the queen
    {"KQvKBP", "8/8/3k4/8/8/4p3/8/Q3K2b w - - 0 1", 0, 0, 5},
    // KNN against a knight.
    {"KNNvKN", "8/8/3k4/8/8/3K4/8/1NN3n1 w - - 0 1", 1, 0, 0},
    {"KNNvKN", "3k4/8/8/8/8/3K4/8/1NN3n1 b - - 0 1", 1, 2, 0},      // Black king on the edge
    {"KNNvKN", "8/8/3k4/8/8/8/8/1NN3nK w - - 0 1", 0, 0, 0},        // White king in the corner
    // Three knights.
    {"KNNNvK", "8/8/3k4/8/8/3K4/8/1NNN4 w - - 0 1", 1, 1, 5},
    {"KNNNvK", "8/8/3k4/8/8/3K4/8/NNN5 w - - 0 1", 1, 2, 5},        // a knight in the corner
    {"KNNNvK", "8/4N3/3k4/8/8/3K4/8/1NN5 w - - 0 1", 1, 2, 5},      // a knight next to the king
    {"KNNNvK", "8/8/3k4/8/8/3K4/8/1NNN4 b - - 0 1", 1, 2, 5},
    // KR against bishop and knight.
    {"KRvKBN", "8/8/3k4/8/8/3K4/8/R5bn w - - 0 1", 1, 2, 0},
    {"KRvKBN", "8/8/3k4/8/8/2bK4/8/R6n w - - 0 1", 0, 0, 0},        // the bishop attacks the rook
    {"KRvKBN", "8/8/3k4/8/8/8/8/R2K2bn w - - 0 1", 0, 0, 0},        // king on the edge
    {"KRvKBN", "8/8/3k4/8/8/3K4/8/R5nb b - - 0 1", 1, -2, 0},
    {"KRvKBN", "8/8/3k4/8/8/3K4/8/R5bn b - - 0 1", 0, 0, 0},        // the rook attacks the bishop
    {"KRvKBN", "8/8/R2k4/8/8/3K4/8/6nb b - - 0 1", 0, 0, 0},        // Black in check
    // KR against bishop and pawn.
    {"KRvKBP", "7b/8/3k4/8/4p3/8/4K3/R7 w - - 0 1", 1, 2, 0},       // king below the pawn
    {"KRvKBP", "8/1b6/3k4/8/4p3/6K1/8/4R3 w - - 0 1", 1, 2, 0},     // the rook behind the pawn
    {"KRvKBP", "8/1b6/3k4/8/R3p3/6K1/8/8 w - - 0 1", 1, 2, 0},      // ... beside it
    {"KRvKBP", "8/8/3k4/8/4p3/2b3K1/8/4R3 w - - 0 1", 0, 0, 0},     // ... attacked by the bishop
    {"KRvKBP", "8/8/3k4/8/4p3/6K1/4b3/4R3 w - - 0 1", 0, 0, 0},     // ... the bishop between
    {"KRvKBP", "8/8/3k4/8/4p3/2b5/6K1/R7 b - - 0 1", 1, -2, 0},
    {"KRvKBP", "8/8/3k4/8/4p3/2b5/6K1/2R5 b - - 0 1", 0, 0, 0},     // the rook attacks the bishop
    {"KRvKBP", "8/8/3k4/b7/4p3/8/6K1/1R6 b - - 0 1", 0, 0, 0},      // bishop on the edge
    // KBB against a bishop.
    {"KBBvKB", "8/8/3k4/8/8/3K4/8/2BB2b1 b - - 0 1", 1, -2, 0},
    {"KBBvKB", "3k4/8/8/8/8/3K4/8/2BB2b1 b - - 0 1", 0, 0, 0},      // Black king on the edge
    {"KBBvKB", "8/8/8/2K5/4B3/1bk5/8/2B5 b - - 0 1", 0, 0, 0},      // no king move
    {"KBBvKB", "8/8/8/2K5/4B3/1bk5/8/2B5 w - - 0 1", 1, 2, 0},
    {"KBBvKB", "8/8/3k4/8/8/3K4/8/2BB2b1 w - - 0 1", 1, 2, 0},
    {"KBBvKB", "8/8/3k4/8/8/3K4/8/2BB1b2 w - - 0 1", 0, 0, 0},      // in check
    // KQ against rook and bishop.
    {"KQvKRB", "7r/8/3k4/8/8/3K4/8/Q6b w - - 0 1", 1, 2, 5},        // rook on a diagonal, bishop on the rank
    {"KQvKRB", "8/8/3k4/8/8/3K4/8/Q5rb w - - 0 1", 0, 0, 5},        // a rook on the queen's rank
    {"KQvKRB", "7r/8/3k4/8/8/2bK4/8/Q7 w - - 0 1", 0, 0, 5},        // a bishop on its diagonal
    {"KQvKRB", "7r/8/3k4/8/8/8/8/Q3K2b w - - 0 1", 0, 0, 5},        // king on the edge
    {"KQvKRB", "8/8/3k4/8/8/3K4/8/Q5rb b - - 0 1", 1, -1, 5},       // the rook takes the queen
    {"KQvKRB", "8/8/3k4/8/8/8/1K6/Q5rb b - - 0 1", 1, -2, 5},       // ... defended
    {"KQvKRB", "7r/8/3k4/8/8/2bK4/8/Q7 b - - 0 1", 1, -2, 5},       // the bishop takes the queen
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
    {"KBPvKN", "8/8/2k2n2/8/4P3/3K4/8/2B5 b - - 0 1", 1, 0, 5},     // the knight attacks the pawn
    {"KBPvKN", "8/8/2k2n2/8/4P3/K7/8/2B5 b - - 0 1", 1, -2, 5},     // ... White king on the edge
    {"KBPvKN", "8/8/2k2n2/8/3BP3/3K4/8/8 b - - 0 1", 1, 2, 5},      // ... the bishop attacks it
    {"KBPvKN", "8/8/2k2n2/1B6/4P3/3K4/8/8 b - - 0 1", 1, 2, 5},     // ... Black in check
    {"KBPvKN", "8/8/2k2n2/8/4P3/3K4/8/2B5 w - - 0 1", 1, 2, 5},
    {"KBPvKN", "8/8/2k2n2/8/4P3/K7/8/2B5 w - - 0 1", 0, 0, 5},      // king on the edge
    // KQB against a pawn.
    {"KQBvKP", "8/8/3k4/8/4p3/8/8/QB4K1 w - - 0 1", 1, 1, 5},
    {"KQBvKP", "8/8/3k4/8/8/8/4p3/QB5K w - - 0 1", 1, 1, 5},        // pawn on rank 2
    {"KQBvKP", "8/8/3k4/8/8/4p3/5K2/QB6 w - - 0 1", 1, 1, 5},       // in check, pawn on rank 3
    {"KQBvKP", "8/8/3k4/8/8/8/4p3/QB3K2 w - - 0 1", 0, 0, 5},       // in check, pawn on rank 2
    {"KQBvKP", "8/8/8/2K4p/4B3/2k5/Q7/8 w - - 0 1", 1, 1, 5},
    {"KQBvKP", "8/8/3k4/8/4p3/8/8/QB4K1 b - - 0 1", 1, 1, 5},
    {"KQBvKP", "8/8/3k4/8/4p3/Q7/8/1B4K1 b - - 0 1", 1, 1, 5},      // Black in check
    {"KQBvKP", "8/8/8/2K4p/4B3/2k5/Q7/8 b - - 0 1", 0, 0, 5},       // no king move
    {"KQBvKP", "8/8/3k4/8/8/8/4p3/QB5K b - - 0 1", 0, 0, 5},        // pawn on rank 2
    {"KQBvKP", "3k4/8/8/8/4p3/8/8/QB4K1 b - - 0 1", 0, 0, 5},       // Black king on the edge
    {"KQBvKP", "8/3B4/3k4/8/4p3/8/8/Q5K1 b - - 0 1", 0, 0, 5},      // a bishop next to the king
    {"KQBvKP", "8/8/3k4/8/4p3/5Q2/8/1B4K1 b - - 0 1", 0, 0, 5},     // the pawn attacks the queen
    // KNP against a rook.
    {"KNPvKR", "4r3/8/2k5/8/4P3/8/6K1/1N6 b - - 0 1", 1, -2, 5},    // rook behind the pawn
    {"KNPvKR", "8/8/2k5/8/r3P3/8/6K1/1N6 b - - 0 1", 1, -2, 5},     // ... beside it
    {"KNPvKR", "8/8/2k5/8/r1N1P3/8/6K1/8 b - - 0 1", 0, 0, 5},      // ... the knight between
    {"KNPvKR", "7r/8/4k3/8/4P3/8/6K1/1N6 b - - 0 1", 1, -2, 5},     // king in front of the pawn
    {"KNPvKR", "4k3/8/8/8/4P3/8/6K1/1N5r b - - 0 1", 0, 0, 5},      // ... on the edge
    {"KNPvKR", "1N2r3/8/2k5/8/4P3/8/6K1/8 b - - 0 1", 0, 0, 5},     // Black in check
    {"KNPvKR", "4r3/8/2k5/8/4P3/8/6K1/1N6 w - - 0 1", 0, 0, 5},
    // KN against two pawns.
    {"KNvKPP", "8/6k1/8/3p1p2/3K1N2/8/8/8 w - - 0 1", 1, 0, 5},     // both pawns blocked
    {"KNvKPP", "8/6k1/8/3p1p2/3K1N2/8/8/8 b - - 0 1", 1, 0, 5},
    {"KNvKPP", "8/8/8/3p1pk1/3K1N2/8/8/8 b - - 0 1", 1, -2, 5},     // ... the king attacks the knight
    {"KNvKPP", "8/6k1/8/3p4/3K4/7p/7N/8 w - - 0 1", 1, -2, 5},      // ... a pawn on h3
    {"KNvKPP", "8/6k1/8/3p1p2/3K4/8/8/1N6 w - - 0 1", 1, -2, 5},
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
    {"KQRRvKP", "8/8/3k4/8/8/8/4p3/1RR1Q1K1 w - - 0 1", 1, 1, 5},   // the queen on the path
    {"KQRRvKP", "8/8/3k4/8/8/4p3/8/QRR3K1 w - - 0 1", 0, 0, 5},     // path attacked, not occupied
    {"KQRNvKP", "8/8/3k4/8/4p3/3K4/8/QRN5 w - - 0 1", 0, 0, 5},     // in check
    {"KQRRvKP", "8/8/3k4/8/4p3/8/8/QRR3K1 b - - 0 1", 0, 0, 5},
    // Three pawns against one.
    {"KPPPvKP", "8/6k1/8/4p3/2P5/1P2K3/P7/8 w - - 0 1", 1, 1, 5},   // two pawns defended
    {"KPPPvKP", "8/2k5/8/4p3/4K3/1P6/P5P1/8 w - - 0 1", 1, 1, 5},   // one, king right below the pawn
    {"KPPPvKP", "8/2k5/8/4p3/8/1P2K3/P5P1/8 w - - 0 1", 0, 0, 5},   // one, king further down
    {"KPPPvKP", "8/8/k7/4p3/8/1P2K3/P5P1/8 w - - 0 1", 1, 1, 5},    // ... a free pawn outruns the king
    {"KPPPvKP", "8/8/8/4p3/8/3PK3/3PP3/k7 w - - 0 1", 0, 0, 5},     // the free pawn's file is attacked
    {"KPPPvKP", "k7/8/8/4p3/3P4/8/6PP/2K5 w - - 0 1", 1, 1, 5},     // the capture runs through
    {"KPPPvKP", "5k2/8/8/4p3/3P4/8/6PP/2K5 w - - 0 1", 1, 2, 5},    // ... is caught
    {"KPPPvKP", "k7/8/8/4p3/8/3P4/6PP/2K5 w - - 0 1", 0, 0, 5},
    {"KPPPvKP", "k7/8/8/4p3/3P4/8/6PP/2K5 b - - 0 1", 0, 0, 5},
    // Bishop and pawn each: wrong rook pawns on both sides.
    {"KBPvKBP", "k4b2/8/8/7p/P7/8/8/2B4K w - - 0 1", 1, 0, 5},
    {"KBPvKBP", "k4b2/8/8/7p/P7/8/8/3B3K w - - 0 1", 0, 0, 5},      // White's bishop is right
    {"KBPvKBP", "5b2/8/2k5/7p/P7/8/8/2B4K w - - 0 1", 0, 0, 5},     // Black king out of the corner
    // KRPP against a rook.
    {"KRPPvKR", "r7/7k/8/8/1P1R1P2/2K5/8/8 w - - 0 1", 1, 1, 5},    // split pawns, rook between
    {"KRPPvKR", "r7/7k/8/8/2PRP3/2K5/8/8 w - - 0 1", 0, 0, 5},      // ... only two files apart
    {"KRPPvKR", "r7/7k/8/8/1P3P2/2KR4/8/8 w - - 0 1", 0, 0, 5},     // ... rook not between
    {"KRPPvKR", "7r/3R4/8/5P2/4P3/4K3/8/k7 w - - 0 1", 1, 1, 5},    // chain, Black king lower
    {"KRPPvKR", "7r/3R4/k7/5P2/4P3/4K3/8/8 w - - 0 1", 0, 0, 5},    // ... higher
    {"KRPPvKR", "7r/3R4/8/5P2/4P3/8/8/k3K3 w - - 0 1", 0, 0, 5},    // the king defends no pawn
    {"KRPPvKR", "k6r/8/P7/P1K5/2R5/8/8/8 b - - 0 1", 1, 0, 5},      // rook pawns, rook by its king
    {"KRPPvKR", "k6r/8/P7/P1K5/8/8/8/2R5 b - - 0 1", 1, -2, 5},
    {"KRPPvKR", "r6k/8/7P/7P/5K2/8/8/R7 b - - 0 1", 1, -2, 5},
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
    {"KBPPvKB", "8/8/4k3/3bP3/3P4/7K/8/2B5 w - - 0 1", 0, 0, 0},    // chain blocked by king and bishop
    {"KBPPvKB", "b7/8/4k3/4P3/3P4/7K/8/2B5 w - - 0 1", 0, 0, 0},    // ... the bishop covers d5
    {"KBPPvKB", "8/8/4k1b1/4P3/3P4/7K/8/2B5 w - - 0 1", 0, 0, 5},   // ... it does not
    {"KBPPvKB", "8/8/4k3/2b1P3/2P5/7K/8/3B4 w - - 0 1", 0, 0, 5},   // pawns not linked
};
// clang-format on

}  // namespace

TEST(EndgameLarge, MaterialLabels) {
    EXPECT_EQ(materialOf("8/8/3k4/8/8/3K4/8/RQ4n1 w - - 0 1"), "KQRvKN");
    EXPECT_TRUE(labelCovers("KQQvKP,KQ+vKN", "KQRBvKN"));
    EXPECT_TRUE(labelCovers("KQQvKP,KQ+vKN", "KQQvKP"));
    EXPECT_FALSE(labelCovers("KQQvKP,KQ+vKN", "KQvKN"));
    EXPECT_FALSE(labelCovers("KQQvKP,KQ+vKN", "KRNvKN"));
    EXPECT_FALSE(labelCovers("KBBvKN", "KBNvKN"));
    EXPECT_TRUE(labelCovers("KQ++vKP", "KQRNvKP"));
    EXPECT_FALSE(labelCovers("KQ++vKP", "KQRvKP"));
}

TEST(EndgameLarge, VerdictsAndTheirMirrors) {
    for (const Case& c : cases) {
        std::string fens[2] = {c.fen, mirrorFen(c.fen)};
        EXPECT_EQ(materialOf(c.fen), normalised(c.material)) << c.fen;
        for (int side = 0; side < 2; ++side) {
            const std::string& fen = fens[side];
            int sign = side ? -1 : 1;
            Board& board = boardFromFen(fen.c_str());
            std::string label = materialClassName(classifyMaterial(board));
            EXPECT_TRUE(labelCovers(label, materialOf(fen))) << fen << ": " << label;
            int32_t result = 7, flag = 7;
            int found = probeEndgame(board, result, flag);
            EXPECT_EQ(found, c.found) << fen;
            EXPECT_EQ(result, sign * c.result) << fen;
            EXPECT_EQ(flag, c.flag) << fen;
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
