#pragma once
// Names as they appear in one-line messages: any name a user gives (a file,
// a component, a key of a case file) is shown quoted, so that no name can
// split a message's line or send control sequences to a terminal.

#include <string>
#include <string_view>

namespace envelope {

// The name in single quotes, fit for a one-line message: valid UTF-8 text
// appears as it is, while control characters, invalid bytes, the quote and
// the backslash appear as C escapes (\n, \xff, \', \\).
std::string QuotedName(std::string_view name);

} // namespace envelope
