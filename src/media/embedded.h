// Files stored inside the executable, loadable by name like files on disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace media {

// Registering a name twice keeps the first block. The bytes must outlive the program.
void register_embedded_file(const std::string& name, const std::uint8_t* bytes, std::size_t length);
// The block registered under `name`, or an empty span.
std::span<const std::uint8_t> embedded_file(const std::string& name);

}  // namespace media
