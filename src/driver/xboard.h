// The xboard protocol commands. Returns 1 when the line was one of them.
#pragma once

struct Engine;

int handleProtocolCommand(Engine& engine, const char* line);
