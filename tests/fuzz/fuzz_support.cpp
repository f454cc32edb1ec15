#include "fuzz_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "driver/command_text.h"
#include "driver/engine.h"
#include "driver/xboard.h"
#include "platform/input.h"
#include "search/tt.h"

namespace {

int inputWriter = -1;  // the write end of the pipe that is the engine's standard input

std::string lowered(const std::string& text) {
    std::string result = text;
    for (char& c : result) c = char(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

std::string firstWord(const std::string& line) {
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos) return "";
    size_t end = line.find_first_of(" \t", start);
    return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

void writeAll(int descriptor, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t count = write(descriptor, text.data() + done, text.size() - done);
        if (count <= 0) std::abort();
        done += size_t(count);
    }
}

}  // namespace

Engine& fuzzEngine() {
    static Engine engine;
    static bool ready = false;
    if (ready) return engine;
    ready = true;
    static char directory[] = "/tmp/vostrel-fuzz.XXXXXX";
    if (!mkdtemp(directory) || chdir(directory) != 0) std::abort();
    // Gone with a clean exit; a finding leaves it for a look.
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    });
    // Standard input becomes a pipe from this process, before the engine's
    // reader first looks at it; standard output goes nowhere.
    int ends[2];
    if (pipe(ends) != 0 || dup2(ends[0], 0) < 0) std::abort();
    close(ends[0]);
    inputWriter = ends[1];
    int sink = open("/dev/null", O_WRONLY);
    if (sink < 0 || dup2(sink, 1) < 0) std::abort();
    close(sink);
    return engine;
}

void startEngine(Engine& engine, SearchHost& host) {
    initEngine(engine, host, dispatchCommand);
    ensureInitialised(engine);
    // The smallest tables: every new game clears them.
    resizeSearchMemory(engine.search, 1, 0);
}

void clearScratchDirectory() {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(".", ignored))
        std::filesystem::remove(entry.path(), ignored);
}

void writeScratchFile(const char* name, const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(name, "wb");
    if (!file) std::abort();
    if (size) std::fwrite(data, 1, size, file);
    std::fclose(file);
}

bool isSafeCommand(const std::string& line) {
    const std::string word = firstWord(line);
    std::string low = lowered(line);
    if (word.rfind("quit", 0) == 0 || word == "bench" || word == "au") return false;
    if (line.rfind("perft ", 0) == 0) return std::atol(line.c_str() + 6) <= 3;
    if (line.rfind("divide ", 0) == 0) return std::atol(line.c_str() + 7) <= 3;
    // Table sizes would ask for gigabytes.
    if (low.find("memory") != std::string::npos || low.find("egtb") != std::string::npos)
        return false;
    // Hundreds of helper threads per input would starve the fuzzer.
    if (low.find("cores") != std::string::npos || low.find("thread") != std::string::npos)
        return false;
    if (low.find("hash") != std::string::npos && low.find("clear") == std::string::npos)
        return false;
    return true;
}

Engine& quietFuzzEngine() {
    static QuietHost quiet;
    static Engine& engine = fuzzEngine();
    static bool started = (startEngine(engine, quiet), true);
    (void)started;
    return engine;
}

std::vector<std::string> safeCommandLines(const uint8_t* data, size_t size) {
    std::vector<std::string> lines;
    std::string line;
    auto finish = [&] {
        if (line.size() > 256) line.resize(256);
        if (lines.size() < 64 && isSafeCommand(line)) lines.push_back(line);
        line.clear();
    };
    for (size_t i = 0; i < size; ++i) {
        char c = char(data[i]);
        if (c == '\n') {
            finish();
        } else if (c != '\r' && c != '\0') {
            line += c;
        }
    }
    if (!line.empty()) finish();
    return lines;
}

void runOnStandardInput(Engine& engine, const std::vector<std::string>& lines,
                        void (*run)(Engine&, const char*)) {
    LineReader& reader = standardInputReader();
    const uint64_t last = linesReceived(reader) + lines.size();
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    writeAll(inputWriter, text);
    // Every line queued before the first runs: a search's poll sees the same
    // input on every run of the same data.
    while (linesReceived(reader) < last) std::this_thread::yield();
    char line[CommandLineSize];
    while (firstPendingLine(reader) < last) {
        if (readInputLine(line, int(sizeof line)) < 0) std::abort();
        engine.clock.nodeLimit = FuzzNodeLimit;
        run(engine, line);
    }
}
