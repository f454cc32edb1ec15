// The PGN reader: movetext with everything a collection holds around the
// moves, any line ending, and faults that skip one game but not the next.
#include "notation/pgn.h"

#include <algorithm>
#include <memory>
#include <string>

#include "test_support.h"

namespace {

struct Read {
    std::string moves;  // the moves, each followed by its line: "e4@3 e5@3 "
    int result;
    std::string error;  // "reason@line", empty without one
    std::string fen, variant;
};

std::vector<Read> readAll(const std::string& text) {
    auto reader = std::make_unique<PgnReader>();
    auto game = std::make_unique<PgnGame>();
    pgnReadText(*reader, text.data(), text.size());
    std::vector<Read> games;
    while (pgnNextGame(*reader, *game)) {
        Read read{"", game->result, "", game->fen, game->variant};
        for (int i = 0; i < game->moveCount; ++i)
            read.moves +=
                std::string(game->moves[i]) + "@" + std::to_string(game->moveLines[i]) + " ";
        if (game->error)
            read.error = std::string(game->error) + "@" + std::to_string(game->errorLine);
        games.push_back(read);
    }
    return games;
}

}  // namespace

TEST(Pgn, MovetextAroundTheMoves) {
    // Tags with escapes, comments over lines and to the line's end, nested
    // variations with their own comments, NAGs, numbers glued to moves, an
    // escape line, and each line ending: "\n", "\r\n", a lone "\r".
    const std::string text =
        "\xEF\xBB\xBF[Event \"a \\\"quoted\\\" \\\\ name\"]\n"
        "[Variant \"fischerandom\"]\r\n"
        "[FEN \"8/8/8/8/8/8/8/K6k w - - 0 1\"]\r\n"
        "\r\n"
        "1. e4 {a comment\r\n over lines} e5 ; to the end (not a variation\n"
        "% an escape line 2. d4\n"
        "2.Nf3 $1 Nc6 (2...d6 {with ) inside} (2...f5 3. exf5) 3. d4) 3...Nf6 \r"
        "4.O-O-O 0-0 *\n"
        "[Event \"next\"]\n1. d4 d5 1/2-1/2 1. c4 0-1";
    const std::vector<Read> games = readAll(text);
    ASSERT_EQ(games.size(), 3u);
    EXPECT_EQ(games[0].moves, "e4@5 e5@6 Nf3@8 Nc6@8 Nf6@8 O-O-O@9 0-0@9 ");
    EXPECT_EQ(games[0].result, PgnUnfinished);
    EXPECT_EQ(games[0].error, "");
    EXPECT_EQ(games[0].fen, "8/8/8/8/8/8/8/K6k w - - 0 1");
    EXPECT_EQ(games[0].variant, "fischerandom");
    EXPECT_EQ(games[1].moves, "d4@11 d5@11 ");
    EXPECT_EQ(games[1].result, 0);
    // Movetext without tags is a game as well.
    EXPECT_EQ(games[2].moves, "c4@11 ");
    EXPECT_EQ(games[2].result, -1);
    EXPECT_EQ(readAll("1-0")[0].result, 1);
    EXPECT_TRUE(readAll("").empty());
    EXPECT_TRUE(readAll(" \n\r\n% only an escape\n").empty());
}

TEST(Pgn, FaultsSkipOneGame) {
    // Each fault is named with its line; the game after it reads as it stands.
    const std::pair<std::string, std::string> cases[] = {
        {"1. e4 e5\n\n[Event \"b\"]\n1. d4 1-0", "no result before the next game's tags@3"},
        {"[Event \"broken]\n[Site \"x\"]\n1. e4 1-0\n[Event \"b\"]\n1. d4 1-0", "bad tag pair@1"},
        {"[Event\n\"x\"]\n1. e4 1-0\n[Event \"b\"]\n1. d4 1-0", "bad tag pair@1"},
        {"1. e4 ) e5 1-0\n[Event \"b\"]\n1. d4 1-0", "\")\" without its \"(\"@1"},
        {"1. e4 \"e5\" 1-0\n[Event \"b\"]\n1. d4 1-0", "unexpected character@1"},
        {"1. e4 Nf3xxxxxxxxxxxxxxxxx 1-0\n[Event \"b\"]\n1. d4 1-0", "overlong move text@1"},
        {"[FEN \"" + std::string(200, '8') + "\"]\n1. e4 1-0\n[Event \"b\"]\n1. d4 1-0",
         "FEN too long@1"}};
    for (const auto& [text, error] : cases) {
        const std::vector<Read> games = readAll(text);
        ASSERT_EQ(games.size(), 2u) << text;
        EXPECT_EQ(games[0].error, error) << text;
        EXPECT_EQ(games[1].moves,
                  "d4@" + std::to_string(std::count(text.begin(), text.end(), '\n') + 1) + " ")
            << text;
        EXPECT_EQ(games[1].error, "") << text;
    }
    // A truncated file: in the movetext, a comment or a variation.
    const std::pair<const char*, const char*> ends[] = {
        {"[Event \"a\"]\n1. e4 e5 2. Nf3", "no result at the end of the text@2"},
        {"[Event \"a\"]\n1. e4 {cut", "comment not closed@2"},
        {"1. e4 (1. d4 d5\n", "variation not closed at the end of the text@2"},
        {"[Event \"a\"]\n[Site", "bad tag pair@2"}};
    for (auto [text, error] : ends) {
        const std::vector<Read> games = readAll(text);
        ASSERT_EQ(games.size(), 1u) << text;
        EXPECT_EQ(games[0].error, error) << text;
    }
    // More moves than a game keeps: the rest are read over, the result still found.
    std::string longGame;
    for (int i = 0; i < PgnMaxMoves + 10; ++i) longGame += "Nf3 ";
    const std::vector<Read> games = readAll(longGame + "1-0");
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(games[0].result, 1);
    EXPECT_EQ(games[0].error, "");
}
