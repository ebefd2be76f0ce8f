#pragma once
// File names as the system sees them: strings of bytes, not text. Nothing
// here converts a name to another encoding, so a name is used exactly as
// given.

#include <string>
#include <string_view>

#include "text/quoted_name.h"

namespace envelope {

// The directory that holds the path's last component: "a" for "a/b" and
// "a/b/", "." for "b", "/" for "/b".
std::string ParentOf(std::string_view path);

// The path's last component, trailing slashes ignored.
std::string LastComponentOf(std::string_view path);

// The name below the directory.
std::string JoinPath(std::string_view directory, std::string_view name);

} // namespace envelope
