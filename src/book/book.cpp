#include "book/book.h"

#include <cstdio>

namespace {

constexpr int RecordSize = 16;

// Byte by byte, so that the file reads the same on any host byte order and
// whatever padding a compiler might choose.
uint64_t readLittleEndian(const unsigned char* bytes, int count) {
    uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
    return value;
}

BookRecord decodeRecord(const unsigned char* bytes) {
    BookRecord record;
    record.key = readLittleEndian(bytes, 8);
    record.whiteWins = uint16_t(readLittleEndian(bytes + 8, 2));
    record.blackWins = uint16_t(readLittleEndian(bytes + 10, 2));
    record.draws = uint16_t(readLittleEndian(bytes + 12, 2));
    record.flags = uint16_t(readLittleEndian(bytes + 14, 2));
    return record;
}

}  // namespace

BookRecord bookProbe(const char* fileName, uint64_t key) {
    BookRecord result{key, 0, 0, 0, 1};
    std::FILE* file = std::fopen(fileName, "rb");
    if (!file) return result;
    unsigned char bytes[RecordSize];
    // A short read at the end is a truncated record: it is not a record at all.
    while (std::fread(bytes, 1, RecordSize, file) == RecordSize) {
        if (readLittleEndian(bytes, 8) == key) {
            result = decodeRecord(bytes);
            break;
        }
    }
    std::fclose(file);
    return result;
}

Move bookChooseMove(Engine&, Board&, char* informationLine, int size) {
    if (size > 0) informationLine[0] = '\0';
    return 0;
}
