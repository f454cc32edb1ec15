// Book lookups on files written byte by byte: little-endian fields, the first
// record of a key wins, and missing or truncated files report no data.
#include "book/book.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<unsigned char>;
using Fields = std::array<uint64_t, 5>;  // key, white wins, black wins, draws, flags

// The record's fields in file order, each field's bytes lowest first.
void appendRecord(Bytes& bytes, const Fields& fields) {
    for (int field = 0; field < 5; ++field)
        for (int i = 0; i < (field == 0 ? 8 : 2); ++i)
            bytes.push_back(static_cast<unsigned char>(fields[field] >> (8 * i)));
}

// Flags 1: no data for the key.
Fields noData(uint64_t key) { return {key, 0, 0, 0, 1}; }

// A directory of its own for the test's files, removed at the end.
class Book : public testing::Test {
protected:
    Book() {
        for (auto n = std::chrono::steady_clock::now().time_since_epoch().count();; ++n) {
            directory = fs::temp_directory_path() / ("vostrel-book-" + std::to_string(n));
            if (fs::create_directory(directory)) break;
        }
    }
    ~Book() override { fs::remove_all(directory); }

    // Writes bytes to the file name, then probes it for key.
    Fields probe(const char* name, const Bytes& bytes, uint64_t key) {
        std::string path = (directory / name).string();
        if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
            if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
            std::fclose(file);
        } else {
            ADD_FAILURE() << path;
        }
        return probeOnly(name, key);
    }
    Fields probeOnly(const char* name, uint64_t key) {
        BookRecord r = bookProbe((directory / name).string().c_str(), key);
        return {r.key, r.whiteWins, r.blackWins, r.draws, r.flags};
    }

    fs::path directory;
};

}  // namespace

TEST_F(Book, RecordsFoundByKey) {
    // Every byte in its place: multi-byte counts, high bits, all of the key.
    // The later duplicate of the first key is never read.
    Bytes bytes;
    appendRecord(bytes, {0x0102030405060708ull, 3, 1, 2, 0});
    appendRecord(bytes, {0xF1E2D3C4B5A69788ull, 0x1234, 0xABCD, 65535, 0x8001});
    appendRecord(bytes, {0x0102030405060708ull, 9, 9, 9, 0});
    EXPECT_EQ(probe("main.bk", bytes, 0x0102030405060708ull),
              (Fields{0x0102030405060708ull, 3, 1, 2, 0}));
    EXPECT_EQ(probeOnly("main.bk", 0xF1E2D3C4B5A69788ull),
              (Fields{0xF1E2D3C4B5A69788ull, 0x1234, 0xABCD, 65535, 0x8001}));
    // Keys that differ from a stored one only in the top or bottom byte.
    for (uint64_t key : {0x0102030405060709ull, 0x0202030405060708ull})
        EXPECT_EQ(probeOnly("main.bk", key), noData(key));
}

TEST_F(Book, MissingAndShortFiles) {
    EXPECT_EQ(probeOnly("nobody.bk", 42), noData(42));
    EXPECT_EQ(probe("empty.bk", {}, 0), noData(0));

    // A whole record followed by the key and half the counts of a second one:
    // the whole record is found, the torn one is not. Likewise with only four
    // stray bytes after the whole record.
    Bytes bytes;
    appendRecord(bytes, {7, 1, 2, 3, 0});
    appendRecord(bytes, {8, 4, 5, 6, 0});
    for (size_t size : {16 + 12, 20}) {
        bytes.resize(size);
        std::string name = std::to_string(size) + ".bk";
        EXPECT_EQ(probe(name.c_str(), bytes, 7), (Fields{7, 1, 2, 3, 0})) << size;
        EXPECT_EQ(probeOnly(name.c_str(), 8), noData(8)) << size;
    }
}
