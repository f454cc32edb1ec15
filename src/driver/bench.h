// Node counting for stat01 and the thinking lines, and the node benchmark:
// a fixed-depth search of every position of a file, node counts reported.
#pragma once

struct Engine;

// Adds the search's make and null-move counters to its node total, zeroes
// them (the next poll after 10000 nodes) and returns the total.
double collectNodeCount(Engine& engine);

// "au nodes FILE": each FEN line of the file searched to depth 14 from an
// empty table; node counts to standard output and to "nodes_fen.txt".
void runNodeBenchmark(Engine& engine, const char* fileName);
