// Input echoed back in an error message: arguments and script text may hold any bytes and
// any length, and a message must stay one short, readable line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// `text` with bytes outside printable ASCII as \xNN and a backslash doubled; past `limit`
// bytes it is cut, and "..." marks the cut.
std::string printable(std::string_view text, std::size_t limit = 40);
// The same between single quotes (a quote inside escaped), the cut marked after them.
std::string quote(std::string_view text, std::size_t limit = 40);

// The longest path shown whole; longer ones are cut like any other value.
constexpr std::size_t path_limit = 160;
