// One 32-bit value kept in a small file of the game's folder.
#pragma once

#include <optional>
#include <string>

// The stored value, or nothing when no regular file stands under the name.
std::optional<int> load_saved_int(const std::string& path);
// Writes the value; a failure is logged in one line with `what` and the game carries on.
void save_saved_int(const std::string& path, int value, const std::string& what);
