// The table of files compiled into the program, looked up by name.
#include "media/embedded.h"

#include <map>

namespace media {

namespace {
std::map<std::string, std::span<const std::uint8_t>, std::less<>>& table() {
    static std::map<std::string, std::span<const std::uint8_t>, std::less<>> t;
    return t;
}
}  // namespace

void register_embedded_file(const std::string& name, const std::uint8_t* bytes,
                            std::size_t length) {
    if (!bytes) return;
    table().try_emplace(name, bytes, length);
}

std::span<const std::uint8_t> embedded_file(const std::string& name) {
    const auto it = table().find(name);
    return it == table().end() ? std::span<const std::uint8_t>{} : it->second;
}

}  // namespace media
