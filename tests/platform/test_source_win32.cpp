#include <gtest/gtest.h>
#include <windows.h>

#include "platform/test_source.h"

namespace {

std::string temporaryPath(const char* stem) {
    char directory[MAX_PATH + 1];
    DWORD length = GetTempPathA(MAX_PATH, directory);
    static int serial = 0;
    return std::string(directory, length) + "vostrel_" + stem + "_" +
           std::to_string(GetCurrentProcessId()) + "_" + std::to_string(serial++);
}

}  // namespace

TestSource openTestSource(SourceKind kind, const std::string& text) {
    TestSource source{InputSource(INVALID_HANDLE_VALUE), std::intptr_t(INVALID_HANDLE_VALUE), ""};
    HANDLE reading = INVALID_HANDLE_VALUE, writing = INVALID_HANDLE_VALUE;
    switch (kind) {
        case SourceKind::Pipe:  // as a GUI makes it
            EXPECT_TRUE(CreatePipe(&reading, &writing, nullptr, 0));
            break;
        case SourceKind::NamedPipe: {
            static int serial = 0;
            std::string name = "\\\\.\\pipe\\vostrel_" + std::to_string(GetCurrentProcessId()) +
                               "_" + std::to_string(serial++);
            reading = CreateNamedPipeA(name.c_str(), PIPE_ACCESS_INBOUND,
                                       PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
            writing =
                CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            EXPECT_TRUE(ConnectNamedPipe(reading, nullptr) ||
                        GetLastError() == ERROR_PIPE_CONNECTED);
            break;
        }
        case SourceKind::File: {
            source.path = temporaryPath("file");
            HANDLE file = CreateFileA(source.path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            DWORD written = 0;
            EXPECT_TRUE(WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr));
            CloseHandle(file);
            reading = CreateFileA(source.path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            break;
        }
    }
    EXPECT_NE(reading, INVALID_HANDLE_VALUE);
    source.reading = InputSource(reading);
    source.writing = std::intptr_t(writing);
    return source;
}

void writeTestSource(TestSource& source, const std::string& text) {
    DWORD written = 0;
    ASSERT_TRUE(
        WriteFile(HANDLE(source.writing), text.data(), DWORD(text.size()), &written, nullptr));
    ASSERT_EQ(written, DWORD(text.size()));
}

void closeTestWriter(TestSource& source) {
    if (HANDLE(source.writing) != INVALID_HANDLE_VALUE) CloseHandle(HANDLE(source.writing));
    source.writing = std::intptr_t(INVALID_HANDLE_VALUE);
}

void closeTestReading(TestSource& source) {
    CloseHandle(HANDLE(source.reading));
    if (!source.path.empty()) DeleteFileA(source.path.c_str());
}
