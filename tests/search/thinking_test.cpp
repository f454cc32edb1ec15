// Thinking output: the score's sign and mate texts, the server summary, the
// variation in SAN with its move numbers and check marks, its lengthening from
// exact table entries, and the preparation of every search.
#include "search/thinking.h"

#include <cstring>
#include <regex>
#include <string>
#include <utility>

#include "board/makemove.h"
#include "board/movegen.h"
#include "notation/movetext.h"
#include "platform/platform.h"
#include "search/tt.h"
#include "test_support.h"

namespace {

constexpr const char* StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
constexpr const char* AfterE4 = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1";

// Under a minute the summary's clock moves with the test's speed; its blanks stay.
std::string steadyClock(const std::string& text) {
    return std::regex_replace(text, std::regex("Time=( *)\\d+\\.\\d\\d "), "Time=$1s.cc ");
}

PrincipalVariation variationOf(Board& board, std::initializer_list<const char*> moves) {
    PrincipalVariation pv{};
    int made = 0;
    for (const char* text : moves) {
        pv.pvMoves[pv.pvLength++] = findMove(board, text);
        play(board, {text});
        ++made;
    }
    while (made--) unmakeMove(board);
    return pv;
}

class Thinking : public testing::Test {
protected:
    void SetUp() override {
        savedEngine = engine;
        savedStack = engine.search.stack;
        savedGeneration = ttGeneration;
        clearTables();
        engine.session.post = 1;
        engine.mode = ModeXboard;
        engine.game.positionMarker = 0;
        engine.settings.pv_objective_score = 1;
        engine.settings.pv_show_mate = 1;
        engine.settings.pv_hash_extract = 0;
        engine.session.icsMode = 0;
        engine.game.opponentIsComputer = 0;
        engine.settings.serverHuman = 1;
        engine.settings.serverComputer = 2;
        engine.search.state = SearchThinking;
        engine.search.ponderMove = 0;
        engine.session.kibitzText[0] = '\0';
        engine.search.root.iterationDepth = 5;
        engine.search.root.rootSearchState = SearchThinking;
        engine.search.root.rootPv.pvLength = 0;
        SearchStack& stack = engine.search.stack;
        stack.totalNodes = 123;
        engine.game.stack.makeCount = 0;
        engine.game.stack.nullMoveCount = 0;
        stack.tablebaseHits = 0;
        stack.qsSelDepth = 7;
        elapsed = 1234;
    }
    void TearDown() override {
        engine = savedEngine;
        engine.search.stack = savedStack;
        clearTables();
        ttGeneration = savedGeneration;
    }

    // Half a centisecond past the value, so that the truncated reading holds it.
    static void setElapsed(int centiseconds) {
        engine.search.startCounter = int64_t(readCounter()) - (int64_t(centiseconds) * 2 + 1) *
                                                                  engine.search.counterFrequency /
                                                                  200;
    }

    // The printed lines, the time in centiseconds (a field that moves with the
    // test's own speed) replaced by "T".
    static std::string think(Board& board, int score, int finalLine = 0, int failLine = 0,
                             double nodes = 123) {
        Move first = engine.search.root.rootPv.pvLength ? engine.search.root.rootPv.pvMoves[0] : 0;
        uint64_t bestMove = uint64_t(uint32_t(score)) << 32 | first;
        engine.search.stack.totalNodes = nodes;  // the moves made so far counted as nodes
        engine.game.stack.makeCount = 0;
        setElapsed(elapsed);
        testing::internal::CaptureStdout();
        printThinking(engine, board, bestMove, finalLine, failLine);
        std::string text = testing::internal::GetCapturedStdout();
        text = std::regex_replace(text, std::regex("^(\\d+ -?\\d+) \\d+ "), "$1 T ");
        return steadyClock(text);
    }

