// Windows icon files: an icon directory, then each picture as a whole PNG file, which
// Windows reads inside icons since Vista. The game's .exe carries one as its icon.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ag {

struct ico_picture {
    int size = 0;              // square, 1 to 256 pixels
    std::vector<uint8_t> png;  // the picture's PNG file, size x size
};

// The .ico file's bytes, pictures in the order given; empty when a picture has no
// bytes or a size the directory cannot hold.
std::vector<uint8_t> ico_bytes(const std::vector<ico_picture>& pictures);

}  // namespace ag
