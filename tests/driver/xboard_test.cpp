// The xboard host's thinking lines where a real search does not reach (the
// ponder move, a summary's minutes and tablebase hits, the cut-off of long
// lines), the "move" line, the clock commands and the node benchmark's file. The transcript
// thinking has the score's sign, mate texts and server summaries of real searches.
#include "driver/xboard.h"

#include <array>
#include <cstring>
#include <fstream>
#include <sstream>
#include <utility>

#include "notation/movetext.h"
#include "test_support.h"

constexpr const char* AfterE4 = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1";

// A line of depth 5, selective depth 7, 12.34 s and 123456 nodes (10 kNps),
// under the default settings; the engine is put back after each test.
class Xboard : public testing::Test {
protected:
    void SetUp() override { engine.game.positionMarker = engine.session.icsMode = 0; }
    void TearDown() override { engine = saved; }
    // What the host prints for score over pv, played from board.
    std::string print(Board& board, int32_t score, bool final = false) {
        line.score = score;
        line.final = final;
        line.variation = &pv;
        line.board = &board;
        XboardHost host(engine);
        return stdoutOf([&] { host.thinking(line); });
    }

    Engine saved = engine;
    ThinkingLine line{5, 0, 1234, 123456, 7, 0, nullptr, nullptr, SearchThinking, 0, false};
    PrincipalVariation pv{};
};

TEST_F(Xboard, PonderMoveAndServerSummary) {
    Board& board = boardFromFen(AfterE4);
    pv = variationFrom(board, {"e7e5"});
    engine.session.icsMode = engine.game.opponentIsComputer = 1;
    line.tablebaseHits = 3;
    // A ponder search shows its move; its summary waits for the prediction to come true.
    line.state = SearchPondering;
    line.ponderMove = buildMove(E2, E4, KindDoubleStep, Pawn);
    EXPECT_EQ(print(board, -120, true), "5 120 1234 123456 (e2e4) 1...e5 \n");
    EXPECT_STREQ(engine.session.kibitzText,
                 "Score=1.20 Depth=5/7 kNps=10 Time=12.34 TB=3 PV=(e2e4) 1...e5 ");
    // Past a minute the summary's clock shows minutes.
    line.state = SearchThinking;
    line.centiseconds = 6550;
    EXPECT_EQ(print(board, 35, true),
              "5 -35 6550 123456 1...e5 \n"
              "tellics kibitz Score=-0.35 Depth=5/7 kNps=1 Time= 1:05 TB=3 PV=1...e5 \n");
}

TEST_F(Xboard, LongLinesAreCut) {
    // xboard takes 402 characters; a longer line keeps 396 and ends in "...".
    Board& board = boardFromFen(StartFen);
    board.ply = 900;
    pv = legalWalk(board, 63, true);
    pv.pvLength = 0;
    char moves[PvTextSize];
    do variationText(board, pv.pvMoves, ++pv.pvLength, moves);
    while (std::strlen(moves) < 370);
    for (size_t length : {402u, 403u}) {
        std::string nodes(length - 11 - std::strlen(moves), '0');
        nodes[0] = '1';
        std::string full = "5 20 1234 " + nodes + " " + moves;
        ASSERT_EQ(full.size(), length);
        line.nodes = std::stod(nodes);
        EXPECT_EQ(print(board, 20), (length > 402 ? full.substr(0, 396) + "..." : full) + "\n");
    }
}

TEST_F(Xboard, MoveLine) {
    // Castling is named by its wing, wherever the king starts (b1 in fischerandom).
    const std::pair<Move, const char*> lines[] = {
        {buildMove(E7, E8, KindPromoteQueen, Pawn, 0, Queen), "move e7e8q\n"},
        {buildMove(B2, A1, KindPromoteKnight, Pawn, Rook, Knight), "move b2a1n\n"},
        {buildMove(B1, G1, KindCastleKingSide, King), "move O-O\n"},
        {buildMove(E8, C8, KindCastleQueenSide, King), "move O-O-O\n"}};
    engine.game.gameInProgress = 1;
    for (const auto& row : lines)
        EXPECT_EQ(stdoutOf([&] { sendEngineMove(engine, row.first); }), row.second);
    // No game in progress: no move.
    engine.game.gameInProgress = 0;
    EXPECT_EQ(stdoutOf([&] { sendEngineMove(engine, lines[0].first); }), "");
}

TEST_F(Xboard, ClockCommands) {
    // Command, then moves per control, increment, move time and depth limit: "sd" and "st"
    // hold beside each other and beside "level", "new" clears the depth.
    const std::pair<const char*, std::array<int, 4>> cases[] = {{"sd 7", {1, 0, 0, 7}},
                                                                {"level 40 5 0", {40, 0, 0, 7}},
                                                                {"level 100 5 0", {100, 0, 0, 7}},
                                                                {"level 0 0:10 0.1", {0, 10, 0, 7}},
                                                                {"level 40 25+5 0", {40, 0, 0, 7}},
                                                                {"st 0.5", {40, 0, 50, 7}},
                                                                {"sd 3", {40, 0, 50, 3}},
                                                                {"level 0 2 12", {0, 1200, 0, 3}},
                                                                {"new", {0, 1200, 0, 0}}};
    for (const auto& [command, expected] : cases) {
        handleProtocolCommand(engine, command);
        const SearchLimits& clock = engine.clock;
        EXPECT_EQ((std::array<int, 4>{clock.movesPerSession, clock.increment, clock.moveTime,
                                      clock.depthLimit}),
                  expected)
            << command;
    }
}

// "au nodes FILE": the file of figures, and counts that repeat within a run;
// the transcript nodes_eof checks its standard output.
TEST(NodeBenchmark, FileOfFiguresAndRepeatableCounts) {
    auto run = [] {
        return stdoutOf([] { runNodeBenchmark(engine, VOSTREL_TEST_DATA "/nodes.txt"); });
    };
    engine.session.post = 1;
    const std::string first = run();
    std::stringstream file;
    file << std::ifstream("nodes_fen.txt").rdbuf();
    EXPECT_EQ(file.str(), "1\t    133305     133305\n2\t3\t    117548     250853\n");
    EXPECT_EQ(run(), first);
    EXPECT_EQ(engine.session.post, 1);
    engine.clock.depthLimit = 0;  // the benchmark leaves its depth of 14
}
