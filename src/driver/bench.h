// Node counting for the benchmark, stat01 and the thinking lines.
#pragma once

struct Engine;

// Adds the search's make and null-move counters to its node total, zeroes
// them (the next poll after 10000 nodes) and returns the total.
double collectNodeCount(Engine& engine);
