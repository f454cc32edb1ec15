#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/test_source.h"

namespace {

std::string temporaryPath(const char* stem) {
    const char* directory = std::getenv("TMPDIR");
    static int serial = 0;
    return std::string(directory ? directory : "/tmp") + "/vostrel_" + stem + "_" +
           std::to_string(getpid()) + "_" + std::to_string(serial++);
}

}  // namespace

TestSource openTestSource(SourceKind kind, const std::string& text) {
    TestSource source{-1, -1, ""};
    int ends[2];
    switch (kind) {
        case SourceKind::Pipe:
            EXPECT_EQ(pipe(ends), 0);
            source.reading = ends[0];
            source.writing = ends[1];
            break;
        case SourceKind::NamedPipe:
            source.path = temporaryPath("fifo");
            EXPECT_EQ(mkfifo(source.path.c_str(), 0600), 0);
            // Opening either end alone blocks until the other opens.
            source.reading = open(source.path.c_str(), O_RDONLY | O_NONBLOCK);
            source.writing = open(source.path.c_str(), O_WRONLY);
            fcntl(int(source.reading), F_SETFL, 0);  // the reader's reads block
            break;
        case SourceKind::File: {
            source.path = temporaryPath("file");
            int file = open(source.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            EXPECT_EQ(write(file, text.data(), text.size()), ssize_t(text.size()));
            close(file);
            source.reading = open(source.path.c_str(), O_RDONLY);
            break;
        }
    }
    EXPECT_GE(source.reading, 0);
    return source;
}

void writeTestSource(TestSource& source, const std::string& text) {
    ASSERT_EQ(write(int(source.writing), text.data(), text.size()), ssize_t(text.size()));
}

void closeTestWriter(TestSource& source) {
    if (source.writing >= 0) close(int(source.writing));
    source.writing = -1;
}

void closeTestReading(TestSource& source) {
    close(int(source.reading));
    if (!source.path.empty()) unlink(source.path.c_str());
}
