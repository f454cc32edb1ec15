// The opening book: lookups on files written byte by byte, the move choice and
// its acceptance rules, the information line, learning from finished games
// (through the protocol too), opponents' names as file names, and damaged or
// unwritable book files.
#include "book/book.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "board/makemove.h"
#include "board/movegen.h"
#include "driver/dispatch.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<unsigned char>;
using Fields = std::array<uint64_t, 5>;  // key, white wins, black wins, draws, flags

constexpr const char* AfterE4 = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1";
constexpr const char* OpponentBook = "Player X.bk";

// The record's fields in file order, each field's bytes lowest first.
void appendRecord(Bytes& bytes, const Fields& fields) {
    for (int field = 0; field < 5; ++field)
        for (int i = 0; i < (field == 0 ? 8 : 2); ++i)
            bytes.push_back(static_cast<unsigned char>(fields[field] >> (8 * i)));
}

// Flags 1: no data for the key.
Fields noData(uint64_t key) { return {key, 0, 0, 0, 1}; }

Bytes recordsOf(std::initializer_list<Fields> records) {
    Bytes bytes;
    for (const Fields& record : records) appendRecord(bytes, record);
    return bytes;
}

void writeFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    ASSERT_TRUE(file.good()) << path;
}

Bytes readFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

// The key of the position after move.
uint64_t keyAfter(Board& board, const char* move) {
    Move m = findMove(board, move);
    saveUndo(board);
    makeMove(board, m);
    uint64_t key = board.hashKey;
    unmakeMove(board);
    return key;
}

void dispatchAll(std::initializer_list<const char*> lines) {
    for (const char* line : lines) dispatchCommand(engine, line);
}

Engine savedEngine;
SearchStack savedStack;

// A directory of its own for the test's files, the current directory while
// the test runs (the engine finds its books there), removed at the end. The
// engine's state is restored afterwards.
class Book : public testing::Test {
protected:
    Book() {
        for (auto n = std::chrono::steady_clock::now().time_since_epoch().count();; ++n) {
            directory = fs::temp_directory_path() / ("vostrel-book-" + std::to_string(n));
            if (fs::create_directory(directory)) break;
        }
        savedEngine = engine;
        savedStack = engine.search.stack;
        previous = fs::current_path();
        fs::current_path(directory);
        copyField(engine.game.opponent.name, sizeof engine.game.opponent.name, "Player X");
        engine.settings.book_rand = 0;
        engine.settings.book_occurrence = 1;
        engine.session.icsMode = 0;
        engine.session.ponder = 0;
    }
    ~Book() override {
        engine = savedEngine;
        engine.search.stack = savedStack;
        fs::current_path(previous);
        fs::permissions(directory, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(directory);
    }

    // Writes bytes to the file name, then probes it for key.
    Fields probe(const char* name, const Bytes& bytes, uint64_t key) {
        writeFile(directory / name, bytes);
        return probeOnly(name, key);
    }
    Fields probeOnly(const char* name, uint64_t key) {
        BookRecord r = bookProbe((directory / name).string().c_str(), key);
        return {r.key, r.whiteWins, r.blackWins, r.draws, r.flags};
    }

    fs::path directory, previous;
};

}  // namespace

TEST_F(Book, RecordsFoundByKey) {
    // Every byte in its place: multi-byte counts, high bits, all of the key.
    // The later duplicate of the first key is never read.
    Bytes bytes;
    appendRecord(bytes, {0x0102030405060708ull, 3, 1, 2, 0});
    appendRecord(bytes, {0xF1E2D3C4B5A69788ull, 0x1234, 0xABCD, 65535, 0x8001});
    appendRecord(bytes, {0x0102030405060708ull, 9, 9, 9, 0});
    EXPECT_EQ(probe("main.bk", bytes, 0x0102030405060708ull),
              (Fields{0x0102030405060708ull, 3, 1, 2, 0}));
    EXPECT_EQ(probeOnly("main.bk", 0xF1E2D3C4B5A69788ull),
              (Fields{0xF1E2D3C4B5A69788ull, 0x1234, 0xABCD, 65535, 0x8001}));
    // Keys that differ from a stored one only in the top or bottom byte.
    for (uint64_t key : {0x0102030405060709ull, 0x0202030405060708ull})
        EXPECT_EQ(probeOnly("main.bk", key), noData(key));
}

