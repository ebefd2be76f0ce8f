#pragma once
// Standard output as a file like any other: a text written there either
// arrives in full or the failure is known, with its reason.

#include <string>
#include <string_view>

namespace envelope {

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed, so that
// no file the program opens later takes its place. Call it first thing.
void KeepStandardDescriptorsTaken();

// True when standard output was closed when the program started.
bool StandardOutputWasClosed();

// Writes the whole text to standard output; 0 or the errno value of the
// failure (EBADF when standard output was closed).
int WriteStandardOutput(std::string_view text);

// "cannot write to standard output: <reason>".
std::string StandardOutputProblem(int error);

} // namespace envelope
