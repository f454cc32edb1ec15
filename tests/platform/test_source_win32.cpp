#include <gtest/gtest.h>
#include <windows.h>

#include "platform/test_source.h"

TestPipe openTestPipe() {  // as a GUI makes it
    HANDLE reading = INVALID_HANDLE_VALUE, writing = INVALID_HANDLE_VALUE;
    EXPECT_TRUE(CreatePipe(&reading, &writing, nullptr, 0));
    return {InputSource(reading), std::intptr_t(writing)};
}

void writeTestPipe(std::intptr_t writing, const std::string& text) {
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(HANDLE(writing), text.data(), DWORD(text.size()), &written, nullptr));
    ASSERT_EQ(written, DWORD(text.size()));
}

InputSource openTestFile(const std::string& path) {
    return InputSource(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

void closeTestEnd(std::intptr_t end) { CloseHandle(HANDLE(end)); }