TEST_F(Book, MissingAndShortFiles) {
    EXPECT_EQ(probeOnly("nobody.bk", 42), noData(42));
    EXPECT_EQ(probe("empty.bk", {}, 0), noData(0));

    // A whole record followed by the key and half the counts of a second one:
    // the whole record is found, the torn one is not. Likewise with only four
    // stray bytes after the whole record.
    Bytes bytes;
    appendRecord(bytes, {7, 1, 2, 3, 0});
    appendRecord(bytes, {8, 4, 5, 6, 0});
    for (size_t size : {16 + 12, 20}) {
        bytes.resize(size);
        std::string name = std::to_string(size) + ".bk";
        EXPECT_EQ(probe(name.c_str(), bytes, 7), (Fields{7, 1, 2, 3, 0})) << size;
        EXPECT_EQ(probeOnly(name.c_str(), 8), noData(8)) << size;
    }
}

TEST_F(Book, ScoreAndItsRandomSpread) {
    BookRecord record{1, 3, 1, 2, 0};  // 4 of 6 points for white, 2 for black
    EXPECT_DOUBLE_EQ(bookScore(record, White, 0), 4.0 / 6);
    EXPECT_DOUBLE_EQ(bookScore(record, Black, 1), 2.0 / 6);
    EXPECT_EQ(bookScore(BookRecord{1, 0, 0, 0, 0}, White, 0), 0.0);

    // book_rand 10: hundredths from -5 to +4, each of them sooner or later.
    BookRecord even{1, 1, 1, 0, 0};
    for (int spread : {10, 3}) {
        std::set<int> seen;
        for (int i = 0; i < 2000; ++i) {
            double noise = bookScore(even, White, spread) - 0.5;
            seen.insert(int(noise * 100 + (noise < 0 ? -0.5 : 0.5)));
        }
        std::set<int> expected;
        for (int n = -spread / 2; n < spread - spread / 2; ++n) expected.insert(n);
        EXPECT_EQ(seen, expected) << spread;
    }
}

TEST_F(Book, AcceptanceRules) {
    struct Case {
        bool opponentBook, whiteToMove;
        int white, black, draws, flags, occurrence;
        bool accepted;
    };
    const Case cases[] = {
        // Opponent book, white: strictly above one half.
        {true, true, 1, 1, 0, 0, 1, false},
        {true, true, 0, 0, 4, 0, 1, false},
        {true, true, 2, 1, 0, 0, 1, true},
        // Opponent book, black: 0.45 or more.
        {true, false, 11, 9, 0, 0, 1, true},
        {true, false, 14, 11, 0, 0, 1, false},
        // Main book, white: 0.45 or more; the example of 3 wins, 1 loss, 2 draws.
        {false, true, 9, 11, 0, 0, 1, true},
        {false, true, 11, 14, 0, 0, 1, false},
        {false, true, 3, 1, 2, 0, 1, true},
        // Main book, black: 0.35 or more.
        {false, false, 13, 7, 0, 0, 1, true},
        {false, false, 12, 6, 2, 0, 1, true},
        {false, false, 33, 17, 0, 0, 1, false},
        // Too few games, unless the line scored 0.9 or more.
        {false, true, 3, 1, 0, 0, 5, false},
        {false, true, 4, 0, 0, 0, 5, true},
        {false, true, 9, 0, 1, 0, 20, true},
        {false, true, 9, 1, 0, 0, 20, true},
        {false, true, 8, 1, 1, 0, 20, false},
        // No games at all, or marked as no data: never.
        {false, true, 0, 0, 0, 0, 0, false},
        {false, false, 0, 0, 0, 0, 0, false},
        {true, true, 0, 0, 0, 0, 0, false},
        {true, false, 0, 0, 0, 0, 0, false},
        {true, true, 5, 0, 0, 1, 1, false},
        {false, false, 0, 5, 0, 1, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << (c.opponentBook ? "opponent " : "main ")
                     << (c.whiteToMove ? "white " : "black ") << c.white << "/" << c.black << "/"
                     << c.draws << " flags " << c.flags << " occurrence " << c.occurrence);
        fs::remove(OpponentBook);
        fs::remove(MainBookName);
        Board& board = boardFromFen(c.whiteToMove ? StartFen : AfterE4);
        const char* move = c.whiteToMove ? "e2e4" : "e7e5";
        uint64_t key = keyAfter(board, move);
        writeFile(c.opponentBook ? OpponentBook : MainBookName,
                  recordsOf({{key, uint64_t(c.white), uint64_t(c.black), uint64_t(c.draws),
                              uint64_t(c.flags)}}));
        engine.settings.book_occurrence = c.occurrence;
        engine.session.bookHit = !c.accepted;
        char line[256];
        EXPECT_EQ(bookChooseMove(engine, board, line, sizeof line),
                  c.accepted ? findMove(board, move) : 0);
        EXPECT_EQ(engine.session.bookHit, c.accepted ? 1 : 0);
    }
}