    static inline int elapsed = 1234;  // centiseconds at the next printed line
    Engine savedEngine;
    SearchStack savedStack;
    uint8_t savedGeneration = 0;
};

std::string variationText(Board& board, const PrincipalVariation& pv) {
    const Board before = board;
    char text[PvTextSize];
    std::memset(text, '#', sizeof text);
    pvText(pv, board, text);
    sameBoard(board, before);
    return text;
}

// A legal walk of count plies from board: the first generated move each time,
// or with wordy the move of the longest SAN.
PrincipalVariation walk(Board& board, int count, bool wordy = false) {
    PrincipalVariation pv{};
    for (int i = 0; i < count; ++i) {
        int moves = generateMoves(board);
        EXPECT_GT(moves, 0);
        Move move = board.stack->moveLists[0][0].move;
        size_t longest = 0;
        for (int k = 0; wordy && k < moves; ++k) {
            char text[24];
            Move candidate = board.stack->moveLists[0][k].move;
            if (size_t length = size_t(formatMoveSan(board, candidate, text)); length > longest) {
                longest = length;
                move = candidate;
            }
        }
        pv.pvMoves[pv.pvLength++] = move;
        saveUndo(board);
        makeMove(board, move);
    }
    for (int i = 0; i < count; ++i) unmakeMove(board);
    return pv;
}

TEST_F(Thinking, ScoreSignAndServerSummary) {
    Board& board = boardFromFen(AfterE4);
    engine.search.root.rootPv = variationOf(board, {"e7e5"});
    // Black to move: the engine's +35 is White's -35.
    EXPECT_EQ(think(board, 35), "5 -35 T 123 1...e5 \n");
    engine.session.icsMode = 1;
    EXPECT_EQ(think(board, 35, 1),
              "5 -35 T 123 1...e5 \n"
              "tellics whisper Score=-0.35 Depth=5/7 kNps=0 Time=s.cc TB=0 PV=1...e5 \n");
    engine.settings.pv_objective_score = 0;
    engine.game.opponentIsComputer = 1;
    EXPECT_EQ(think(board, 35, 1),
              "5 35 T 123 1...e5 \n"
              "tellics kibitz Score=0.35 Depth=5/7 kNps=0 Time=s.cc TB=0 PV=1...e5 \n");
    // Not the last line: no summary. No channel: no summary either.
    EXPECT_EQ(think(board, 35), "5 35 T 123 1...e5 \n");
    engine.settings.serverComputer = 0;
    EXPECT_EQ(think(board, 35, 1), "5 35 T 123 1...e5 \n");
    // While pondering the summary waits for the prediction to come true.
    engine.settings.serverComputer = 2;
    engine.search.state = SearchPondering;
    engine.search.root.rootSearchState = SearchPondering;
    engine.search.ponderMove = buildMove(E2, E4, KindDoubleStep, Pawn);
    EXPECT_EQ(think(board, -120, 1), "5 -120 T 123 (e2e4) 1...e5 \n");
    EXPECT_EQ(steadyClock(engine.session.kibitzText),
              "Score=-1.20 Depth=5/7 kNps=0 Time=s.cc TB=0 PV=(e2e4) 1...e5 ");

    // A position marker hides the score; nothing at all without post.
    engine.search.state = SearchThinking;
    engine.search.root.rootSearchState = SearchThinking;
    engine.game.positionMarker = 1;
    EXPECT_EQ(think(board, 35), "5 0 T 123 1...e5 \n");
    engine.session.post = 0;
    EXPECT_EQ(think(board, 35, 1), "");

    // Beyond a minute the clock shows minutes; the summary drops one blank.
    engine.session.post = 1;
    engine.game.positionMarker = 0;
    engine.settings.pv_objective_score = 1;
    engine.session.icsMode = 1;
    engine.game.opponentIsComputer = 0;
    elapsed = 6550;
    EXPECT_EQ(think(board, 35, 1),
              "5 -35 T 123 1...e5 \n"
              "tellics whisper Score=-0.35 Depth=5/7 kNps=0 Time= 1:05 TB=0 PV=1...e5 \n");
}

TEST_F(Thinking, MateTexts) {
    Board& board = boardFromFen(StartFen);
    engine.search.root.rootPv = variationOf(board, {"e2e4"});
    // Mate in 3 for the engine, and being mated at ply 4.
    EXPECT_EQ(think(board, 32758), "5 32758 T 123 [M3] 1.e4 \n");
    EXPECT_EQ(think(board, -32759), "5 -32759 T 123 [M-2] 1.e4 \n");
    engine.settings.pv_show_mate = 0;
    EXPECT_EQ(think(board, 32758), "5 32758 T 123 1.e4 \n");
    engine.settings.pv_show_mate = 1;
    // The mate text counts from the engine's side, whatever the sign shown.
    Board& black = boardFromFen(AfterE4);
    engine.search.root.rootPv = variationOf(black, {"e7e5"});
    EXPECT_EQ(think(black, 32758), "5 -32758 T 123 [M3] 1...e5 \n");
    engine.session.icsMode = 1;
    EXPECT_EQ(think(black, -32761, 1),
              "5 32761 T 123 [M-1] 1...e5 \n"
              "tellics whisper Score=M-1 Depth=5/7 kNps=0 Time=s.cc TB=0 PV=1...e5 \n");
}

TEST_F(Thinking, FailLinesAndLongLines) {
    Board& board = boardFromFen(StartFen);
    engine.search.root.rootPv = variationOf(board, {"e2e4", "e7e5", "g1f3"});
    EXPECT_EQ(think(board, 20), "5 20 T 123 1.e4 e5 2.Nf3 \n");
    EXPECT_EQ(think(board, 20, 0, 1), "5 20 T 123 1.e4 \n");

    // xboard gets at most 396 characters of a longer line, then "...". Late in
    // a long game the move numbers help to make one.
    board.ply = 900;
    engine.search.root.rootPv = walk(board, 63, true);
    std::string line = think(board, 20, 0, 0, 123456789012.0);
    std::string full = "5 20 T 123456789012 " + variationText(board, engine.search.root.rootPv);
    // The real time field, "1234", is three characters wider than "T".
    ASSERT_GT(full.size() + 3, 402u) << full;
    EXPECT_EQ(line, full.substr(0, 396 - 3) + "...\n");
    engine.mode = ModeConsole;
    EXPECT_EQ(think(board, 20, 0, 0, 123456789012.0), full + "\n");
}

TEST_F(Thinking, VariationText) {
    Board& board = boardFromFen(StartFen);
    EXPECT_EQ(variationText(board, variationOf(board, {})), "");
    // A mate ends in two plus signs, a check in the middle in "+ ".
    EXPECT_EQ(variationText(board, variationOf(board, {"e2e4", "e7e5", "d1h5", "b8c6", "f1c4",
                                                       "g8f6", "h5f7"})),
              "1.e4 e5 2.Qh5 Nc6 3.Bc4 Nf6 4.Qxf7++");
    EXPECT_EQ(variationText(board, variationOf(board, {"e2e4", "f7f6", "d1h5", "g7g6"})),
              "1.e4 f6 2.Qh5+ g6 ");
    // Black to move: "1..." first, White's numbers from the Board's ply.
    Board& black = boardFromFen(AfterE4);
    EXPECT_EQ(variationText(black, variationOf(black, {"e7e5", "g1f3", "b8c6"})),
              "1...e5 2.Nf3 Nc6 ");
    Board& game = boardFromFen(StartFen);
    play(game, {"e2e4", "e7e5", "g1f3"});
    EXPECT_EQ(variationText(game, variationOf(game, {"b8c6", "f1b5"})), "2...Nc6 3.Bb5 ");

    // A move that cannot be played ends the text before it is named.
    Board& start = boardFromFen(StartFen);
    PrincipalVariation broken = variationOf(start, {"e2e4"});
    broken.pvMoves[broken.pvLength++] = broken.pvMoves[0];
    EXPECT_EQ(variationText(start, broken), "1.e4 ");
    // At most 63 moves are written.
    PrincipalVariation longest = walk(start, 64);
    PrincipalVariation shorter = longest;
    shorter.pvLength = 63;
    EXPECT_EQ(variationText(start, longest), variationText(start, shorter));

    // Long text: piece letter, from, "x", to, promotion; the length without the blank.
    const std::pair<Move, const char*> longTexts[] = {
        {buildMove(G1, F3, KindKnight, Knight), "Ng1f3 "},
        {buildMove(E2, E4, KindDoubleStep, Pawn), "e2e4 "},
        {buildMove(E7, D8, KindPromoteQueen, Pawn, Rook, Queen), "e7xd8Q "},
        {buildEnPassant(E5, D6), "e5xd6 "},
        {buildMove(E1, G1, KindCastleKingSide, King), "Ke1g1 "},
    };
    for (const auto& [move, expected] : longTexts) {
        char text[16];
        EXPECT_EQ(moveTextLong(move, text), int(std::strlen(expected)) - 1);
        EXPECT_STREQ(text, expected);
    }
}

TEST_F(Thinking, HashExtractTakesOnlyExactEntries) {
    Board& board = boardFromFen(StartFen);
    auto store = [&](std::initializer_list<const char*> path, const char* move, int type) {
        int made = 0;
        for (const char* text : path) {
            play(board, {text});
            ++made;
        }
        Move stored = move ? findMove(board, move) : 0;
        storeTable(board, stored, 0, 6 * OnePly, 15, type, 0);
        while (made--) unmakeMove(board);
    };
    auto extended = [&](PrincipalVariation pv) {
        const Board before = board;
        pvHashExtract(pv, board);
        sameBoard(board, before);
        return variationText(board, pv);
    };
    PrincipalVariation e4 = variationOf(board, {"e2e4"});

    store({"e2e4"}, "e7e5", 3);
    store({"e2e4", "e7e5"}, "g1f3", 2);
    EXPECT_EQ(extended(e4), "1.e4 e5 ");
    store({"e2e4", "e7e5"}, "g1f3", 1);
    EXPECT_EQ(extended(e4), "1.e4 e5 ");
    store({"e2e4", "e7e5"}, "g1f3", 3);
    EXPECT_EQ(extended(e4), "1.e4 e5 2.Nf3 ");
    // An exact entry without a move, or with a move that is not legal here, ends it.
    store({"e2e4", "e7e5", "g1f3"}, nullptr, 3);
    EXPECT_EQ(extended(e4), "1.e4 e5 2.Nf3 ");
    play(board, {"e2e4", "e7e5", "g1f3"});
    storeTable(board, buildMove(E2, E4, KindDoubleStep, Pawn), 0, 8, 0, 3, 0);
    for (int i = 0; i < 3; ++i) unmakeMove(board);
    EXPECT_EQ(extended(e4), "1.e4 e5 2.Nf3 ");

    // A variation that cannot be replayed is left as it is.
    PrincipalVariation broken = e4;
    broken.pvMoves[broken.pvLength++] = broken.pvMoves[0];
    PrincipalVariation copy = broken;
    pvHashExtract(copy, board);
    EXPECT_EQ(copy.pvLength, 2);

    // Knights out and back: the line stops on the first repeated position.
    clearTables();
    store({"g1f3"}, "g8f6", 3);
    store({"g1f3", "g8f6"}, "f3g1", 3);
    store({"g1f3", "g8f6", "f3g1"}, "f6g8", 3);
    store({}, "g1f3", 3);
    EXPECT_EQ(extended(variationOf(board, {"g1f3"})), "1.Nf3 Nf6 2.Ng1 Ng8 3.Nf3 ");

    // Never beyond 63 moves: with an exact entry after every move, 62 grow to
    // 63 and 63 stay 63.
    clearTables();
    PrincipalVariation line = walk(board, 64);
    for (int i = 0; i < 64; ++i) {
        storeTable(board, line.pvMoves[i], 0, 8, 0, 3, 0);
        saveUndo(board);
        makeMove(board, line.pvMoves[i]);
    }
    for (int i = 0; i < 64; ++i) unmakeMove(board);
    for (int length : {62, 63}) {
        PrincipalVariation pv = line;
        pv.pvLength = length;
        pvHashExtract(pv, board);
        EXPECT_EQ(pv.pvLength, 63);
        EXPECT_EQ(pv.pvMoves[62], line.pvMoves[62]);
    }
}

TEST_F(Thinking, PrepareSearch) {
    Board& board = boardFromFen(StartFen);
    play(board, {"e2e4"});
    SearchStack& stack = engine.search.stack;
    for (int ply = 0; ply < MaxPly; ++ply) stack.plies[ply].killer1 = Move(1000 + ply);
    stack.pollLimit = 5;
    stack.stopFlag = 1;
    engine.game.stack.makeCount = engine.game.stack.nullMoveCount = 99;
    stack.totalNodes = 1e6;
    stack.tablebaseProbes = stack.tablebaseHits = stack.pollCount = 4;
    engine.game.stack.moveLists[0] = engine.game.stack.moveBuffer + 50;
    hitTotal = 77;
    ttGeneration = 255;
    engine.game.stack.undo[board.ply].hashKey = 0;

    engine.maxDepth = 64;
    prepareSearch(engine, board);
    EXPECT_EQ(stack.pollLimit, 1000u);
    EXPECT_EQ(stack.stopFlag + engine.game.stack.makeCount + engine.game.stack.nullMoveCount +
                  stack.totalNodes,
              0.0);
    EXPECT_EQ(stack.tablebaseProbes + stack.tablebaseHits + stack.pollCount, 0u);
    EXPECT_EQ(engine.game.stack.moveLists[0], engine.game.stack.moveBuffer);
    EXPECT_EQ(hitTotal, 0u);
    EXPECT_EQ(ttGeneration, 0);
    EXPECT_EQ(engine.game.stack.undo[board.ply].hashKey, board.hashKey);
    // Records move down two plies; the last two keep what they had.
    EXPECT_EQ(stack.plies[0].killer1, 1002u);
    EXPECT_EQ(stack.plies[61].killer1, 1063u);
    EXPECT_EQ(stack.plies[62].killer1, 1062u);
    EXPECT_EQ(stack.plies[63].killer1, 1063u);

    // A shallower maximum moves fewer; a deeper one stays inside the array.
    for (int ply = 0; ply < MaxPly; ++ply) stack.plies[ply].killer1 = Move(1000 + ply);
    engine.maxDepth = 10;
    prepareSearch(engine, board);
    EXPECT_EQ(stack.plies[7].killer1, 1009u);
    EXPECT_EQ(stack.plies[8].killer1, 1008u);
    EXPECT_EQ(ttGeneration, 1);
    engine.maxDepth = 500;
    prepareSearch(engine, board);
    EXPECT_EQ(stack.plies[0].killer1, 1004u);
}

TEST(ThinkingClock, Texts) {
    char text[24];
    const std::pair<int, const char*> cases[] = {
        {0, "  0.00"},    {1234, " 12.34"},   {5999, " 59.99"},   {6000, "  1:00"},
        {6500, "  1:05"}, {359999, " 59:59"}, {360000, " 60:00"}, {-5, "  0.00"},
    };
    for (const auto& [centiseconds, expected] : cases) {
        formatThinkingClock(text, sizeof text, centiseconds);
        EXPECT_STREQ(text, expected) << centiseconds;
    }
}

}  // namespace
