#include "text/quoted_name.h"

#include <cstdio>

namespace envelope {

namespace {

// The length of the UTF-8 sequence of a printable character starting at
// text[0], or 0 when the bytes there are not one.
std::size_t PrintableUtf8Length(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead >= 0x20 && lead < 0x7f)
        return 1;
    std::size_t length = 0;
    char32_t code = 0;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        code = lead & 0x1fu;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        code = lead & 0x0fu;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xc0u) != 0x80u)
            return 0;
        code = (code << 6) | (byte(i) & 0x3fu);
    }
    // Overlong forms, surrogates, code points beyond Unicode and the C1
    // control characters are escaped.
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    if (overlong || (code >= 0xd800 && code <= 0xdfff) || code > 0x10ffff || code < 0xa0)
        return 0;
    return length;
}

} // namespace

std::string QuotedName(std::string_view name)
{
    std::string quoted = "'";
    while (!name.empty()) {
        const char c = name.front();
        const std::size_t length = PrintableUtf8Length(name);
        if (c == '\'' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (length > 0) {
            quoted.append(name.substr(0, length));
            name.remove_prefix(length - 1);
        } else if (c == '\n') {
            quoted += "\\n";
        } else if (c == '\t') {
            quoted += "\\t";
        } else {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned char>(c));
            quoted += escape;
        }
        name.remove_prefix(1);
    }
    quoted += '\'';
    return quoted;
}

} // namespace envelope
