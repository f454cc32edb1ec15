// The opening book: its file format byte by byte, the move choice and its rules,
// learning from games, opponents' names as file names, hostile and unwritable files.
#include "book/book.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "board/makemove.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<unsigned char>;
using Fields = std::array<uint64_t, 5>;  // key, white wins, black wins, draws, flags

constexpr const char* AfterE4 = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1";
constexpr const char* Opponent = "Player X";
constexpr const char* OpponentBook = "Player X.bk";

// Records in file order: an 8-byte key, four 2-byte fields, each lowest byte first.
Bytes recordsOf(const std::vector<Fields>& records) {
    Bytes bytes;
    for (const Fields& record : records)
        for (int field = 0; field < 5; ++field)
            for (int i = 0; i < (field == 0 ? 8 : 2); ++i)
                bytes.push_back(static_cast<unsigned char>(record[field] >> (8 * i)));
    return bytes;
}

void writeFile(const char* name, const Bytes& bytes) {
    std::ofstream(name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

Bytes readFile(const char* name) {
    std::ifstream file(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

Fields probe(const char* name, uint64_t key) {
    BookRecord r = bookProbe(name, key);
    return {r.key, r.whiteWins, r.blackWins, r.draws, r.flags};
}

uint64_t keyAfter(Board& board, const char* move) {
    play(board, {move});
    uint64_t key = board.hashKey;
    unmakeMove(board);
    return key;
}

// A temporary directory of its own per test, the current one (books are found there).
class Book : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vostrel-book-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        fs::current_path(directory = pattern);
    }
    void TearDown() override {
        fs::current_path(previous);
        if (!directory.empty()) fs::remove_all(directory);
    }
    fs::path previous = fs::current_path(), directory;
};

}  // namespace

TEST_F(Book, FileFormatByteByByte) {
    // Every byte in its place; a later duplicate key or a torn record is never read.
    Fields first{0x0102030405060708ull, 3, 1, 2, 0}, later{first[0], 9, 9, 9, 0};
    Fields high{0xF1E2D3C4B5A69788ull, 0x1234, 0xABCD, 65535, 0x8001};
    Bytes bytes = recordsOf({first, high, later, {8, 4, 5, 6, 0}});
    writeFile("main.bk", Bytes(bytes.begin(), bytes.end() - 4));
    EXPECT_EQ(probe("main.bk", first[0]), first);
    EXPECT_EQ(probe("main.bk", high[0]), high);
    // Keys one byte off a stored one at either end, and the torn record's: no data.
    for (uint64_t key : {0x0102030405060709ull, 0x0202030405060708ull, 8ull})
        EXPECT_EQ(probe("main.bk", key), (Fields{key, 0, 0, 0, 1}));

    // Merging updates in place (the torn tail kept), then appends over the torn tail.
    EXPECT_EQ(bookMergeRecord({high[0], 1, 0x100, 0, 0x10}, "main.bk"), 1);
    EXPECT_EQ(fs::file_size("main.bk"), 60u);
    EXPECT_EQ(bookMergeRecord({9, 0, 0, 1, 0}, "main.bk"), 1);
    Fields updated{high[0], 0x1235, 0xACCD, 65535, 0x8011}, added{9, 0, 0, 1, 0};
    EXPECT_EQ(readFile("main.bk"), recordsOf({first, updated, later, added}));
}

TEST_F(Book, AcceptanceRulesAndSpread) {
    const std::vector<std::string> rows = dataRows("book_acceptance.txt");
    for (const std::string& line : rows) {
        SCOPED_TRACE(line);
        std::istringstream row(line);
        std::string book, side, verdict;
        Fields record;
        int occurrence;
        row >> book >> side >> record[1] >> record[2] >> record[3] >> record[4] >> occurrence >>
            verdict;
        ASSERT_TRUE(row);
        Board& board = boardFromFen(side == "white" ? StartFen : AfterE4);
        const char* move = side == "white" ? "e2e4" : "e7e5";
        record[0] = keyAfter(board, move);
        writeFile(book == "opponent" ? MainBookName : OpponentBook, {});
        writeFile(book == "opponent" ? OpponentBook : MainBookName, recordsOf({record}));
        EXPECT_EQ(bookChooseMove(board, Opponent, 0, occurrence).move,
                  verdict == "accepted" ? findMove(board, move) : 0);
    }
    EXPECT_EQ(rows.size(), 11u);
    // Spread 10 around a score of one half: every hundredth from -5 to +4, sooner or later.
    std::set<int> seen;
    for (int i = 0; i < 2000; ++i)
        seen.insert(int(std::lround((bookScore({1, 1, 1, 0, 0}, White, 10) - 0.5) * 100)));
    EXPECT_EQ(seen, (std::set<int>{-5, -4, -3, -2, -1, 0, 1, 2, 3, 4}));
}

TEST_F(Book, ChoiceOrderSpreadAndInformationLine) {
    Board& board = boardFromFen(AfterE4);
    uint64_t c5 = keyAfter(board, "c7c5"), e5 = keyAfter(board, "e7e5");
    // An acceptable move of the opponent's book beats a better main-book move;
    // with nothing acceptable there, the main book decides.
    writeFile(MainBookName, recordsOf({{c5, 1, 2, 1, 0}}));
    writeFile(OpponentBook, recordsOf({{e5, 1, 1, 0, 0}}));
    EXPECT_EQ(bookChooseMove(board, Opponent, 0, 1).move, findMove(board, "e7e5"));
    writeFile(OpponentBook, recordsOf({{e5, 3, 2, 0, 0}}));
    BookChoice choice = bookChooseMove(board, Opponent, 0, 1);
    EXPECT_EQ(choice.move, findMove(board, "c7c5"));
    EXPECT_STREQ(choice.counts, "W 1, D 1, B 2");
    EXPECT_STREQ(choice.line, "0\t62\t0\t0\tW 1, D 1, B 2\n");  // black's share, truncated

    // Without noise (spread 0 or 1) the best score, the first generated among equals
    // whatever the file order; with a spread, any move within it at times.
    Board& start = boardFromFen(StartFen);
    uint64_t c4 = keyAfter(start, "c2c4"), d4 = keyAfter(start, "d2d4"),
             e4 = keyAfter(start, "e2e4");
    writeFile(MainBookName, recordsOf({{e4, 3, 1, 0, 0}, {d4, 3, 1, 0, 0}, {c4, 7, 3, 0, 0}}));
    for (int spread : {0, 1})
        EXPECT_EQ(bookChooseMove(start, Opponent, spread, 1).move, findMove(start, "d2d4"));
    std::set<Move> chosen;
    for (int i = 0; i < 300; ++i) chosen.insert(bookChooseMove(start, Opponent, 20, 1).move);
    EXPECT_EQ(chosen.size(), 3u);
}

// Each distinct position of a game gains a game in the outcome's column in both
// books, created when missing; the choice then repeats the winning move.
TEST_F(Book, LearningFromGames) {
    Board& board = boardFromFen(StartFen);
    play(board, {"g1f3", "g8f6", "f3g1", "f6g8", "e2e4"});  // the start position twice
    const UndoRecord* undo = board.stack->undo;
    const std::pair<int, Fields> games[] = {
        {1, {0, 1, 0, 0, 0}}, {-1, {0, 1, 1, 0, 0}}, {0, {0, 1, 1, 1, 0}}};
    for (auto [outcome, expected] : games) {
        ASSERT_EQ(bookLearnGame(Opponent, undo, board.ply, outcome), 1);
        for (const char* book : {MainBookName, OpponentBook}) {
            EXPECT_EQ(fs::file_size(book), 4 * 16u) << book;
            for (int ply = 0; ply < 4; ++ply) {
                expected[0] = undo[ply].hashKey;
                EXPECT_EQ(probe(book, expected[0]), expected) << book << " ply " << ply;
            }
        }
    }
    EXPECT_EQ(probe(MainBookName, board.hashKey)[4], 1u);  // no data after the last move
    EXPECT_EQ(bookLearnGame(Opponent, undo, 2, 1), 1);
    Board& start = boardFromFen(StartFen);
    EXPECT_EQ(bookChooseMove(start, Opponent, 0, 1).move, findMove(start, "g1f3"));
}

TEST_F(Book, CountsHalveAtTheLimit) {
    writeFile(MainBookName, recordsOf({{5, 65535, 10, 3, 2}, {6, 65534, 65535, 65535, 0}}));
    // A count that would pass 65535 halves all three; stored flags stay.
    EXPECT_EQ(bookMergeRecord({5, 1, 0, 0, 0}, MainBookName), 1);
    EXPECT_EQ(probe(MainBookName, 5), (Fields{5, 32768, 5, 1, 2}));
    // Reaching 65535 just adds; flags are or-ed in.
    EXPECT_EQ(bookMergeRecord({6, 1, 0, 0, 0}, MainBookName), 1);
    EXPECT_EQ(probe(MainBookName, 6), (Fields{6, 65535, 65535, 65535, 0}));
    EXPECT_EQ(bookMergeRecord({6, 0, 0, 1, 1}, MainBookName), 1);
    EXPECT_EQ(probe(MainBookName, 6), (Fields{6, 32767, 32767, 32768, 1}));
    // An increment without counts adds no record.
    EXPECT_EQ(bookMergeRecord({7, 0, 0, 0, 0}, MainBookName), 1);
    EXPECT_EQ(fs::file_size(MainBookName), 32u);
}

TEST_F(Book, UnwritableFiles) {
    // A directory in the main book's place: the opponent's book still learns.
    fs::create_directory(MainBookName);
    UndoRecord undo{};
    undo.hashKey = 21;
    EXPECT_EQ(bookLearnGame(Opponent, &undo, 1, 1), 0);
    EXPECT_EQ(probe(OpponentBook, 21), (Fields{21, 1, 0, 0, 0}));

    // A read-only file is read and left as it was (as root, tried as another user).
    Bytes records = recordsOf({{21, 4, 0, 0, 0}});
    writeFile("readonly.bk", records);
    chmod("readonly.bk", 0444);
    chmod(directory.c_str(), 0711);
    bool asOther = geteuid() == 0;
    ASSERT_TRUE(!asOther || seteuid(65534) == 0);
    EXPECT_EQ(bookMergeRecord({21, 1, 0, 0, 0}, "readonly.bk"), 0);
    EXPECT_EQ(bookMergeRecord({22, 1, 0, 0, 0}, "readonly.bk"), 0);
    EXPECT_EQ(probe("readonly.bk", 21), (Fields{21, 4, 0, 0, 0}));
    ASSERT_TRUE(!asOther || seteuid(0) == 0);
    EXPECT_EQ(readFile("readonly.bk"), records);
}

TEST_F(Book, OpponentNamesAsFileNames) {
    // clang-format off
    const char* names[][2] = {
        {"Crafty 23.4_x-1", "Crafty 23.4_x-1.bk"}, {"", "_.bk"}, {"..", "_..bk"},
        {".hidden", "_hidden.bk"}, {"../../etc/passwd", "_._.._etc_passwd.bk"},
        {"C:\\W\\a<b>c\"d|e?f*", "C__W_a_b_c_d_e_f_.bk"},
        {"tab\there caf\xc3\xa9", "tab_here caf__.bk"}, {"CON", "_CON.bk"},
        {"nul.txt", "_nul.txt.bk"}, {"Lpt9 ", "_Lpt9 .bk"}, {"com1", "_com1.bk"},
        {"COM10", "COM10.bk"}, {"Console", "Console.bk"}, {"VOSTREL", "_VOSTREL.bk"},
        {"vostrel 2", "vostrel 2.bk"}};
    // clang-format on
    char file[BookNameSize];
    for (auto& n : names) {
        opponentBookName(file, sizeof file, n[0]);
        EXPECT_STREQ(file, n[1]) << n[0];
    }
    opponentBookName(file, sizeof file, std::string(100, 'x').c_str());
    EXPECT_EQ(file, std::string(64, 'x') + ".bk");
    // An opponent named like the main book does not count its games there twice.
    UndoRecord undo{};
    undo.hashKey = 31;
    EXPECT_EQ(bookLearnGame("vostrel", &undo, 1, 1), 1);
    EXPECT_EQ(probe(MainBookName, 31), (Fields{31, 1, 0, 0, 0}));
    EXPECT_EQ(probe("_vostrel.bk", 31), (Fields{31, 1, 0, 0, 0}));
}

namespace {

std::string fileText(std::FILE* file) {
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;) text += char(c);
    return text;
}

ImportSummary importInto(const char* book, int plies, std::FILE* messages,
                         std::vector<const char*> files = {"games.pgn"}) {
    return bookImportPgn({book, plies, messages, nullptr}, files.data(), int(files.size()));
}

}  // namespace

