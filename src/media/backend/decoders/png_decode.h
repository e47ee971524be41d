// PNG pictures through libpng: decoding the game's embedded pictures from memory, and
// writing the runner's RGB screenshots.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace media::backend {

struct decoded_png {
    int width = 0, height = 0;
    bool has_alpha = false;          // an alpha channel or a transparency chunk
    std::vector<std::uint8_t> rgba;  // rows from the top
};

// Any PNG (palette, grey, 16-bit, interlaced) as 8-bit RGBA. False when not a PNG.
bool decode_png(const std::vector<std::uint8_t>& bytes, decoded_png& out);
// Encodes 8-bit pixels with `channels` 3 (RGB) or 4 (RGBA). Empty on failure.
std::vector<std::uint8_t> encode_png(int w, int h, int channels,
                                     const std::vector<std::uint8_t>& pixels);
// Writes an 8-bit RGB PNG file (rows from the top). False when it cannot be written.
bool write_png_rgb(const std::string& path, int w, int h, const std::vector<std::uint8_t>& rgb);

}  // namespace media::backend
