// Sources of input for the line reader's tests, made by the system's own
// means: the test writes at one end, the reader reads the other.
#pragma once

#include <string>

#include "platform/platform.h"

enum class SourceKind { Pipe, NamedPipe, File };

struct TestSource {
    InputSource reading;
    std::intptr_t writing;  // the writer's end; a file is written whole before it is read
    std::string path;       // of a named pipe or a file, removed when closed
};

// A file source holds text; a pipe starts empty and open.
TestSource openTestSource(SourceKind kind, const std::string& text = "");
void writeTestSource(TestSource& source, const std::string& text);
void closeTestWriter(TestSource& source);   // the reader then sees the end of input
void closeTestReading(TestSource& source);  // after the reader has stopped
