// Settings from option lines ("book_rand = 5"), from vostrel.ini or standard
// input.
#pragma once

#include "driver/engine.h"

// Returns 1 when it took the line, 0 when the line is unknown.
int handleOptionCommand(Engine& engine, const char* line);

// Reads vostrel.ini in the current directory: the command of each line
// "- command" is run, all other lines are comments. A missing file changes
// nothing; so does a read started by one of the file's own commands.
void readConfigurationFile(Engine& engine, CommandRunner run);

// The option table, read-only, for the check of the manual page: the keys in
// the order they are tried, as a line must start (a key may end in a blank).
int optionKeyCount();
const char* optionKeyName(int index);

// The key's value as an option line writes it ("yes" or "no", a number, the
// pair "N, N", the SAN letters): from settings, or for the piece values,
// evaluate_control and the letters from the evaluation and the notation.
// Empty for a key that is taken and ignored.
void formatOptionValue(const Settings& settings, int index, char* text, int size);