TEST_F(Book, BookOrderAndTies) {
    Board& board = boardFromFen(StartFen);
    uint64_t e4 = keyAfter(board, "e2e4"), d4 = keyAfter(board, "d2d4");
    char line[256];

    // An acceptable move of the opponent's book beats a better main-book move.
    writeFile(MainBookName, recordsOf({{e4, 10, 0, 0, 0}}));
    writeFile(OpponentBook, recordsOf({{d4, 2, 1, 0, 0}}));
    EXPECT_EQ(bookChooseMove(engine, board, line, sizeof line), findMove(board, "d2d4"));
    // Nothing acceptable there: the main book decides.
    writeFile(OpponentBook, recordsOf({{d4, 1, 1, 0, 0}}));
    EXPECT_EQ(bookChooseMove(engine, board, line, sizeof line), findMove(board, "e2e4"));

    // Equal scores without noise: the first move in generation order; a
    // strictly better later move still wins.
    fs::remove(OpponentBook);
    int count = generateMoves(board);
    std::vector<Move> moves;
    for (int i = 0; i < count; ++i) moves.push_back(engine.game.stack.moveLists[0][i].move);
    auto keyOf = [&](Move move) {
        saveUndo(board);
        makeMove(board, move);
        uint64_t key = board.hashKey;
        unmakeMove(board);
        return key;
    };
    for (int spread : {0, 1}) {
        engine.settings.book_rand = spread;
        Bytes bytes;
        for (int i = count - 1; i >= 1; --i) appendRecord(bytes, {keyOf(moves[i]), 2, 1, 0, 0});
        writeFile(MainBookName, bytes);
        EXPECT_EQ(bookChooseMove(engine, board, line, sizeof line), moves[1]) << spread;
        appendRecord(bytes, {keyOf(moves[0]), 2, 1, 0, 0});
        bytes.resize(16);  // the last move of the list now scores best
        appendRecord(bytes, {keyOf(moves[0]), 2, 1, 0, 0});
        bytes[8] = 3;
        writeFile(MainBookName, bytes);
        EXPECT_EQ(bookChooseMove(engine, board, line, sizeof line), moves[count - 1]) << spread;
    }
}

TEST_F(Book, InformationLineAndServerChannel) {
    Board& board = boardFromFen(StartFen);
    writeFile(MainBookName, recordsOf({{keyAfter(board, "e2e4"), 3, 1, 2, 0}}));
    char line[256];
    testing::internal::CaptureStdout();
    EXPECT_NE(bookChooseMove(engine, board, line, sizeof line), 0u);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_STREQ(line, "0\t66\t0\t0\tW 3, D 2, B 1\n");

    // Black's share of the same counts, truncated to a whole percent.
    Board& black = boardFromFen(AfterE4);
    writeFile(MainBookName, recordsOf({{keyAfter(black, "c7c5"), 1, 2, 1, 0}}));
    EXPECT_EQ(bookChooseMove(engine, black, line, sizeof line), findMove(black, "c7c5"));
    EXPECT_STREQ(line, "0\t62\t0\t0\tW 1, D 1, B 2\n");

    struct Channel {
        int computer, human, server;
        const char* output;
    };
    engine.session.icsMode = 1;
    engine.settings.serverComputer = 2;
    engine.settings.serverHuman = 1;
    for (Channel c : {Channel{1, 0, 2, "tellics kibitz W 1, D 1, B 2\n"},
                      Channel{0, 0, 1, "tellics whisper W 1, D 1, B 2\n"}, Channel{1, 0, 0, ""},
                      Channel{0, 0, 0, ""}}) {
        engine.game.opponentIsComputer = c.computer;
        (c.computer ? engine.settings.serverComputer : engine.settings.serverHuman) = c.server;
        testing::internal::CaptureStdout();
        bookChooseMove(engine, black, line, sizeof line);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.output);
    }
    // Without a buffer the move is still found, and nothing is said.
    testing::internal::CaptureStdout();
    EXPECT_EQ(bookChooseMove(engine, black, nullptr, 0), findMove(black, "c7c5"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(Book, BkCommand) {
    dispatchAll({"new"});
    testing::internal::CaptureStdout();
    dispatchAll({"bk"});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "telluser W 0, D 0, B 0\n");
    writeFile(MainBookName, recordsOf({{1, 9, 9, 9, 0}, {engine.game.board.hashKey, 3, 1, 2, 0}}));
    testing::internal::CaptureStdout();
    dispatchAll({"bk"});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "telluser W 3, D 2, B 1\n");
}

