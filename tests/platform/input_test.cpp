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
using Lines = std::vector<std::string>;

// A pipe takes this much text in one write.
void writeAll(int fd, const std::string& text) {
    ASSERT_EQ(write(fd, text.data(), text.size()), ssize_t(text.size()));
}

// The pending text a peek saw, or "<nothing>" / "<gone>".
std::string peek(int size = 1 << 16) {
    std::vector<char> buffer(size_t(size), '#');
    InputPeek result = peekInput(buffer.data(), size);
    if (result == InputPending) return buffer.data();
    return result == InputNothing ? "<nothing>" : "<gone>";
}

// The next line, or nothing when no text is pending: with the writer still open
// a plain read would then block the test for ever.
std::optional<std::string> nextLine(int size = LineSize) {
    if (std::string seen = peek(); seen == "<nothing>" || seen == "<gone>") return std::nullopt;
    std::vector<char> buffer(size_t(size), '#');
    int length = readInputLine(buffer.data(), size);
    if (length < 0) return std::nullopt;
    EXPECT_EQ(size_t(length), std::strlen(buffer.data())) << "length disagrees with the text";
    return std::string(buffer.data());
}

// Reads lines until one equals last (or text runs out), so that a wrong split
// fails this check alone instead of shifting every later one. Long runs of one
// character show as "d*4095", so a failure stays readable.
Lines linesThrough(const std::string& last, int size = LineSize) {
    Lines lines;
    while (lines.size() < 10) {
        std::optional<std::string> line = nextLine(size);
        if (!line) break;
        bool run = line->size() > 8 && line->find_first_not_of((*line)[0]) == std::string::npos;
        lines.push_back(run ? line->substr(0, 1) + "*" + std::to_string(line->size()) : *line);
        if (*line == last) break;
    }
    return lines;
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
    EXPECT_EQ(peek(), "<nothing>");
    EXPECT_EQ(peek(), "<nothing>");

    // Peeks do not consume, and a short buffer takes what fits; CRLF and LF ends.
    writeAll(writer, "new\r\nperft 1\n");
    EXPECT_EQ(peek(), "new\r\nperft 1\n");
    EXPECT_EQ(peek(), "new\r\nperft 1\n");
    EXPECT_EQ(peek(4), "new");
    EXPECT_EQ(nextLine(), "new");
    EXPECT_EQ(peek(), "perft 1\n");
    EXPECT_EQ(nextLine(), "perft 1");
    EXPECT_EQ(peek(), "<nothing>");

    // A line longer than the buffer is split after size - 1 characters.
    struct Case {
        std::string text;
        int size;
        Lines lines;
    };
    const Case cases[] = {
        {"\n\r\nend\n", LineSize, {"", "", "end"}},
        {std::string(4095, 'a') + std::string(905, 'b') + "\nend\n",
         LineSize,
         {"a*4095", "b*905", "end"}},
        {std::string(4096, 'c') + "\nend\n", LineSize, {"c*4095", "c", "end"}},
        {std::string(4095, 'd') + "\nend\n", LineSize, {"d*4095", "end"}},
        {std::string(4095, 'e') + "\r\nend\n", LineSize, {"e*4095", "end"}},
        {"abcdefg\nok\n", 4, {"abc", "def", "g", "ok"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines.front());
        writeAll(writer, c.text);
        EXPECT_EQ(linesThrough(c.lines.back(), c.size), c.lines);
        EXPECT_EQ(peek(), "<nothing>");
    }

    // A final line without a line end, then end of input for good.
    writeAll(writer, "quit");
    close(writer);
    EXPECT_EQ(peek(), "quit");
    EXPECT_EQ(nextLine(), "quit");
    EXPECT_EQ(peek(), "<gone>");
    char line[LineSize];
    EXPECT_EQ(readInputLine(line, LineSize), -1);
    EXPECT_EQ(readInputLine(line, LineSize), -1);
    EXPECT_EQ(peek(), "<gone>");

    if (savedInput >= 0) {
        dup2(savedInput, STDIN_FILENO);
        close(savedInput);
    } else {
        close(STDIN_FILENO);
    }
}
