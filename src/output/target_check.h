#pragma once
// Checks, before anything is computed or written, that the files and
// directories named can be written. Each function returns what stands in
// the way as one line of text naming the path, or an empty text.

#include <string>

namespace envelope {

// The path with the symbolic links at its end followed to what they point
// at, which need not exist; the path itself when it is no link. False, with
// the reason in error (an errno value), for a loop of links.
bool FollowLinks(const std::string& path, std::string& followed, int& error);

// A directory to write files into, made with the directories above it if
// need be: a name component over 255 bytes or a path too long for the
// system, a path that is not a directory, a symbolic link to a missing
// directory, a directory that cannot be written to or, when missing, made.
std::string DirectoryTargetProblem(const std::string& directory);

// A file to write, or to replace by a complete new one: the name checks of
// DirectoryTargetProblem, a directory in its place, an existing file that
// may not be replaced, a symbolic link into a missing directory, or a
// directory that cannot hold it.
std::string FileTargetProblem(const std::string& fileName);

} // namespace envelope
