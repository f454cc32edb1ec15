// The node benchmarks: a fixed-depth search of every position of a file, or
// of the built-in positions, node counts reported.
#pragma once

struct Engine;

// "au nodes FILE": each FEN line of the file searched to depth 14 from an
// empty table; node counts to standard output and to "nodes_fen.txt".
void runNodeBenchmark(Engine& engine, const char* fileName);

// Depth of the built-in bench when none is given.
constexpr int BenchDepth = 10;

// "bench": each built-in position searched to depth from empty tables; the
// nodes of each, then "Nodes searched: N" and "Nodes/second: N". The game
// is left at the last position.
void runBench(Engine& engine, int depth);
