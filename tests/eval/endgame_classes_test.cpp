// Material classes up to six men: every combination of men reaches the
// recogniser its material calls for, and random positions of every covered
// material get the same verdict as their colour mirrors.
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

// Every material of minMen to maxMen men, kings included.
std::vector<Material> materials(int minMen, int maxMen) {
    std::vector<std::string> sides[5];
    auto add = [&](auto& self, const std::string& men, size_t from) -> void {
        sides[men.size()].push_back(men);
        if (men.size() < 4)
            for (size_t k = from; k < 5; ++k) self(self, men + "QRBNP"[k], k);
    };
    add(add, "", 0);
    std::vector<Material> out;
    for (int w = 0; w <= 4; ++w)
        for (int b = 0; w + b + 2 <= maxMen; ++b)
            if (w + b + 2 >= minMen)
                for (auto& white : sides[w])
                    for (auto& black : sides[b]) out.push_back({white, black});
    return out;
}

// "KQRvKP,KQ+vKN" -> "KPvKQR,KNvKQ+": the same materials with colours exchanged.
std::string swapSides(const std::string& label) {
    if (label == "none") return label;
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
    std::string group;
    while (std::getline(groups, group, ';')) {
        std::stringstream items(group);
        std::string item, label;
        bool direct = false, mirrored = false;
        while (items >> item) {
            label += (label.empty() ? "" : ",") + item;
            direct |= item == key;
            mirrored |= item == mirror;
        }
        if (direct) return label;
        if (mirrored) return swapSides(label);
    }
    return "none";
}

bool symmetricClass(int material) {
    for (int c : {1, 6, 31, 32, 33, 80, 163, 166})
        if (material == c) return true;
    return false;
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

TEST(EndgameClasses, EveryMaterialReachesItsRecogniser) {
    std::set<int> reached;
    for (const Material& m : materials(2, 6)) {
        std::string fen = fixedFen(m);
        int material = classifyMaterial(boardFromFen(fen.c_str()));
        int mirrored = classifyMaterial(boardFromFen(mirrorFen(fen).c_str()));
        std::string label = materialClassName(material);
        EXPECT_EQ(label, expectedLabel(m)) << fen;
        EXPECT_EQ(materialClassName(mirrored), symmetricClass(material) ? label : swapSides(label))
            << fen;
        reached.insert({material, mirrored});
    }
    EXPECT_GE(*reached.begin(), 0);
    EXPECT_LE(*reached.rbegin(), 170);
    std::set<std::string> labels;
    for (int c = 0; c <= 170; ++c) {
        labels.insert(materialClassName(c));
        EXPECT_TRUE(c == 0 || reached.count(c)) << materialClassName(c) << " is never reached";
    }
    EXPECT_EQ(labels.size(), 171u) << "two classes share a label";
}

// Men on random free squares, pawns off ranks 1 and 8. Shape 1 keeps to the
// two outer files and ranks on each side, shape 2 to one 4x4 block: corners,
// contact and blockades, which uniform squares seldom give, become common.
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

TEST(EndgameClasses, VerdictsAgreeWithMirrors) {
    static Board board;
    char message[FenMessageSize];
    std::mt19937 rng(4711);
    // Per class: bit result + 2 for each verdict given, bit 5 for none, bit 6 for flag 0.
    std::array<unsigned, 177> seen{};
    int failures = 0;
    // -1 when the position is rejected.
    auto probe = [&](const std::string& fen, int32_t& result, int32_t& flag, int& material) {
        if (!parseFen(board, engine.game.stack, fen.c_str(), message)) return -1;
        material = classifyMaterial(board);
        int found = probeEndgame(board, result, flag);
        seen.at(material) |= (found ? 1u << (result + 2) : 1u << 5) | (flag == 0 ? 1u << 6 : 0);
        return found;
    };
    for (const Material& m : materials(2, 6)) {
        bool large = m.white.size() + m.black.size() >= 3;
        if (large && classifyMaterial(boardFromFen(fixedFen(m).c_str())) == 0) continue;
        // Keep drawing until the recogniser has answered once, within a bound.
        int answered = 0;
        for (int i = 0; i < (large ? 200 : 20) || (large && !answered && i < 20000); ++i) {
            std::array<char, 64> men = randomPlacement(rng, m, i % 3);
            for (bool whiteToMove : {true, false}) {
                std::string fen = squaresFen(men, whiteToMove);
                int32_t result = 0, flag = 0, mirrorResult = 0, mirrorFlag = 0;
                int material = 0, mirrorMaterial = 0;
                int found = probe(fen, result, flag, material);
                if (found < 0) continue;
                int mirrorFound = probe(mirrorFen(fen), mirrorResult, mirrorFlag, mirrorMaterial);
                answered += found;
                int sign = material == 2 || material == 3 ? -1 : 1;
                if ((found != mirrorFound || result != -mirrorResult ||
                     flag != sign * mirrorFlag) &&
                    ++failures <= 20)
                    ADD_FAILURE() << materialClassName(material) << " " << fen << ": found "
                                  << found << " result " << result << " flag " << flag
                                  << "; mirror: found " << mirrorFound << " result " << mirrorResult
                                  << " flag " << mirrorFlag;
            }
        }
    }
    EXPECT_EQ(failures, 0);
    for (int c = 40; c <= 170; ++c) {
        std::string label = materialClassName(c);
        // KBPP against KB never gives a verdict, it only clears the flag.
        unsigned needed = label == "KBPPvKB" || label == "KBvKBPP" ? 1u << 6 : 0x1Fu;
        EXPECT_TRUE(seen[c] & needed) << label << " never answers";
    }
}

}  // namespace
