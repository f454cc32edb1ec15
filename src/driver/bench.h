// The node benchmark: a fixed-depth search of every position of a file, node
// counts reported.
#pragma once

struct Engine;

// "au nodes FILE": each FEN line of the file searched to depth 14 from an
// empty table; node counts to standard output and to "nodes_fen.txt".
void runNodeBenchmark(Engine& engine, const char* fileName);
