// Reading the generated assets back the way the game will: PNGs through
// libpng, Ogg files through libvorbisfile.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gf_test {

std::string asset_path(const std::string& name);  // in the embedded assets folder
std::string data_path(const std::string& name);   // in Data/

struct png_header {
    bool ok = false;
    uint32_t width = 0, height = 0;
    int bit_depth = 0, color_type = 0;
    bool has_trns = false;
};
png_header read_png_header(const std::string& path);

struct picture {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    bool opaque(int x, int y) const {
        const uint8_t* p = &rgb[(size_t(y) * size_t(w) + size_t(x)) * 3];
        return (p[0] | p[1] | p[2]) != 0;
    }
    const uint8_t* at(int x, int y) const { return &rgb[(size_t(y) * size_t(w) + size_t(x)) * 3]; }
};
// False when the file is missing or not a PNG.
bool load_picture(const std::string& path, picture& out);

struct audio {
    bool ok = false;
    long rate = 0;
    int channels = 0;
    std::vector<float> samples;  // interleaved
    size_t frames() const { return channels ? samples.size() / size_t(channels) : 0; }
    double seconds() const { return rate ? double(frames()) / double(rate) : 0.0; }
};
audio decode_ogg(const std::string& path);

std::vector<uint8_t> file_bytes(const std::string& path);

}  // namespace gf_test
