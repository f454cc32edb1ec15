// Option lines and the configuration file: every kind of value, the cases the
// parsers must refuse, fields that must not overflow, and the short unknown
// line taken as a move. Material records: their defaults, taper and centring.
#include "driver/options.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "driver/game.h"
#include "eval/material.h"
#include "notation/movetext.h"
#include "test_support.h"

namespace {

// What the options may change is saved before each test and put back after.
class Options : public testing::Test {
protected:
    void SetUp() override {
        savedEngine = engine;
        std::memcpy(savedLetters, pieceLetters, sizeof savedLetters);
        std::memcpy(savedMaterial, pieceMaterial, sizeof savedMaterial);
        for (int i = 0; i < 4; ++i) savedGlobals[i] = *globals[i];
    }
    void TearDown() override {
        engine = savedEngine;
        std::memcpy(pieceLetters, savedLetters, sizeof savedLetters);
        std::memcpy(pieceMaterial, savedMaterial, sizeof savedMaterial);
        for (int i = 0; i < 4; ++i) *globals[i] = savedGlobals[i];
    }

    // Each line must return its result and leave *field holding value.
    struct Line {
        const char* text;
        int result;
        int* field;
        int value;
    };
    static void expectLines(std::initializer_list<Line> lines) {
        for (const Line& line : lines) {
            EXPECT_EQ(handleOptionCommand(engine, line.text), line.result) << line.text;
            EXPECT_EQ(*line.field, line.value) << line.text;
        }
    }

