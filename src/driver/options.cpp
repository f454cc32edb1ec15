#include "driver/options.h"

int handleOptionCommand(Engine&, const char*) { return 0; }

void readConfigurationFile(Engine&) {}