// Learning through "result": every position of the game before the last move
// gains one game in the result's column of both books; unknown results and
// learning switched off change nothing.
TEST_F(Book, LearningFromResults) {
    Board& board = boardFromFen(StartFen);
    uint64_t keys[3] = {board.hashKey, keyAfter(board, "e2e4"), 0};
    play(board, {"e2e4"});
    keys[2] = keyAfter(board, "e7e5");
    play(board, {"e7e5"});
    uint64_t last = keyAfter(board, "g1f3");

    auto playGame = [](const char* result) {
        dispatchAll({"new", "force", "usermove e2e4", "usermove e7e5", "usermove g1f3"});
        dispatchCommand(engine, result);
    };
    struct Step {
        const char* line;
        int white, black, draws;
    };
    dispatchAll({"name Some Engine 1.0"});
    const Step steps[] = {{"result 1-0 {White mates}", 1, 0, 0},
                          {"result 0-1 {Black mates}", 1, 1, 0},
                          {"result 1/2-1/2 {Draw by repetition}", 1, 1, 1},
                          {"result * {Adjourned}", 1, 1, 1},
                          {"result 1-0 {White mates}", 2, 1, 1}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.line);
        playGame(step.line);
        for (const char* book : {MainBookName, "Some Engine 1.0.bk"}) {
            ASSERT_EQ(fs::file_size(book), 3 * 16u) << book;
            for (uint64_t key : keys)
                EXPECT_EQ(probeOnly(book, key),
                          (Fields{key, uint64_t(step.white), uint64_t(step.black),
                                  uint64_t(step.draws), 0}))
                    << book;
            EXPECT_EQ(probeOnly(book, last), noData(last)) << book;
        }
    }
    dispatchAll({"book_learning = no"});
    playGame("result 1-0");
    EXPECT_EQ(probeOnly(MainBookName, keys[0]), (Fields{keys[0], 2, 1, 1, 0}));

    // A repeated position still counts one game.
    fs::remove(MainBookName);
    dispatchAll({"book_learning = yes", "new", "force", "usermove g1f3", "usermove g8f6",
                 "usermove f3g1", "usermove f6g8", "usermove g1f3", "result 1/2-1/2 {Draw}"});
    EXPECT_EQ(fs::file_size(MainBookName), 4 * 16u);
    EXPECT_EQ(probeOnly(MainBookName, keys[0]), (Fields{keys[0], 0, 0, 1, 0}));
}

TEST_F(Book, CountsHalveAtTheLimit) {
    writeFile(MainBookName, recordsOf({{5, 65535, 10, 3, 2}, {6, 7, 65535, 65535, 0}}));
    // A white win would pass 65535: all three halve. Stored flags stay.
    EXPECT_EQ(bookMergeRecord({5, 1, 0, 0, 0}, MainBookName), 1);
    EXPECT_EQ(probeOnly(MainBookName, 5), (Fields{5, 32768, 5, 1, 2}));
    // A count below the limit just adds, even next to full ones.
    EXPECT_EQ(bookMergeRecord({6, 1, 0, 0, 0}, MainBookName), 1);
    EXPECT_EQ(probeOnly(MainBookName, 6), (Fields{6, 8, 65535, 65535, 0}));
    EXPECT_EQ(bookMergeRecord({6, 0, 0, 1, 1}, MainBookName), 1);
    EXPECT_EQ(probeOnly(MainBookName, 6), (Fields{6, 4, 32767, 32768, 1}));
    EXPECT_EQ(fs::file_size(MainBookName), 32u);
    // An increment without counts adds no record.
    EXPECT_EQ(bookMergeRecord({7, 0, 0, 0, 0}, MainBookName), 1);
    EXPECT_EQ(fs::file_size(MainBookName), 32u);
}

