// Material classes up to six men: every combination of men reaches the
// recogniser an independent list calls for, and random positions of each
// covered material get the same verdict as their colour mirrors.
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

// "KQRvKP,KQ+vKN" -> "KPvKQR,KNvKQ+": the same materials with colours exchanged.
std::string swapSides(const std::string& label) {
    std::stringstream items(label);
    std::string item, out;
    while (std::getline(items, item, ',')) {
        size_t v = item.find('v');
        if (!out.empty()) out += ',';
        out.append(item, v + 1).append("v").append(item, 0, v);
    }
    return out;
}

// The families, with White holding the named men.
const char* family(const std::string& w, const std::string& b) {
    if (b.empty())
        return w.size() >= 2 && w.find_first_of("QR") != std::string::npos ? "KR+vK,KQ+vK"
                                                                           : nullptr;
    if (w == "RB" && b == "B") return "KQ+vKB,KRBvKB";
    if (w.size() < 2 || w[0] != 'Q') return nullptr;
    if (b == "N" || (b == "Q" && w[1] == 'Q') || (b == "P" && w == "QQ"))
        return "KQ+vKN,KQQvKQ,KQQ+vKQ,KQQvKP";
    if (b == "B") return "KQ+vKB,KRBvKB";
    if (b == "R") return "KQ+vKR";
    if (b == "P" && w.size() == 3) return "KQ++vKP";
    return nullptr;
}

// Exact materials sharing one recogniser (";" between recognisers), White's
// men first; the mirror materials reach the mirror recogniser unless listed.
const char* const Groups =
    "KvK KNvK KBvK KvKN KvKB; KRvK KQvK; KPvK; KNNvK KvKNN KNvKN KNvKB KBvKN KBvKB; "
    "KBBvK KBBBvK; KBPvK; KBNvK KBNNvK KBBNvK KBNPvK; KQvKN; KQvKB; KPPvK; KQvKP; KRvKP; "
    "KNPvK; KQvKR; KRvKN; KPvKP; KRvKR; KQvKQ; KNvKP; KBvKP; KRvKB; "
    // five and six men
    "KNNNvK; KPPPvK KPPPPvK; KRRvKR KRRvKB KRRvKN; KBPvKB; KRPvKN; KRPvKB; KBPvKP; KNPPvK; "
    "KBBPvK KBPPvK; KRRvKP; KNNPvK; KQvKNN KQvKBB; KRBvKN; KNPvKB; KQBvKQ; KRvKPP; KRNvKP; "
    "KRBvKP; KBvKNN KNNvKB; KRNvKR; KBNvKP; KBBvKP; KRNvKB; KNPvKP; KQPvKQ; KPPvKP; "
    "KQPvKP KRPvKP; KQRvKQ; KQNvKP; KQvKPP; KNPvKN; KRvKNN; KQNvKQ; KQvKRR; KQvKNP; KNNvKP; "
    "KQvKRN; KBNvKN KBNvKB; KBBvKN; KRvKBB; KQvKBN; KQvKRP; KRNvKN; KQRvKP; KQvKBP; KNNvKN; "
    "KRPvKR; KRvKBN; KRvKBP; KBBvKB; KQvKRB; KRBvKR; KBPvKN; KQBvKP; KNPvKR; KNvKPP; KBvKPP; "
    "KPPPvKP; KBPvKBP; KRPPvKR; KNNvKNN; KQQvKNN; KBPPvKB;";

std::string expectedLabel(const Material& m) {
    if (const char* f = family(m.white, m.black)) return f;
    if (const char* f = family(m.black, m.white)) return swapSides(f);
    std::string key = "K" + m.white + "vK" + m.black, mirror = "K" + m.black + "vK" + m.white;
    std::stringstream groups(Groups);
    for (std::string group; std::getline(groups, group, ';');) {
        std::stringstream items(group);
        std::string item, label;
        bool direct = false, mirrored = false;
        while (items >> item) {
            label += (label.empty() ? "" : ",") + item;
            direct |= item == key;
            mirrored |= item == mirror;
        }
        if (direct || mirrored) return direct ? label : swapSides(label);
    }
    return "none";
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

// Every material of two to six men: its class and its mirror's carry the
// labels the list calls for, and every class is reached. Random placements of
// each covered material get the same verdict as their colour mirrors.
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
        EXPECT_EQ(materialClassName(material), expectedLabel(m)) << fen;
        EXPECT_EQ(materialClassName(mirrored), expectedLabel({m.black, m.white})) << fen;
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
