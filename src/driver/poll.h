// Stopping a running search.
#pragma once

struct Engine;

// stopRequested and the search's stop flag = value (1: stop now).
void requestStop(Engine& engine, int value);