// The first game of a new book is stored, not lost to the file's creation.
TEST_F(Book, MissingBookIsCreatedAndLearns) {
    ASSERT_FALSE(fs::exists(MainBookName));
    UndoRecord undo[2] = {};
    undo[0].hashKey = 11;
    undo[1].hashKey = 12;
    EXPECT_EQ(bookLearnGame("Player X", undo, 2, -1), 1);
    for (const char* book : {MainBookName, OpponentBook}) {
        EXPECT_EQ(probeOnly(book, 11), (Fields{11, 0, 1, 0, 0})) << book;
        EXPECT_EQ(probeOnly(book, 12), (Fields{12, 0, 1, 0, 0})) << book;
    }
}

TEST_F(Book, DamagedBookFiles) {
    // Two whole records and a torn third: updates stay in place, a new record
    // replaces the torn tail, and every record stays on a 16-byte boundary.
    Bytes good = recordsOf({{1, 1, 2, 3, 0}, {2, 4, 5, 6, 0}});
    Bytes torn = good;
    for (unsigned char b : {3, 0, 0, 0, 0, 0, 0}) torn.push_back(b);
    writeFile(MainBookName, torn);
    EXPECT_EQ(bookMergeRecord({2, 0, 1, 0, 0}, MainBookName), 1);
    EXPECT_EQ(fs::file_size(MainBookName), 39u);
    EXPECT_EQ(bookMergeRecord({3, 0, 0, 1, 0}, MainBookName), 1);
    Bytes expected = recordsOf({{1, 1, 2, 3, 0}, {2, 4, 6, 6, 0}, {3, 0, 0, 1, 0}});
    EXPECT_EQ(readFile(MainBookName), expected);

    // Noise of any length: its whole records are left alone, learning appends
    // after them, and the choice and "bk" read it without harm.
    Bytes noise;
    uint32_t state = 12345;
    for (int i = 0; i < 53; ++i) {
        state = state * 1103515245u + 12345u;
        noise.push_back(static_cast<unsigned char>(state >> 16));
    }
    writeFile(MainBookName, noise);
    Board& board = boardFromFen(StartFen);
    EXPECT_EQ(bookChooseMove(engine, board, nullptr, 0), 0u);
    EXPECT_EQ(bookMergeRecord({9, 1, 0, 0, 0}, MainBookName), 1);
    Bytes bytes = readFile(MainBookName);
    ASSERT_EQ(bytes.size(), 64u);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + 48, noise.begin()));
    EXPECT_EQ(probeOnly(MainBookName, 9), (Fields{9, 1, 0, 0, 0}));
    testing::internal::CaptureStdout();
    dispatchAll({"new", "bk"});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "telluser W 0, D 0, B 0\n");
}

TEST_F(Book, UnwritableBookFiles) {
    // A directory in the main book's place: nothing to read, nothing stored
    // there, and the opponent's book still learns.
    fs::create_directory(MainBookName);
    UndoRecord undo[1] = {};
    undo[0].hashKey = 21;
    EXPECT_EQ(bookLearnGame("Player X", undo, 1, 1), 0);
    EXPECT_TRUE(fs::is_directory(MainBookName));
    EXPECT_EQ(probeOnly(OpponentBook, 21), (Fields{21, 1, 0, 0, 0}));
    Board& board = boardFromFen(StartFen);
    fs::remove(OpponentBook);
    EXPECT_EQ(bookChooseMove(engine, board, nullptr, 0), 0u);
    testing::internal::CaptureStdout();
    dispatchAll({"new", "bk"});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "telluser W 0, D 0, B 0\n");
}

// A read-only book keeps its records and still serves the choice.
TEST_F(Book, ReadOnlyBookFile) {
    Bytes records = recordsOf({{21, 4, 0, 0, 0}});
    writeFile(MainBookName, records);
    fs::permissions(MainBookName, fs::perms::owner_read);
    if (std::FILE* file = std::fopen(MainBookName, "r+b")) {
        std::fclose(file);
        GTEST_SKIP() << "read-only files are writable with these rights";
    }
    EXPECT_EQ(bookMergeRecord({21, 1, 0, 0, 0}, MainBookName), 0);
    EXPECT_EQ(bookMergeRecord({22, 1, 0, 0, 0}, MainBookName), 0);
    EXPECT_EQ(readFile(MainBookName), records);
    EXPECT_EQ(probeOnly(MainBookName, 21), (Fields{21, 4, 0, 0, 0}));
}

