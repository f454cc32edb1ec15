#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/test_source.h"

TestPipe openTestPipe() {
    int ends[2];
    EXPECT_EQ(pipe(ends), 0);
    return {ends[0], ends[1]};
}

void writeTestPipe(std::intptr_t writing, const std::string& text) {
    ASSERT_EQ(write(int(writing), text.data(), text.size()), ssize_t(text.size()));
}

InputSource openTestFile(const std::string& path) { return open(path.c_str(), O_RDONLY); }

void closeTestEnd(std::intptr_t end) { close(int(end)); }
