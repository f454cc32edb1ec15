// Settings from option lines ("book_rand = 5"), from vostrel.ini or standard
// input; a short unknown line is taken as a move typed at the console.
#pragma once

struct Engine;

// Returns 1 when it took the line, 0 when the line is unknown.
int handleOptionCommand(Engine& engine, const char* line);

// Reads vostrel.ini in the current directory: lines "- command" are
// dispatched, all others are comments. A missing file changes nothing.
void readConfigurationFile(Engine& engine);