// Each finished game's first plies credited as learning credits a game; the
// faulty, the unfinished and other variants' games skipped with the reason;
// the old book merged (its first record of a key, counts halved at the limit)
// and written sorted.
TEST_F(Book, ImportPgn) {
    const char* const random = "rk2r3/pppppppp/8/8/8/8/PPPPPPPP/RK2R3 w EAea - 0 1";
    std::ofstream("games.pgn", std::ios::binary)
        << "[Event \"repeats\"]\r\n\r\n1. Nf3 Nf6 2. Ng1 Ng8 3. e4 1-0\r\n\r\n"
        << "[FEN \"" << AfterE4 << "\"]\n[SetUp \"1\"]\n\n1... c5 {x} 2. Nf3 (2. c3) 0-1\n\n"
        << "[Event \"bad\"]\n\n1. e4 e5 2. Ke3 Nc6 1/2-1/2\n\n"
        << "[Event \"open\"]\n\n1. d4 *\n\n"
        << "[Variant \"fischerandom\"]\n[FEN \"" << random << "\"]\n\n1. O-O O-O 1/2-1/2\n"
        << "[Variant \"crazyhouse\"]\n\n1. e4 1-0\n";
    Board& board = boardFromFen(StartFen);
    const uint64_t start = board.hashKey, afterE4 = keyAfter(board, "e2e4");
    writeFile(MainBookName,
              recordsOf({{5, 1, 1, 1, 0}, {start, 65535, 2, 0, 4}, {start, 9, 9, 9, 0}}));
    std::FILE* messages = std::tmpfile();
    ImportSummary summary = importInto(MainBookName, 40, messages, {"games.pgn", "missing.pgn"});
    EXPECT_EQ(fileText(messages),
              "games.pgn:12: illegal move \"Ke3\", game skipped\n"
              "games.pgn:22: variant not played \"crazyhouse\", game skipped\n"
              "missing.pgn: cannot be read\n");
    std::fclose(messages);
    // Read 6, taken 3; the first game's 5 positions hold the start twice.
    EXPECT_EQ(std::vector<long>({summary.gamesRead, summary.imported, summary.skipped,
                                 summary.positionsAdded, summary.newPositions}),
              std::vector<long>({6, 3, 3, 8, 7}));
    EXPECT_EQ(summary.unreadableFiles, 1);
    EXPECT_TRUE(summary.written);
    EXPECT_EQ(probe(MainBookName, start), (Fields{start, 32768, 1, 0, 4}));
    EXPECT_EQ(probe(MainBookName, afterE4), (Fields{afterE4, 0, 1, 0, 0}));
    EXPECT_EQ(probe(MainBookName, boardFromFen(random).hashKey)[3], 1u);
    EXPECT_EQ(probe(MainBookName, 5), (Fields{5, 1, 1, 1, 0}));
    std::vector<BookRecord> records;
    ASSERT_TRUE(bookReadAll(MainBookName, records));
    EXPECT_EQ(records.size(), 9u);
    EXPECT_TRUE(
        std::is_sorted(records.begin(), records.end(),
                       [](const BookRecord& a, const BookRecord& b) { return a.key < b.key; }));
    // The same games again: nothing new, the counts doubled.
    summary = importInto(MainBookName, 40, nullptr);
    EXPECT_EQ(summary.newPositions, 0);
    EXPECT_EQ(probe(MainBookName, afterE4), (Fields{afterE4, 0, 2, 0, 0}));
    // Two plies: the positions before the first two moves of each game.
    EXPECT_EQ(importInto("short.bk", 1, nullptr).positionsAdded, 6);
    EXPECT_EQ(fs::file_size("short.bk"), 6 * 16u);
    // No game to take: the book is left alone.
    const Bytes before = readFile(MainBookName);
    std::ofstream("empty.pgn") << "[Event \"a\"]\n\n1. e4 *\n";
    summary = importInto(MainBookName, 40, nullptr, {"empty.pgn"});
    EXPECT_FALSE(summary.written);
    EXPECT_EQ(summary.skipped, 1);
    EXPECT_EQ(readFile(MainBookName), before);
    // A book that cannot be written: said so at the end.
    messages = std::tmpfile();
    EXPECT_FALSE(importInto("no/such/dir.bk", 40, messages).written);
    const std::string said = fileText(messages);
    EXPECT_EQ(said.substr(said.rfind('\n', said.size() - 2) + 1),
              "no/such/dir.bk: the book could not be written; it is as it was\n");
    std::fclose(messages);
}
