// The line reader over every kind of input the system offers: a pipe, a
// named pipe, a file. Each reader has its own thread, so the tests leave
// standard input alone.
#include "platform/input.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/test_source.h"

namespace {

constexpr int LineSize = InputLineLimit + 1;  // the command loop's buffer
constexpr int Patience = 5000;                // milliseconds a line may take to arrive
using Lines = std::vector<std::string>;

// Long runs of one character show as "d*131071", so a failure stays readable.
std::string shown(const std::string& line) {
    bool run = line.size() > 8 && line.find_first_not_of(line[0]) == std::string::npos;
    return run ? line.substr(0, 1) + "*" + std::to_string(line.size()) : line;
}

// Every line up to the end of input.
Lines allLines(LineReader& reader, int size = LineSize) {
    Lines lines;
    std::vector<char> buffer(size_t(size), '#');
    while (waitForLine(reader, Patience)) {
        int length = readLine(reader, buffer.data(), size);
        if (length < 0) break;
        EXPECT_EQ(size_t(length), std::string(buffer.data()).size());
        lines.push_back(shown(buffer.data()));
    }
    return lines;
}

std::string peek(LineReader& reader, int size = LineSize) {
    std::vector<char> buffer(size_t(size), '#');
    InputPeek result = peekLine(reader, buffer.data(), size);
    if (result == InputPending) return buffer.data();
    return result == InputNothing ? "<nothing>" : "<gone>";
}

// Pieces written one by one, so that lines and line ends are split across reads.
constexpr size_t Limit = InputLineLimit;
const std::vector<std::string> pieces = {
    "new\r",
    "\nperft 1\n\n\r\nper",
    "ft 2\n",
    std::string(Limit, 'a'),
    std::string(905, 'b') + "\n",        // split after the limit
    std::string(Limit + 1, 'c') + "\n",  // one past it
    std::string(Limit, 'd') + "\n",      // exactly the limit
    std::string(Limit, 'e') + "\r",
    "\n",      // the limit, then a split CRLF
    "x\ry\n",  // a CR inside a line stays
    "quit",    // the end comes in the middle of a line
};
const std::string run = std::string("*") + std::to_string(Limit);
const Lines expected = {"new",     "perft 1", "",        "",        "perft 2", "a" + run, "b*905",
                        "c" + run, "c",       "d" + run, "e" + run, "x\ry",    "quit"};

}  // namespace

TEST(Input, EveryKindOfSourceGivesTheSameLines) {
    std::string whole;
    for (const std::string& piece : pieces) whole += piece;
    for (SourceKind kind : {SourceKind::Pipe, SourceKind::NamedPipe, SourceKind::File}) {
        SCOPED_TRACE(int(kind));
        TestSource source = openTestSource(kind, whole);
        LineReader* reader = startLineReader(source.reading);
        // More than the pipe and the queue hold: the writer waits for the reader.
        std::thread writer([&] {
            if (kind != SourceKind::File)
                for (const std::string& piece : pieces) writeTestSource(source, piece);
            closeTestWriter(source);
        });
        EXPECT_EQ(allLines(*reader), expected);
        writer.join();
        // The end stays the end.
        char line[LineSize];
        EXPECT_EQ(readLine(*reader, line, LineSize), -1);
        EXPECT_EQ(peek(*reader), "<gone>");
        stopLineReader(reader);
        closeTestReading(source);
    }
}

TEST(Input, PeeksSeeWholeLinesAndConsumeNothing) {
    TestSource source = openTestSource(SourceKind::Pipe);
    LineReader* reader = startLineReader(source.reading);
    EXPECT_EQ(peek(*reader), "<nothing>");
    EXPECT_FALSE(waitForLine(*reader, 1));

    // Half a line is not a line yet.
    writeTestSource(source, "perf");
    EXPECT_FALSE(waitForLine(*reader, 50));
    EXPECT_EQ(peek(*reader), "<nothing>");

    writeTestSource(source, "t 1\r\nnew\n");
    // The thread queues the two lines one after the other.
    for (int waited = 0; linesReceived(*reader) < 2 && waited < Patience; waited += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(peek(*reader), "perft 1\n");
    EXPECT_EQ(peek(*reader), "perft 1\n");
    EXPECT_EQ(peek(*reader, 4), "per");
    EXPECT_EQ(linesReceived(*reader), 2u);

    // A buffer shorter than the line splits it; the rest comes next, and the
    // line counts as taken only when its last piece is.
    char line[4];
    EXPECT_EQ(readLine(*reader, line, 4), 3);
    EXPECT_STREQ(line, "per");
    EXPECT_EQ(peek(*reader), "ft 1\n");
    EXPECT_EQ(firstPendingLine(*reader), 0u);
    closeTestWriter(source);
    EXPECT_EQ(allLines(*reader, 4), (Lines{"ft ", "1", "new"}));
    EXPECT_EQ(firstPendingLine(*reader), 2u);
    EXPECT_EQ(peek(*reader), "<gone>");
    stopLineReader(reader);
    closeTestReading(source);
}
