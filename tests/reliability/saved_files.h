// Reading the game's saved files back in the reliability tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace reliability {

// The 32-bit little-endian value of a 4-byte file's bytes.
inline std::int32_t le32(const std::vector<unsigned char>& b) {
    return static_cast<std::int32_t>(b.at(0) | b.at(1) << 8 | b.at(2) << 16 |
                                     std::uint32_t{b.at(3)} << 24);
}

inline std::vector<unsigned char> le32_bytes(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    return {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
            static_cast<unsigned char>(u >> 16), static_cast<unsigned char>(u >> 24)};
}

// Temporary files a save of `name` may leave beside it (".name.tmp-...").
inline int temp_files_of(const std::filesystem::path& dir, const std::string& name) {
    int n = 0;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
        if (e.path().filename().string().rfind("." + name + ".tmp", 0) == 0) ++n;
    }
    return n;
}

}  // namespace reliability
