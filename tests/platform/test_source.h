// Input for the line reader's tests, made by the system's own means: a pipe
// the test writes at one end, or a file the test wrote, opened for reading.
#pragma once

#include <string>

#include "platform/platform.h"

struct TestPipe {
    InputSource reading;
    std::intptr_t writing;
};
TestPipe openTestPipe();
void writeTestPipe(std::intptr_t writing, const std::string& text);
InputSource openTestFile(const std::string& path);
void closeTestEnd(
    std::intptr_t end);  // of a pipe (the writer's: the reader sees the end) or a file
