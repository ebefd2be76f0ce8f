#pragma once
// The names of the temporaries written beside their targets. They start with
// a dot, end in ".envelope-tmp-<process id>-XXXXXX" and, for a file, carry
// the name of their target: ".bubble.csv.envelope-tmp-4711-a8Kx2Q". The
// process id tells a later run which ones were left by a process that no
// longer runs.

#include <string>
#include <string_view>

namespace envelope {

// A template for mkstemp (the last six characters X) beside the target.
std::string TemporaryFileTemplate(std::string_view target);

// A template for mkdtemp in the directory.
std::string ScratchDirectoryTemplate(std::string_view directory);

// Removes the temporaries in the directory that a process no longer running
// has left behind: files and empty directories of this user whose names are
// exactly of the form above. Anything else stays: another name, a symbolic
// link, another user's file, a directory with something in it, the
// temporary of a process still running. Best effort: what cannot be removed
// stays.
void RemoveStaleTemporaries(const std::string& directory);

} // namespace envelope
