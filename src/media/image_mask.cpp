// The masking rule. A transparent pixel takes the colour of its opaque neighbours so that
// filtered or scaled drawing does not pull a dark fringe into the sprite's edge.
#include "media/image_data.h"

namespace media {

void make_opaque(std::vector<std::uint8_t>& rgba) {
    for (std::size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
}

void apply_mask(std::vector<std::uint8_t>& rgba, int w, int h, rgb_colour mask) {
    const auto is_mask = [&](int x, int y) {
        const std::uint8_t* p = &rgba[(std::size_t(y) * std::size_t(w) + std::size_t(x)) * 4];
        return p[0] == mask.r && p[1] == mask.g && p[2] == mask.b;
    };
    std::vector<bool> masked(std::size_t(w) * std::size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            masked[std::size_t(y) * std::size_t(w) + std::size_t(x)] = is_mask(x, y);

    // Only masked pixels change colour, and they never count as neighbours, so the
    // picture can be changed in place.
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &rgba[(std::size_t(y) * std::size_t(w) + std::size_t(x)) * 4];
            if (!masked[std::size_t(y) * std::size_t(w) + std::size_t(x)]) {
                p[3] = 255;
                continue;
            }
            int sum[3] = {0, 0, 0}, n = 0;
            for (int ny = y - 1; ny <= y + 1; ++ny) {
                for (int nx = x - 1; nx <= x + 1; ++nx) {
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h || (nx == x && ny == y)) continue;
                    const std::size_t at = std::size_t(ny) * std::size_t(w) + std::size_t(nx);
                    if (masked[at]) continue;
                    for (int c = 0; c < 3; ++c) sum[c] += rgba[at * 4 + std::size_t(c)];
                    ++n;
                }
            }
            for (int c = 0; c < 3; ++c) p[c] = std::uint8_t(n ? (sum[c] + n / 2) / n : 0);
            p[3] = 0;
        }
    }
}

}  // namespace media
