// Pictures made in code for the drawing tests: encoded as PNG and registered as embedded
// files, so they travel the same load path as the game's own pictures.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "media/backend/decoders/png_decode.h"
#include "media/embedded.h"
#include "media/image.h"

namespace gl_pictures {

// Registers `pixels` (3 or 4 channels, rows from the top) under a fresh name.
inline std::string register_picture(int w, int h, int channels,
                                    const std::vector<std::uint8_t>& pixels) {
    static std::deque<std::vector<std::uint8_t>> kept;  // embedded bytes must stay put
    kept.push_back(media::backend::encode_png(w, h, channels, pixels));
    const std::string name = "test_picture_" + std::to_string(kept.size()) + ".png";
    media::register_embedded_file(name, kept.back().data(), kept.back().size());
    return name;
}

inline media::image_ref load_picture(int w, int h, int channels,
                                     const std::vector<std::uint8_t>& pixels) {
    return media::load_image(register_picture(w, h, channels, pixels));
}

}  // namespace gl_pictures