TEST_F(Book, OpponentNamesAsFileNames) {
    struct Name {
        const char* name;
        const char* file;
    };
    for (Name n :
         {Name{"Player X", "Player X.bk"}, Name{"Crafty-23.4_x", "Crafty-23.4_x.bk"},
          Name{"", "_.bk"}, Name{"..", "_..bk"}, Name{".hidden", "_hidden.bk"},
          Name{"../../etc/passwd", "_._.._etc_passwd.bk"},
          Name{"C:\\Windows\\x", "C__Windows_x.bk"}, Name{"a<b>c:d\"e|f?g*h", "a_b_c_d_e_f_g_h.bk"},
          Name{"tab\there", "tab_here.bk"}, Name{"caf\xc3\xa9", "caf__.bk"}, Name{"CON", "_CON.bk"},
          Name{"nul.txt", "_nul.txt.bk"}, Name{"com1", "_com1.bk"}, Name{"Lpt9 ", "_Lpt9 .bk"},
          Name{"COM10", "COM10.bk"}, Name{"Console", "Console.bk"}, Name{"vostrel", "_vostrel.bk"},
          Name{"VOSTREL", "_VOSTREL.bk"}, Name{"vostrel 2", "vostrel 2.bk"}}) {
        char file[BookNameSize];
        opponentBookName(file, sizeof file, n.name);
        EXPECT_STREQ(file, n.file) << n.name;
    }
    std::string longName(100, 'x');
    char file[BookNameSize];
    opponentBookName(file, sizeof file, longName.c_str());
    EXPECT_EQ(std::string(file), std::string(64, 'x') + ".bk");

    // Through the protocol: the book stays in the program's directory, and an
    // opponent called like the main book does not count every game twice.
    fs::create_directory("inner");
    fs::current_path("inner");
    dispatchAll({"name ../escaped", "new", "force", "usermove e2e4", "result 1-0"});
    EXPECT_FALSE(fs::exists("../escaped.bk"));
    EXPECT_TRUE(fs::exists("_._escaped.bk"));
    dispatchAll({"name vostrel", "new", "force", "usermove e2e4", "result 1-0"});
    uint64_t start = boardFromFen(StartFen).hashKey;
    EXPECT_EQ(probeOnly("inner/vostrel.bk", start), (Fields{start, 2, 0, 0, 0}));
    EXPECT_EQ(probeOnly("inner/_vostrel.bk", start), (Fields{start, 1, 0, 0, 0}));
    fs::current_path(directory);
}

// A book learned from played games, then used by "go": at once and silently
// without verification, with its information line after a verification, and
// not at all when the verification finds the move too weak.
TEST_F(Book, ProtocolPlaysLearnedMove) {
    dispatchAll({"sd 2", "easy", "post", "name Tester"});
    for (const char* second : {"usermove e7e5", "usermove c7c5"})
        dispatchAll({"new", "force", "usermove e2e4", second, "result 1-0 {White mates}"});

    dispatchAll({"book_verify = no", "new", "time 20000"});
    testing::internal::CaptureStdout();
    dispatchAll({"go"});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "move e2e4\n");

    dispatchAll({"book_verify = yes", "new", "time 1000"});
    testing::internal::CaptureStdout();
    dispatchAll({"go"});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "move e2e4\n");

    dispatchAll({"new", "time 20000"});
    testing::internal::CaptureStdout();
    dispatchAll({"go"});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "0\t100\t0\t0\tW 2, D 0, B 0\n\nmove e2e4\n");

    // Black after 1.e4: the opponent's book holds two wins for white only, the
    // main book too, so black finds nothing acceptable and searches.
    dispatchAll({"new", "time 20000"});
    testing::internal::CaptureStdout();
    dispatchAll({"usermove e2e4"});
    std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(output.find("\tW "), std::string::npos) << output;
    EXPECT_EQ(engine.session.bookHit, 0);

    dispatchAll({"book_minwhite = 10000", "new", "time 20000"});
    testing::internal::CaptureStdout();
    dispatchAll({"go"});
    output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(output.find("\tW "), std::string::npos) << output;
    EXPECT_NE(output.find("move "), std::string::npos) << output;
}
