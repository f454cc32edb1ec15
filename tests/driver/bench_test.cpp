// The node benchmark: its line format on standard output and in
// nodes_fen.txt, skipped and rejected lines, and node counts that repeat
// exactly from run to run.
#include "driver/bench.h"

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
    // Two positions, an empty and a short line (skipped) and a rejected one.
    const char* name = VOSTREL_TEST_DATA "/nodes.txt";
    engine.session.post = 1;
    std::string first = runBenchmark(name);
    EXPECT_EQ(engine.session.post, 1);
    // The signature of the search: these counts change only with the search.
    EXPECT_EQ(first,
              "1\t    618605     618605\n"
              "2\ttelluser wrong number of black kings!\n"
              "3\t   1193481    1812086\n");
    EXPECT_EQ(fileText("nodes_fen.txt"),
              "1\t    618605     618605\n"
              "2\t3\t   1193481    1812086\n");
    EXPECT_EQ(runBenchmark(name), first);
    EXPECT_EQ(engine.clock.depthLimit, 14);
    engine.clock.depthLimit = 0;

    // No input file: nothing printed, post as it was.
    engine.session.post = 0;
    EXPECT_EQ(runBenchmark("no such file"), "");
    EXPECT_EQ(engine.session.post, 0);
}
