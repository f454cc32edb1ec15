// Material classes up to six men: every class is reached, a material and its
// colour mirror reach mirror classes, and random positions of each covered
// material get the same verdict as their colour mirrors. Which recogniser a
// material reaches is checked by the hand-worked verdicts of endgame_test.cpp.
#include <array>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "eval/endgame.h"
#include "test_support.h"

namespace {

struct Material {
    std::string white, black;  // men besides the king, in QRBNP order
};

// Every material of two to six men, kings included.
std::vector<Material> materials() {
    std::vector<std::string> sides[5];
    auto add = [&](auto& self, const std::string& men, size_t from) -> void {
        sides[men.size()].push_back(men);
        if (men.size() < 4)
            for (size_t k = from; k < 5; ++k) self(self, men + "QRBNP"[k], k);
    };
    add(add, "", 0);
    std::vector<Material> out;
    for (int w = 0; w <= 4; ++w)
        for (int b = 0; w + b <= 4; ++b)
            for (auto& white : sides[w])
                for (auto& black : sides[b]) out.push_back({white, black});
    return out;
}

// "KQRvKP,KQ+vKN" -> {"KNvKQ+", "KPvKQR"}: the materials as a set, with
// colours exchanged when swapped.
std::set<std::string> materialSet(const std::string& label, bool swapped) {
    std::stringstream items(label);
    std::set<std::string> out;
    for (std::string item; std::getline(items, item, ',');) {
        size_t v = item.find('v');
        bool keep = !swapped || v == std::string::npos;
        out.insert(keep ? item : item.substr(v + 1) + "v" + item.substr(0, v));
    }
    return out;
}

// Kings on a1 and h8, White's men on b3 c4 d3 e4, Black's on g6 f5 e6 f4: no
// man there attacks the enemy king.
std::string fixedFen(const Material& m) {
    std::array<char, 64> men{};
    men[A1] = 'K', men[H8] = 'k';
    const int white[4] = {B3, C4, D3, E4}, black[4] = {G6, F5, E6, F4};
    for (size_t i = 0; i < m.white.size(); ++i) men[white[i]] = m.white[i];
    for (size_t i = 0; i < m.black.size(); ++i) men[black[i]] = char(m.black[i] ^ 0x20);
    return squaresFen(men, true);
}

// Men on free squares, pawns off ranks 1 and 8; shape 1 keeps to the outer two
// files and ranks, shape 2 to one 4x4 block, for corners, contact and blockades.
std::array<char, 64> randomPlacement(std::mt19937& rng, const Material& m, int shape) {
    std::array<char, 64> men{};
    const int outer[4] = {0, 1, 6, 7};
    int fileBase = int(rng() % 5), rankBase = int(rng() % 5);
    auto place = [&](char man) {
        for (;;) {
            int file = int(rng() % 8), rank = int(rng() % 8);
            if (shape == 1) file = outer[file % 4], rank = outer[rank % 4];
            if (shape == 2) file = fileBase + file % 4, rank = rankBase + rank % 4;
            int square = 8 * rank + file;
            if (men[square] || ((man | 0x20) == 'p' && (rank == 0 || rank == 7))) continue;
            men[square] = man;
            return;
        }
    };
    place('K'), place('k');
    for (char man : m.white) place(man);
    for (char man : m.black) place(char(man ^ 0x20));
    return men;
}

TEST(EndgameClasses, EveryMaterial) {
    static Board board;
    char message[FenMessageSize];
    // Class, found, result and flag; false when the position is rejected.
    auto probe = [&](const std::string& fen, std::array<int32_t, 4>& v) {
        if (!parseFen(board, engine.game.stack, fen.c_str(), message)) return false;
        v[0] = classifyMaterial(board);
        v[1] = probeEndgame(board, v[2], v[3]);
        return true;
    };
    std::mt19937 rng(4711);
    std::set<int> reached;
    for (const Material& m : materials()) {
        std::string fen = fixedFen(m);
        int material = classifyMaterial(boardFromFen(fen.c_str()));
        int mirrored = classifyMaterial(boardFromFen(mirrorFen(fen).c_str()));
        EXPECT_EQ(materialSet(materialClassName(mirrored), true),
                  materialSet(materialClassName(material), false))
            << fen;
        reached.insert({material, mirrored});
        for (int i = 0; material && i < (m.white.size() + m.black.size() >= 3 ? 100 : 20); ++i) {
            std::array<char, 64> men = randomPlacement(rng, m, i % 3);
            for (bool whiteToMove : {true, false}) {
                std::string placed = squaresFen(men, whiteToMove);
                std::array<int32_t, 4> v, w;
                if (!probe(placed, v) || !probe(mirrorFen(placed), w)) continue;
                int32_t flag = v[0] == 2 || v[0] == 3 ? -w[3] : w[3];  // the winner's sign
                ASSERT_TRUE(v[1] == w[1] && v[2] == -w[2] && v[3] == flag)
                    << materialClassName(v[0]) << " " << placed << ": " << v[1] << " " << v[2]
                    << " " << v[3] << "; mirror " << w[1] << " " << w[2] << " " << w[3];
            }
        }
    }
    for (int c = 1; c <= 170; ++c)
        EXPECT_TRUE(reached.count(c)) << materialClassName(c) << " is never reached";
}

}  // namespace
