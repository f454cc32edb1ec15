// The line reader and the peek over a real pipe in place of standard input.
// The reader keeps its buffer and its end-of-input flag for the whole process,
// so one test walks through every case in order and ends at end of input.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace {

constexpr int LineSize = 4096;  // the command loop's buffer

void writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t count = write(fd, text.data() + done, text.size() - done);
        ASSERT_GT(count, 0);
        done += size_t(count);
    }
}

// What a peek reports, and the text it saw.
struct Peek {
    InputPeek result;
    std::string text;
};

Peek peek(int size = 1 << 16) {
    std::vector<char> buffer(size_t(size), '#');
    InputPeek result = peekInput(buffer.data(), size);
    return {result, result == InputPending ? std::string(buffer.data()) : std::string()};
}

// The next line, or nothing when no text is pending: with the writer still open
// a plain read would then block the test for ever.
std::optional<std::string> nextLine(int size = LineSize) {
    if (peek().result != InputPending) return std::nullopt;
    std::vector<char> buffer(size_t(size), '#');
    int length = readInputLine(buffer.data(), size);
    if (length < 0) return std::nullopt;
    EXPECT_EQ(size_t(length), std::strlen(buffer.data())) << "length disagrees with the text";
    return std::string(buffer.data());
}

// Reads lines until one equals last (or text runs out), so that a wrong split
// fails this check alone instead of shifting every later one.
std::vector<std::string> linesThrough(const std::string& last, int size = LineSize) {
    std::vector<std::string> lines;
    while (lines.size() < 10) {
        std::optional<std::string> line = nextLine(size);
        if (!line) break;
        lines.push_back(*line);
        if (*line == last) break;
    }
    return lines;
}

using Lines = std::vector<std::string>;

// Long runs of one character shown as "d*4095", so a failure stays readable.
Lines summary(const Lines& lines) {
    Lines shown;
    for (const std::string& line : lines) {
        bool run = line.size() > 8 && line.find_first_not_of(line[0]) == std::string::npos;
        shown.push_back(run ? line.substr(0, 1) + "*" + std::to_string(line.size()) : line);
    }
    return shown;
}

}  // namespace

TEST(Input, LinesAndPeekOverAPipe) {
    // Standard input may be closed (-1 here); the pipe then takes descriptor 0.
    int savedInput = dup(STDIN_FILENO);
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    if (ends[0] != STDIN_FILENO) {
        ASSERT_EQ(dup2(ends[0], STDIN_FILENO), STDIN_FILENO);
        close(ends[0]);
    }
    const int writer = ends[1];

    {
        SCOPED_TRACE("open pipe with nothing written");
        EXPECT_EQ(peek().result, InputNothing);
        EXPECT_EQ(peek().result, InputNothing);
    }
    {
        SCOPED_TRACE("peek does not consume; CRLF and LF line ends");
        writeAll(writer, "new\r\nperft 1\n");
        Peek first = peek();
        EXPECT_EQ(first.result, InputPending);
        EXPECT_EQ(first.text, "new\r\nperft 1\n");
        Peek again = peek();
        EXPECT_EQ(again.result, InputPending);
        EXPECT_EQ(again.text, "new\r\nperft 1\n");
        Peek shortBuffer = peek(4);
        EXPECT_EQ(shortBuffer.result, InputPending);
        EXPECT_EQ(shortBuffer.text, "new");

        char line[LineSize];
        EXPECT_EQ(readInputLine(line, LineSize), 3);
        EXPECT_STREQ(line, "new");
        Peek rest = peek();
        EXPECT_EQ(rest.result, InputPending);
        EXPECT_EQ(rest.text, "perft 1\n");
        EXPECT_EQ(readInputLine(line, LineSize), 7);
        EXPECT_STREQ(line, "perft 1");
        EXPECT_EQ(peek().result, InputNothing);
    }
    {
        SCOPED_TRACE("empty lines, bare and with CR");
        writeAll(writer, "\n\r\nend\n");
        EXPECT_EQ(linesThrough("end"), (Lines{"", "", "end"}));
        EXPECT_EQ(peek().result, InputNothing);
    }
    {
        SCOPED_TRACE("5000 characters: 4095 then the other 905");
        writeAll(writer, std::string(4095, 'a') + std::string(905, 'b') + "\nend\n");
        EXPECT_EQ(summary(linesThrough("end")), (Lines{"a*4095", "b*905", "end"}));
    }
    {
        SCOPED_TRACE("4096 characters: one too many for the buffer");
        writeAll(writer, std::string(4096, 'c') + "\nend\n");
        EXPECT_EQ(summary(linesThrough("end")), (Lines{"c*4095", "c", "end"}));
    }
    {
        SCOPED_TRACE("4095 characters fill the buffer exactly: one line");
        writeAll(writer, std::string(4095, 'd') + "\nend\n");
        EXPECT_EQ(summary(linesThrough("end")), (Lines{"d*4095", "end"}));
        writeAll(writer, std::string(4095, 'e') + "\r\nend\n");
        EXPECT_EQ(summary(linesThrough("end")), (Lines{"e*4095", "end"}));
    }
    {
        SCOPED_TRACE("a small buffer splits every few characters");
        writeAll(writer, "abcdefg\nok\n");
        EXPECT_EQ(linesThrough("ok", 4), (Lines{"abc", "def", "g", "ok"}));
        EXPECT_EQ(peek().result, InputNothing);
    }
    {
        SCOPED_TRACE("a final line without a line end, then end of input");
        writeAll(writer, "quit");
        close(writer);
        Peek last = peek();
        EXPECT_EQ(last.result, InputPending);
        EXPECT_EQ(last.text, "quit");
        char line[LineSize];
        EXPECT_EQ(readInputLine(line, LineSize), 4);
        EXPECT_STREQ(line, "quit");
        EXPECT_EQ(peek().result, InputGone);
        EXPECT_EQ(readInputLine(line, LineSize), -1);
        EXPECT_EQ(readInputLine(line, LineSize), -1);
        EXPECT_EQ(peek().result, InputGone);
    }

    if (savedInput >= 0) {
        dup2(savedInput, STDIN_FILENO);
        close(savedInput);
    } else {
        close(STDIN_FILENO);
    }
}
