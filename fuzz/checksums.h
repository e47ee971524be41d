// PNG chunks and Ogg pages carry checksums, so nearly every mutation of a good file dies at
// the first check and the decoders behind them go untested. The fuzz targets also try each
// input with its checksums made right again.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include <zlib.h>

namespace fuzz {

inline std::uint32_t be32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// Each chunk's CRC recomputed over its type and data; false when none changed.
inline bool repair_png_crcs(std::vector<std::uint8_t>& png) {
    bool changed = false;
    std::size_t at = 8;  // after the signature
    while (at + 12 <= png.size()) {
        const std::uint32_t len = be32(&png[at]);
        if (len > png.size() - at - 12) break;
        const std::uint32_t crc =
            static_cast<std::uint32_t>(crc32(0, &png[at + 4], static_cast<uInt>(len + 4)));
        std::uint8_t* field = &png[at + 8 + len];
        const std::uint8_t want[4] = {
            static_cast<std::uint8_t>(crc >> 24), static_cast<std::uint8_t>(crc >> 16),
            static_cast<std::uint8_t>(crc >> 8), static_cast<std::uint8_t>(crc)};
        if (std::memcmp(field, want, 4) != 0) {
            std::memcpy(field, want, 4);
            changed = true;
        }
        at += 12 + len;
    }
    return changed;
}

// Each "OggS" page's checksum recomputed (CRC-32, polynomial 0x04c11db7, not reflected,
// over the page with the checksum field zero); false when none changed.
inline bool repair_ogg_crcs(std::vector<std::uint8_t>& ogg) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t r = i << 24;
            for (int b = 0; b < 8; ++b) r = (r & 0x80000000u) ? (r << 1) ^ 0x04c11db7u : r << 1;
            t[i] = r;
        }
        return t;
    }();
    bool changed = false;
    std::size_t at = 0;
    while (at + 27 <= ogg.size()) {
        if (std::memcmp(&ogg[at], "OggS", 4) != 0) {
            ++at;
            continue;
        }
        const std::size_t segments = ogg[at + 26];
        if (at + 27 + segments > ogg.size()) break;
        std::size_t body = 0;
        for (std::size_t i = 0; i < segments; ++i) body += ogg[at + 27 + i];
        const std::size_t end = std::min(ogg.size(), at + 27 + segments + body);
        std::uint8_t old[4];
        std::memcpy(old, &ogg[at + 22], 4);
        std::memset(&ogg[at + 22], 0, 4);
        std::uint32_t crc = 0;
        for (std::size_t i = at; i < end; ++i)
            crc = (crc << 8) ^ table[((crc >> 24) ^ ogg[i]) & 0xff];
        for (int i = 0; i < 4; ++i) ogg[at + 22 + i] = static_cast<std::uint8_t>(crc >> (8 * i));
        changed = changed || std::memcmp(old, &ogg[at + 22], 4) != 0;
        at = end;
    }
    return changed;
}

}  // namespace fuzz
