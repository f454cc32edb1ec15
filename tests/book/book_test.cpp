// Book lookups on files written byte by byte: little-endian fields, the first
// record of a key wins, and missing or truncated files report no data.
#include "book/book.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

void appendLittleEndian(std::vector<unsigned char>& bytes, uint64_t value, int count) {
    for (int i = 0; i < count; ++i) bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void appendRecord(std::vector<unsigned char>& bytes, uint64_t key, uint16_t whiteWins,
                  uint16_t blackWins, uint16_t draws, uint16_t flags) {
    appendLittleEndian(bytes, key, 8);
    appendLittleEndian(bytes, whiteWins, 2);
    appendLittleEndian(bytes, blackWins, 2);
    appendLittleEndian(bytes, draws, 2);
    appendLittleEndian(bytes, flags, 2);
}

// A directory of its own for the test's files, removed at the end.
class BookFiles {
public:
    BookFiles() {
        for (auto n = std::chrono::steady_clock::now().time_since_epoch().count();; ++n) {
            directory = fs::temp_directory_path() / ("vostrel-book-" + std::to_string(n));
            if (fs::create_directory(directory)) break;
        }
    }
    ~BookFiles() { fs::remove_all(directory); }

    std::string write(const char* name, const std::vector<unsigned char>& bytes) {
        std::string path = (directory / name).string();
        std::FILE* file = std::fopen(path.c_str(), "wb");
        EXPECT_NE(file, nullptr) << path;
        if (!file) return path;
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        return path;
    }

    fs::path directory;
};

void expectNoData(const BookRecord& record, uint64_t key) {
    EXPECT_EQ(record.key, key);
    EXPECT_EQ(record.whiteWins, 0);
    EXPECT_EQ(record.blackWins, 0);
    EXPECT_EQ(record.draws, 0);
    EXPECT_EQ(record.flags, 1);
}

}  // namespace

TEST(Book, RecordsFoundByKey) {
    BookFiles files;
    std::vector<unsigned char> bytes;
    appendRecord(bytes, 0x0102030405060708ull, 3, 1, 2, 0);
    appendRecord(bytes, 0xF1E2D3C4B5A69788ull, 0x1234, 0xABCD, 65535, 0x8001);
    appendRecord(bytes, 0x0102030405060708ull, 9, 9, 9, 0);  // later duplicate: never read
    std::string path = files.write("main.bk", bytes);

    BookRecord first = bookProbe(path.c_str(), 0x0102030405060708ull);
    EXPECT_EQ(first.key, 0x0102030405060708ull);
    EXPECT_EQ(first.whiteWins, 3);
    EXPECT_EQ(first.blackWins, 1);
    EXPECT_EQ(first.draws, 2);
    EXPECT_EQ(first.flags, 0);

    // Every byte in its place: multi-byte counts, high bits, all of the key.
    BookRecord second = bookProbe(path.c_str(), 0xF1E2D3C4B5A69788ull);
    EXPECT_EQ(second.key, 0xF1E2D3C4B5A69788ull);
    EXPECT_EQ(second.whiteWins, 0x1234);
    EXPECT_EQ(second.blackWins, 0xABCD);
    EXPECT_EQ(second.draws, 65535);
    EXPECT_EQ(second.flags, 0x8001);

    // Keys that differ from a stored one only in the top or bottom byte.
    expectNoData(bookProbe(path.c_str(), 0x0102030405060709ull), 0x0102030405060709ull);
    expectNoData(bookProbe(path.c_str(), 0x0202030405060708ull), 0x0202030405060708ull);
}

TEST(Book, MissingAndShortFiles) {
    BookFiles files;
    std::string missing = (files.directory / "nobody.bk").string();
    expectNoData(bookProbe(missing.c_str(), 42), 42);
    expectNoData(bookProbe(files.write("empty.bk", {}).c_str(), 0), 0);

    // A whole record followed by the key and half the counts of a second one:
    // the whole record is found, the torn one is not.
    std::vector<unsigned char> bytes;
    appendRecord(bytes, 7, 1, 2, 3, 0);
    appendRecord(bytes, 8, 4, 5, 6, 0);
    bytes.resize(16 + 12);
    std::string torn = files.write("torn.bk", bytes);
    EXPECT_EQ(bookProbe(torn.c_str(), 7).draws, 3);
    expectNoData(bookProbe(torn.c_str(), 8), 8);

    // 20 bytes: one record and four stray bytes.
    bytes.resize(20);
    std::string twenty = files.write("twenty.bk", bytes);
    EXPECT_EQ(bookProbe(twenty.c_str(), 7).whiteWins, 1);
    expectNoData(bookProbe(twenty.c_str(), 8), 8);
}
