#include "search/root.h"

// No search exists yet: the engine records moves and answers the protocol but
// neither moves nor ponders on its own.
void think(Engine&, int) {}

void startPonder(Engine&) {}
