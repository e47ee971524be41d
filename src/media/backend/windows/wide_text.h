// UTF-8, which the game uses for every path and message, to and from the UTF-16 of the
// Windows calls.
#pragma once

#include <string>

namespace media::backend {

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& utf16);
std::string forward_slashes(std::string path);  // as the game writes paths

}  // namespace media::backend