    // Runs readConfigurationFile on a vostrel.ini holding text, in a directory
    // of its own (other builds may run the same test at the same time).
    static void readIni(const std::string& text) {
        namespace fs = std::filesystem;
        fs::path directory;
        for (auto n = std::chrono::steady_clock::now().time_since_epoch().count();; ++n) {
            directory = fs::temp_directory_path() / ("vostrel-options-" + std::to_string(n));
            if (fs::create_directory(directory)) break;
        }
        std::FILE* file = std::fopen((directory / "vostrel.ini").string().c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
        fs::path previous = fs::current_path();
        fs::current_path(directory);
        readConfigurationFile(engine);
        fs::current_path(previous);
        fs::remove_all(directory);
    }

    int32_t* const globals[4] = {&engine.settings.search_prune_lmr_moves, &search_prune_quiet_moves,
                                 &search_extend_check, &evaluate_control};
    Engine savedEngine;
    char savedLetters[8];
    MaterialRecord savedMaterial[6];
    int32_t savedGlobals[4];
};

}  // namespace

TEST_F(Options, Values) {
    // Bools: only "yes" and "True" switch on, anywhere in the line; case
    // matters. A bool never fails, even without a value, but a few keys need
    // their blank. Ints: out of range numbers stop at the limit rather than
    // wrap; without "= " and a number the line is unknown and the value stays.
    // Cache sizes never fail, and nothing below 1 survives.
    expectLines({{"book_learning = False", 1, &engine.settings.book_learning, 0},
                 {"book_learning = yes", 1, &engine.settings.book_learning, 1},
                 {"book_verify = true", 1, &engine.settings.book_verify, 0},
                 {"pv_egtb_extract = True", 1, &engine.pv_egtb_extract, 1},
                 {"search_prune_nullmove = 1", 1, &engine.settings.search_prune_nullmove, 0},
                 {"behavior_offer_remis", 1, &engine.settings.behavior_offer_remis, 0},
                 {"output_save2pgn = yes", 1, &engine.output_save2pgn, 1},
                 {"output_save2record= yes", 0, &engine.output_save2record, 0},
                 {"book_rand = 0", 1, &engine.settings.book_rand, 0},
                 {"book_minwhite = -20", 1, &engine.settings.book_minwhite, -20},
                 {"memory = 64", 1, &engine.settings.memory, 64},
                 {"search_prune_lmr_moves = 3", 1, &engine.settings.search_prune_lmr_moves, 3},
                 {"search_extend_check = 6", 1, &search_extend_check, 6},
                 {"evaluate_control = 5", 1, &evaluate_control, 5},
                 {"book_depth = 99999999999999999999", 1, &engine.book_depth, INT32_MAX},
                 {"book_rand", 0, &engine.settings.book_rand, 0},
                 {"book_rand=7", 0, &engine.settings.book_rand, 0},
                 {"book_rand = seven", 0, &engine.settings.book_rand, 0},
                 {"book_rand =", 0, &engine.settings.book_rand, 0},
                 {"egtb_cache = -5", 1, &engine.settings.egtb_cache, 0},
                 {"egbb_cache = 16", 1, &engine.egbb_cache, 16},
                 {"egbb_cache", 1, &engine.egbb_cache, 16}});

    // Server channels: each key sets its own.
    EXPECT_EQ(handleOptionCommand(engine, "server_human = kibitz"), 1);
    EXPECT_EQ(handleOptionCommand(engine, "server_computer = whisper"), 1);
    EXPECT_EQ(engine.settings.serverHuman, 2);
    EXPECT_EQ(engine.settings.serverComputer, 1);
    EXPECT_EQ(handleOptionCommand(engine, "server_human = silent"), 1);
    EXPECT_EQ(handleOptionCommand(engine, "server_other = kibitz"), 0);
    EXPECT_EQ(engine.settings.serverHuman, 0);
    EXPECT_EQ(engine.settings.serverComputer, 1);
}

TEST_F(Options, MaterialPairs) {
    MaterialRecord& knight = pieceMaterial[Knight];
    EXPECT_EQ(handleOptionCommand(engine, "evaluate_knight_material = 400, 380"), 1);
    EXPECT_EQ(knight.opening, 400);
    EXPECT_EQ(knight.endgame, 380);
    EXPECT_EQ(knight.materialTaper[0], 380);
    EXPECT_EQ(knight.materialTaper[20], 390);
    for (int phase = 40; phase < 64; ++phase) EXPECT_EQ(knight.materialTaper[phase], 400);

    // One number is not a pair: unknown, and the record stays as it was.
    EXPECT_EQ(handleOptionCommand(engine, "evaluate_knight_material = 300"), 0);
    EXPECT_EQ(handleOptionCommand(engine, "evaluate_knight_material = 300 , 280"), 0);
    EXPECT_EQ(knight.opening, 400);
    EXPECT_EQ(knight.materialTaper[0], 380);

    // Each key names its own record.
    EXPECT_EQ(handleOptionCommand(engine, "evaluate_queen_material = 1200, 1400"), 1);
    EXPECT_EQ(pieceMaterial[Queen].materialTaper[10], 1350);
    EXPECT_EQ(pieceMaterial[Bishop].opening, savedMaterial[Bishop].opening);
    EXPECT_EQ(pieceMaterial[Rook].opening, savedMaterial[Rook].opening);
}

TEST_F(Options, TextValues) {
    // The path is the line from its 13th character, cut to the field.
    EXPECT_EQ(handleOptionCommand(engine, "egtb_path = /data/tb"), 1);
    EXPECT_STREQ(engine.egtb_path, "/data/tb");
    EXPECT_EQ(handleOptionCommand(engine, "egbb_path"), 1);
    EXPECT_STREQ(engine.egbb_path, "");
    std::string longPath(300, 'x');
    int cacheBefore = engine.egbb_cache;
    EXPECT_EQ(handleOptionCommand(engine, ("egtb_path = " + longPath).c_str()), 1);
    EXPECT_EQ(std::string(engine.egtb_path), longPath.substr(0, 255));
    EXPECT_EQ(engine.egbb_cache, cacheBefore);

    // Piece letters: six at most, entry 0 stays the blank.
    const char* const letters[][2] = {{"pv_san_piece = BSLTDK", " BSLTDK"},
                                      {"pv_san_piece = PNBRQKXYZ", " PNBRQK"},
                                      {"pv_san_piece = pS", " pSBRQK"},
                                      {"pv_san_piece =", " pSBRQK"}};
    for (auto [line, expected] : letters) {
        EXPECT_EQ(handleOptionCommand(engine, line), 1) << line;
        EXPECT_STREQ(pieceLetters, expected) << line;
    }
}

TEST_F(Options, ShortLinesAreMoves) {
    ASSERT_EQ(setupPosition(engine, StartFen), 1);
    engine.session.playing = 0;
    uint64_t start = engine.game.board.hashKey;

    // A word that is no move is taken and ignored, also one that begins like
    // an option group; longer unknown lines are not taken.
    for (const char* word : {"zzzz", "e2e5", "e7e8q", "pv_x"})
        EXPECT_EQ(handleOptionCommand(engine, word), 1) << word;
    for (const char* line : {"book_unknown = 3", "abc", "abcdef"})
        EXPECT_EQ(handleOptionCommand(engine, line), 0) << line;
    EXPECT_EQ(engine.game.board.hashKey, start);
    EXPECT_EQ(engine.game.board.ply, 0);

    EXPECT_EQ(handleOptionCommand(engine, "e2e4"), 1);
    EXPECT_EQ(engine.game.board.ply, 1);
    EXPECT_EQ(engine.game.board.squares[E4], Pawn);
    EXPECT_EQ(engine.game.board.squares[E2], NoPiece);
}

TEST_F(Options, ConfigurationFile) {
    // Only lines beginning with "-" are commands, after two characters.
    readIni("- book_rand = 0\nbook_rand = 3\n-\n-x\n# - book_learning = False\n");
    EXPECT_EQ(engine.settings.book_rand, 0);
    EXPECT_EQ(engine.settings.book_learning, 1);

    // Windows line ends and a last line without one.
    readIni("- egtb_path = /tb\r\n- book_minblack = -60");
    EXPECT_STREQ(engine.egtb_path, "/tb");
    EXPECT_EQ(engine.settings.book_minblack, -60);

    // A line is cut after 255 characters and its rest dropped, never taken
    // for a line of its own.
    readIni("- egbb_path = " + std::string(300, 'p') + "\n" + std::string(255, '#') +
            "- book_rand = 9\n");
    EXPECT_EQ(std::string(engine.egbb_path), std::string(255 - 14, 'p'));
    EXPECT_EQ(engine.settings.book_rand, 0);
}

TEST(Material, RecordsAndCentring) {
    // Centring leaves the average in pieceValue and the deviation in the
    // table; it happens once however often it is asked for.
    const int32_t defaults[6][2] = {{0, 0},     {80, 120},  {415, 375},
                                    {435, 405}, {632, 652}, {1290, 1330}};
    centreMaterial();
    centreMaterial();
    for (int piece = Pawn; piece <= Queen; ++piece) {
        const MaterialRecord& record = pieceMaterial[piece];
        EXPECT_EQ(record.opening, defaults[piece][0]) << piece;
        EXPECT_EQ(record.endgame, defaults[piece][1]) << piece;
        EXPECT_EQ(pieceValue[piece], (record.opening + record.endgame) / 2) << piece;
        EXPECT_EQ(record.materialTaper[0] + pieceValue[piece], record.endgame) << piece;
        EXPECT_EQ(record.materialTaper[63] + pieceValue[piece], record.opening) << piece;
    }
    EXPECT_EQ(pieceMaterial[Pawn].materialTaper[10], 10);
    EXPECT_EQ(pieceValue[NoPiece], 0);
    EXPECT_EQ(pieceValue[King], 0);
    for (int32_t entry : rookFileBonus.materialTaper) EXPECT_EQ(entry, 17);

    // Entries divide towards zero, not downwards, and values near the limits
    // do not overflow on the way.
    MaterialRecord record{0, -41, {}};
    buildMaterialTaper(record);
    EXPECT_EQ(record.materialTaper[39], -1);
    EXPECT_EQ(record.materialTaper[1], -39);
    record = MaterialRecord{-1, 0, {}};
    buildMaterialTaper(record);
    EXPECT_EQ(record.materialTaper[39], 0);
    EXPECT_EQ(record.materialTaper[40], -1);
    record = MaterialRecord{INT32_MAX, INT32_MAX - 40, {}};
    buildMaterialTaper(record);
    EXPECT_EQ(record.materialTaper[20], INT32_MAX - 20);
}
