#include "ico_out.h"

namespace ag {

namespace {

// The format is little-endian throughout.
void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

}  // namespace

std::vector<uint8_t> ico_bytes(const std::vector<ico_picture>& pictures) {
    constexpr size_t dir_size = 6, entry_size = 16;
    if (pictures.empty() || pictures.size() > 0xffff) return {};
    std::vector<uint8_t> out;
    put16(out, 0);  // reserved
    put16(out, 1);  // 1: icon, 2: cursor
    put16(out, uint32_t(pictures.size()));
    size_t offset = dir_size + entry_size * pictures.size();
    for (const ico_picture& p : pictures) {
        if (p.size < 1 || p.size > 256 || p.png.empty()) return {};
        const uint8_t side = uint8_t(p.size & 0xff);  // 256 is written as 0
        out.push_back(side);
        out.push_back(side);
        out.push_back(0);  // no palette
        out.push_back(0);  // reserved
        put16(out, 1);     // colour planes
        put16(out, 32);    // bits a pixel
        put32(out, uint32_t(p.png.size()));
        put32(out, uint32_t(offset));
        offset += p.png.size();
    }
    for (const ico_picture& p : pictures) out.insert(out.end(), p.png.begin(), p.png.end());
    return out;
}

}  // namespace ag
