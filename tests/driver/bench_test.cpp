// The node benchmark: its lines on standard output and in nodes_fen.txt,
// skipped and rejected lines, and node counts that repeat from run to run.
#include "driver/bench.h"

#include <fstream>
#include <sstream>

#include "test_support.h"

TEST(NodeBenchmark, FormatSkipsAndRepeatableCounts) {
    auto run = [](const char* name) { return stdoutOf([&] { runNodeBenchmark(engine, name); }); };
    // Two positions, an empty and a short line (skipped) and a rejected one.
    const char* name = VOSTREL_TEST_DATA "/nodes.txt";
    engine.session.post = 1;
    std::string first = run(name);
    // The signature of the search: these counts change only with the search.
    EXPECT_EQ(first,
              "1\t    618605     618605\n"
              "2\ttelluser wrong number of black kings!\n"
              "3\t   1193481    1812086\n");
    std::stringstream file;
    file << std::ifstream("nodes_fen.txt").rdbuf();
    EXPECT_EQ(file.str(), "1\t    618605     618605\n2\t3\t   1193481    1812086\n");
    EXPECT_EQ(run(name), first);
    EXPECT_EQ(engine.session.post, 1);
    engine.clock.depthLimit = 0;  // the benchmark leaves its "sd 14"
    EXPECT_EQ(run("no such file"), "");
}
