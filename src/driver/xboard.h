// The xboard protocol commands. Returns 1 when the line was one of them.
#pragma once

#include "board/types.h"

struct Engine;

int handleProtocolCommand(Engine& engine, const char* line);

// Prints "move e2e4", "move e7e8q", "move O-O" or "move O-O-O"; nothing when no
// game is in progress.
void sendEngineMove(Engine& engine, Move move);
