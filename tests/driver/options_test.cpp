// Option lines and vostrel.ini: every kind of value and the lines the parsers
// must refuse (the transcripts ini_options and thinking have more); material
// tapers and centring.
#include "driver/options.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "board/check.h"
#include "driver/game.h"
#include "driver/xboard.h"
#include "eval/material.h"
#include "notation/movetext.h"
#include "test_support.h"

// What the options may change is put back after each test.
class Options : public testing::Test {
protected:
    void TearDown() override {
        engine.settings = settings;
        evaluate_control = control;
        std::strcpy(pieceLetters, letters.c_str());
        std::copy(material.begin(), material.end(), pieceMaterial);
        std::copy(values.begin(), values.end(), pieceValue);
        Board& board = engine.game.board;
        board.white.material = computeMaterial(board.white);
        board.black.material = computeMaterial(board.black);
    }

    // Reads a vostrel.ini holding text, in a directory of this process's own.
    static void readIni(const std::string& text) {
        namespace fs = std::filesystem;
        fs::path previous = fs::current_path();
        fs::path directory =
            fs::temp_directory_path() / ("vostrel-ini-" + std::to_string(getpid()));
        fs::create_directories(directory);
        std::ofstream(directory / "vostrel.ini", std::ios::binary) << text;
        fs::current_path(directory);
        readConfigurationFile(engine, dispatchCommand);
        fs::current_path(previous);
        fs::remove_all(directory);
    }

    Settings settings = engine.settings;
    int32_t control = evaluate_control;
    std::string letters = pieceLetters;
    std::vector<MaterialRecord> material{pieceMaterial, pieceMaterial + 6};
    std::vector<int32_t> values{pieceValue, pieceValue + 7};
};

TEST_F(Options, Values) {
    // Bools: "yes" or "True" anywhere, never failing. Ints stop at their limits; without "= " and
    // a number the line is unknown and the value stays. Caches never fail; below 1 is 0.
    Settings& s = engine.settings;
    const std::tuple<const char*, int, int32_t*, int32_t> lines[] = {
        {"book_learning = yes", 1, &s.book_learning, 1},
        {"book_verify = true", 1, &s.book_verify, 0},
        {"pv_hash_extract = True", 1, &s.pv_hash_extract, 1},
        {"search_prune_nullmove = 1", 1, &s.search_prune_nullmove, 0},
        {"behavior_offer_remis", 1, &s.behavior_offer_remis, 0},
        {"book_minwhite = -20", 1, &s.book_minwhite, -20},
        {"evaluate_control = 5", 1, &evaluate_control, 5},
        // Values the search and the evaluation add up stop where they cannot overflow.
        {"evaluate_control = -99999", 1, &evaluate_control, -1000},
        {"search_extend_check = 2147483647", 1, &s.search_extend_check, 16},
        {"book_rand = 99999999999999999999", 1, &s.book_rand, INT32_MAX},
        {"book_rand = -99999999999999999999", 1, &s.book_rand, INT32_MIN},
        {"book_rand = seven", 0, &s.book_rand, INT32_MIN},
        {"egtb_cache = -5", 1, &s.egtb_cache, 0},
        {"egtb_cache = 16", 1, &s.egtb_cache, 16},
        {"egtb_cache", 1, &s.egtb_cache, 16}};
    for (auto [text, result, field, value] : lines) {
        EXPECT_EQ(handleOptionCommand(engine, text), result) << text;
        EXPECT_EQ(*field, value) << text;
    }
    // Keys without a setting here are taken and change nothing.
    const Settings before = s;
    EXPECT_EQ(handleOptionCommand(engine, "book_depth = 3"), 1);
    EXPECT_EQ(handleOptionCommand(engine, "book_depth"), 0);
    EXPECT_EQ(std::memcmp(&before, &s, sizeof s), 0);

    // Piece letters: six at most, entry 0 stays the blank.
    const char* const letterLines[][2] = {{"pv_san_piece = BSLTDK", " BSLTDK"},
                                          {"pv_san_piece = PNBRQKXYZ", " PNBRQK"},
                                          {"pv_san_piece = pS", " pSBRQK"}};
    for (auto [line, expected] : letterLines) {
        EXPECT_EQ(handleOptionCommand(engine, line), 1) << line;
        EXPECT_STREQ(pieceLetters, expected) << line;
    }
}

TEST_F(Options, MaterialPairsAndTapers) {
    const MaterialRecord& knight = pieceMaterial[Knight];
    // Centred at start-up, and again after a new pair: the board's piece value
    // is the average and the taper the deviation from it, by phase.
    auto valueAt = [&](int phase) {
        return int64_t(knight.materialTaper[phase]) + pieceValue[Knight];
    };
    EXPECT_EQ(valueAt(0), knight.endgame);
    setupPosition(engine, "4k3/8/8/8/8/8/8/1N2K3 w - - 0 1");
    EXPECT_EQ(handleOptionCommand(engine, "evaluate_knight_material = 400, 380"), 1);
    // One number is not a pair: unknown, and the record stays as it was.
    EXPECT_EQ(handleOptionCommand(engine, "evaluate_knight_material = 300"), 0);
    EXPECT_EQ(handleOptionCommand(engine, "evaluate_knight_material = 300 , 280"), 0);
    EXPECT_EQ((std::vector<int64_t>{knight.opening, knight.endgame, pieceValue[Knight], valueAt(0),
                                    valueAt(20), valueAt(63)}),
              (std::vector<int64_t>{400, 380, 390, 380, 390, 400}));
    // The game's material counts the knight at its new value.
    EXPECT_EQ(engine.game.board.white.material, 390);
    EXPECT_EQ(handleOptionCommand(engine, "evaluate_knight_material = 2147483647, -99999"), 1);
    EXPECT_EQ(engine.game.board.white.material, 0);  // the average of 10000 and -10000
    // Values may be negative or near the limits: entries divide towards zero, no overflow.
    const int32_t pairs[][2] = {{0, -41}, {-1, 0}, {INT32_MAX, INT32_MAX - 40}};
    std::vector<int64_t> entries;
    for (auto [opening, endgame] : pairs) {
        setMaterialValues(Knight, opening, endgame);
        for (int phase : {1, 20, 39, 40}) entries.push_back(valueAt(phase));
    }
    EXPECT_EQ(entries, (std::vector<int64_t>{-39, -20, -1, 0, 0, 0, 0, -1, INT32_MAX - 39,
                                             INT32_MAX - 20, INT32_MAX - 1, INT32_MAX}));
}

TEST_F(Options, ConfigurationFile) {
    // Only lines beginning with "-" are commands, after two characters; CR LF ends lines too.
    readIni(
        "- book_rand = 0\nbook_rand = 3\n-\n-x\n# - book_learning = False\n"
        "- book_occurrence = 4\r\n- book_minblack = -60");
    const Settings& s = engine.settings;
    EXPECT_EQ((std::vector<int>{s.book_rand, s.book_learning, s.book_occurrence, s.book_minblack}),
              (std::vector<int>{0, 1, 4, -60}));
    // A line is cut after 255 characters; its rest is dropped, never a line of its own.
    readIni("- book_rand = " + std::string(240, '0') + "78\n" + std::string(255, '#') +
            "- book_minwhite = 9\n");
    EXPECT_EQ(s.book_rand, 7);
    EXPECT_EQ(s.book_minwhite, settings.book_minwhite);
}
