#include "platform/input.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

// Whole lines, each ending in '\n', in text[start, end). The thread waits
// when the queue is full, so a large file in the input costs no memory.
constexpr int QueueSize = 1 << 18;
static_assert(QueueSize > InputLineLimit + 1);

}  // namespace

struct LineReader {
    InputSource source;
    std::mutex lock;
    std::condition_variable changed;  // a line came, room was made, or the input ended
    char text[QueueSize];
    char reading[InputLineLimit + 1];  // the thread's line in the making
    int start = 0;
    int end = 0;
    uint64_t received = 0;  // lines pushed
    uint64_t taken = 0;     // lines taken whole
    bool ended = false;     // the thread has read its last byte
    bool closing = false;   // stopLineReader: the thread must not wait for room
    std::thread thread;
};

namespace {

// Appends a line; false when the reader is closing.
bool pushLine(LineReader& reader, const char* line, int length) {
    std::unique_lock<std::mutex> hold(reader.lock);
    for (;;) {
        if (reader.closing || reader.ended) return false;
        if (reader.start > 0) {
            std::memmove(reader.text, reader.text + reader.start,
                         size_t(reader.end - reader.start));
            reader.end -= reader.start;
            reader.start = 0;
        }
        if (reader.end + length + 1 <= QueueSize) break;
        reader.changed.wait(hold);
    }
    std::memcpy(reader.text + reader.end, line, size_t(length));
    reader.end += length;
    reader.text[reader.end++] = '\n';
    ++reader.received;
    reader.changed.notify_all();
    return true;
}

// The thread: cuts what the source gives into lines. A CR before the LF
// goes; a line that reaches the limit is handed over as it is, except that a
// CR in the place after the limit waits to see whether an LF follows.
void readUntilEnd(LineReader& reader) {
    char chunk[4096];
    char* line = reader.reading;
    int length = 0;
    bool open = true;
    while (open) {
        int count = readSource(reader.source, chunk, int(sizeof chunk));
        if (count <= 0) break;
        for (int i = 0; i < count && open; ++i) {
            char c = chunk[i];
            if (c == '\n') {
                if (length > 0 && line[length - 1] == '\r') --length;
                open = pushLine(reader, line, length);
                length = 0;
                continue;
            }
            if (length > InputLineLimit || (length == InputLineLimit && c != '\r')) {
                open = pushLine(reader, line, InputLineLimit);
                length -= InputLineLimit;  // the held CR, if any, starts the next line
                line[0] = '\r';
            }
            line[length++] = c;
        }
    }
    if (open && length > 0) pushLine(reader, line, length);  // the last line, without a line end
    std::lock_guard<std::mutex> hold(reader.lock);
    reader.ended = true;
    reader.changed.notify_all();
}

// Length of the first queued line, without its '\n'.
int frontLength(const LineReader& reader) {
    const char* front = reader.text + reader.start;
    return int(
        static_cast<const char*>(std::memchr(front, '\n', size_t(reader.end - reader.start))) -
        front);
}

}  // namespace

LineReader* startLineReader(InputSource source) {
    LineReader* reader = new LineReader;
    reader->source = source;
    reader->thread = std::thread(readUntilEnd, std::ref(*reader));
    return reader;
}

void stopLineReader(LineReader* reader) {
    {
        std::lock_guard<std::mutex> hold(reader->lock);
        reader->closing = true;
        reader->changed.notify_all();
    }
    reader->thread.join();
    delete reader;
}

int readLine(LineReader& reader, char* buffer, int size) {
    std::unique_lock<std::mutex> hold(reader.lock);
    reader.changed.wait(hold, [&] { return reader.start != reader.end || reader.ended; });
    if (reader.start == reader.end) return -1;
    int length = frontLength(reader);
    int taken = length < size - 1 ? length : size - 1;
    std::memcpy(buffer, reader.text + reader.start, size_t(taken));
    buffer[taken] = '\0';
    // A line longer than the buffer stays in the queue with its rest.
    reader.start += taken == length ? length + 1 : taken;
    if (taken == length) ++reader.taken;
    reader.changed.notify_all();
    return taken;
}

InputPeek peekLine(LineReader& reader, char* buffer, int size) {
    std::lock_guard<std::mutex> hold(reader.lock);
    if (reader.start == reader.end) return reader.ended ? InputGone : InputNothing;
    int length = frontLength(reader) + 1;
    if (length > size - 1) length = size - 1;
    std::memcpy(buffer, reader.text + reader.start, size_t(length));
    buffer[length] = '\0';
    return InputPending;
}

void endAfterPendingLines(LineReader& reader) {
    std::unique_lock<std::mutex> hold(reader.lock);
    // A moment for the thread to take in what was already sent.
    reader.changed.wait_for(hold, std::chrono::milliseconds(250), [&] { return reader.ended; });
    reader.ended = true;
    reader.changed.notify_all();
}

uint64_t linesReceived(LineReader& reader) {
    std::lock_guard<std::mutex> hold(reader.lock);
    return reader.received;
}

uint64_t firstPendingLine(LineReader& reader) {
    std::lock_guard<std::mutex> hold(reader.lock);
    return reader.taken;
}

bool waitForLine(LineReader& reader, int milliseconds) {
    std::unique_lock<std::mutex> hold(reader.lock);
    return reader.changed.wait_for(hold, std::chrono::milliseconds(milliseconds),
                                   [&] { return reader.start != reader.end || reader.ended; });
}

LineReader& standardInputReader() {
    // Never stopped: the process ends with the thread still blocked in its read.
    static LineReader* reader = startLineReader(standardInput());
    return *reader;
}

void endStandardInputAfterPendingLines() { endAfterPendingLines(standardInputReader()); }

int readInputLine(char* buffer, int size) { return readLine(standardInputReader(), buffer, size); }

InputPeek peekInput(char* buffer, int size) {
    return peekLine(standardInputReader(), buffer, size);
}
