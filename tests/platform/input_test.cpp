// The line reader over the kinds of input the system offers: a pipe and a
// file. Each reader has its own thread, so the tests leave standard input alone.
#include "platform/input.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/test_source.h"

namespace {

constexpr int Patience = 5000;  // milliseconds a line may take to arrive
using Lines = std::vector<std::string>;

// Every line up to the end of input, taken with the command loop's buffer
// unless size is given; long runs of one character show as "d*131071".
Lines allLines(LineReader& reader, int size = InputLineLimit + 1) {
    Lines lines;
    std::vector<char> buffer(size_t(size), '#');
    while (waitForLine(reader, Patience)) {
        int length = readLine(reader, buffer.data(), size);
        if (length < 0) break;
        std::string line = buffer.data();
        EXPECT_EQ(size_t(length), line.size());
        bool run = line.size() > 8 && line.find_first_not_of(line[0]) == std::string::npos;
        lines.push_back(run ? line.substr(0, 1) + "*" + std::to_string(line.size()) : line);
    }
    return lines;
}

std::string peek(LineReader& reader, int size = InputLineLimit + 1) {
    std::vector<char> buffer(size_t(size), '#');
    InputPeek result = peekLine(reader, buffer.data(), size);
    if (result == InputPending) return buffer.data();
    return result == InputNothing ? "<nothing>" : "<gone>";
}

}  // namespace

TEST(Input, PipeAndFileGiveTheSameLines) {
    // Pieces written one by one, so that lines and line ends are split across
    // reads: lines cut after the limit, one past it, exactly at it, at it with
    // a split CRLF; a CR inside a line stays; the end comes in a line.
    constexpr size_t Limit = InputLineLimit;
    const std::string run = std::string("*") + std::to_string(Limit);
    // clang-format off
    const Lines pieces = {"new\r", "\nperft 1\n\n\r\nper", "ft 2\n", std::string(Limit, 'a'),
        std::string(905, 'b') + "\n", std::string(Limit + 1, 'c') + "\n",
        std::string(Limit, 'd') + "\n", std::string(Limit, 'e') + "\r", "\n", "x\ry\n", "quit"};
    const Lines expected = {"new", "perft 1", "", "", "perft 2", "a" + run, "b*905", "c" + run,
        "c", "d" + run, "e" + run, "x\ry", "quit"};
    // clang-format on
    const std::string path =
        std::filesystem::temp_directory_path().string() + "/vostrel_input_" +
        std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    std::ofstream file(path, std::ios::binary);
    for (const std::string& piece : pieces) file << piece;
    file.close();
    for (bool fromFile : {false, true}) {
        SCOPED_TRACE(fromFile ? "file" : "pipe");
        TestPipe source = fromFile ? TestPipe{openTestFile(path), -1} : openTestPipe();
        LineReader* reader = startLineReader(source.reading);
        // More than the pipe and the queue hold: the writer waits for the reader.
        std::thread writer([&] {
            if (fromFile) return;
            for (const std::string& piece : pieces) writeTestPipe(source.writing, piece);
            closeTestEnd(source.writing);
        });
        EXPECT_EQ(allLines(*reader), expected);
        writer.join();
        // The end stays the end.
        char line[8];
        EXPECT_EQ(readLine(*reader, line, 8), -1);
        EXPECT_EQ(peek(*reader), "<gone>");
        stopLineReader(reader);
        closeTestEnd(source.reading);
    }
    std::filesystem::remove(path);
}

TEST(Input, PeeksSeeWholeLinesAndConsumeNothing) {
    TestPipe source = openTestPipe();
    LineReader* reader = startLineReader(source.reading);
    EXPECT_EQ(peek(*reader), "<nothing>");
    EXPECT_FALSE(waitForLine(*reader, 1));
    // Half a line is not a line yet.
    writeTestPipe(source.writing, "perf");
    EXPECT_FALSE(waitForLine(*reader, 50));
    EXPECT_EQ(peek(*reader), "<nothing>");

    writeTestPipe(source.writing, "t 1\r\nnew\n");
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
    closeTestEnd(source.writing);
    EXPECT_EQ(allLines(*reader, 4), (Lines{"ft ", "1", "new"}));
    EXPECT_EQ(firstPendingLine(*reader), 2u);
    EXPECT_EQ(peek(*reader), "<gone>");
    stopLineReader(reader);
    closeTestEnd(source.reading);
}
