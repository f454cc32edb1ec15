// The node benchmark's file of figures, and counts that repeat within a run;
// the transcript nodes_eof checks its standard output.
#include "driver/bench.h"

#include <fstream>
#include <sstream>

#include "test_support.h"

TEST(NodeBenchmark, FileOfFiguresAndRepeatableCounts) {
    auto run = [] {
        return stdoutOf([] { runNodeBenchmark(engine, VOSTREL_TEST_DATA "/nodes.txt"); });
    };
    engine.session.post = 1;
    const std::string first = run();
    std::stringstream file;
    file << std::ifstream("nodes_fen.txt").rdbuf();
    EXPECT_EQ(file.str(), "1\t    618605     618605\n2\t3\t   1193481    1812086\n");
    EXPECT_EQ(run(), first);
    EXPECT_EQ(engine.session.post, 1);
    engine.clock.depthLimit = 0;  // the benchmark leaves its "sd 14"
}
