// Settings from option lines ("book_rand = 5"), from vostrel.ini or standard
// input; a short unknown line is taken as a move typed at the console.
#pragma once

#include <cstdint>

struct Engine;

// Returns 1 when it took the line, 0 when the line is unknown.
int handleOptionCommand(Engine& engine, const char* line);

// Reads vostrel.ini in the current directory: lines "- command" are
// dispatched, all others are comments. A missing file changes nothing.
void readConfigurationFile(Engine& engine);

// Search settings without an Engine field, named after their option keys.
extern int32_t search_prune_lmr_moves;    // moves at full depth before reductions
extern int32_t search_prune_quiet_moves;  // moves kept in nodes below two plies
extern int32_t search_extend_check;       // check extension, eighths of a ply
