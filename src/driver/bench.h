// The bench: a fixed-depth search of each built-in position from empty
// tables. Its node total is the search's signature.
#pragma once

struct Engine;

// Depth of the built-in bench when none is given.
constexpr int BenchDepth = 10;

// Told of each position as it is done: its number from 1, of count.
using BenchProgress = void (*)(int number, int count, double nodes);

struct BenchFigures {
    double nodes;
    double seconds;
};

// Searches every built-in position to depth; the game is left at the last
// position, the clock and the thinking output as they were.
BenchFigures runBench(Engine& engine, int depth, BenchProgress progress);
