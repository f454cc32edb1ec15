// Recognisers: the hand-worked verdicts of tests/data/endgames.txt, each row
// checked again on its colour mirror.
#include "eval/endgame.h"

#include <sstream>
#include <string>

#include "test_support.h"

namespace {

// Whether a class name ("KQ+vKR,KRBvKB") lists the material ("KQRvKR"): each
// '+' stands for at least one further man.
bool listsMaterial(const std::string& name, const std::string& material) {
    auto sideFits = [](const std::string& pattern, const std::string& men) {
        size_t base = pattern.find('+');
        if (base == std::string::npos) return pattern == men;
        return men.compare(0, base, pattern, 0, base) == 0 && men.size() >= pattern.size();
    };
    std::stringstream items(name);
    for (std::string item; std::getline(items, item, ',');) {
        size_t v = item.find('v'), w = material.find('v');
        if (v != std::string::npos && sideFits(item.substr(0, v), material.substr(0, w)) &&
            sideFits(item.substr(v + 1), material.substr(w + 1)))
            return true;
    }
    return false;
}

}  // namespace

// Each row's position reaches the class of its material, and its recogniser
// gives the row's verdict, on the row and on its colour mirror.
TEST(Endgame, HandWorkedVerdictsAndTheirMirrors) {
    const std::vector<std::string> rows = dataRows("endgames.txt");
    for (const std::string& line : rows) {
        std::stringstream fields(line);
        std::string material, fen, verdict;
        std::getline(fields, material, ';');
        material.erase(material.find_last_not_of(' ') + 1);
        std::getline(fields >> std::ws, fen, ';');
        std::getline(fields, verdict, ';');
        int found = -1, expected = 0, expectedFlag = 0;
        std::stringstream(verdict) >> found >> expected >> expectedFlag;
        ASSERT_NE(found, -1) << line;
        const char* name = materialClassName(classifyMaterial(boardFromFen(fen.c_str())));
        EXPECT_TRUE(found == 0 || listsMaterial(name, material)) << material << " in " << name;
        const std::string fens[2] = {fen, mirrorFen(fen)};
        for (int side = 0; side < 2; ++side) {
            int32_t result = 7, flag = 7;
            EXPECT_EQ(probeEndgame(boardFromFen(fens[side].c_str()), result, flag), found)
                << material << fens[side];
            EXPECT_EQ(result, side ? -expected : expected) << fens[side];
            // A lone major's flag is the winner's sign.
            EXPECT_EQ(flag, side && expectedFlag == 1 ? -1 : expectedFlag) << fens[side];
        }
    }
    EXPECT_EQ(rows.size(), 256u);
}
