// The node benchmark: its line format on standard output and in
// nodes_fen.txt, skipped and rejected lines, and node counts that repeat
// exactly from run to run.
#include "driver/bench.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "driver/engine.h"
#include "test_support.h"

namespace {

std::string runBenchmark(const char* fileName) {
    ::testing::internal::CaptureStdout();
    runNodeBenchmark(engine, fileName);
    return ::testing::internal::GetCapturedStdout();
}

std::string fileText(const char* name) {
    std::ifstream file(name);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

TEST(NodeBenchmark, FormatSkipsAndRepeatableCounts) {
    ensureInitialised(engine);
    const char* name = "bench_test_positions.txt";
    {
        std::ofstream file(name);
        file << "8/8/8/4k3/8/8/8/R3K3 w - - 0 1\n"
             << "\n"
             << "short\n"
             << "8/8/8/8/8/8/8/8 w - - 0 1\n"
             << "8/5pk1/6p1/3p4/3P4/6P1/5PK1/8 w - - 0 1\n";
    }
    engine.post = 1;
    std::string first = runBenchmark(name);
    EXPECT_EQ(engine.post, 1);
    // The signature of the search: these counts change only with the search.
    EXPECT_EQ(first,
              "1\t    618605     618605\n"
              "2\ttelluser wrong number of black kings!\n"
              "3\t   1193481    1812086\n");
    EXPECT_EQ(fileText("nodes_fen.txt"),
              "1\t    618605     618605\n"
              "2\t3\t   1193481    1812086\n");
    EXPECT_EQ(runBenchmark(name), first);
    EXPECT_EQ(engine.depthLimit, 14);
    engine.depthLimit = 0;
    std::remove(name);

    // No input file: nothing printed, post as it was.
    engine.post = 0;
    EXPECT_EQ(runBenchmark("no such file"), "");
    EXPECT_EQ(engine.post, 0);
}
