// Coverage of large frames: where a frame shows at all under each blend mode. A mask
// draw shows alpha 128 and up, an alpha draw any alpha, a light draw any non-black colour.
#include <algorithm>

#include "media/image_data.h"

namespace media {

frame_cover make_cover(const std::vector<std::uint8_t>& rgba, int w, int h) {
    frame_cover fc;
    const int cols = (w + cover_cell - 1) / cover_cell, rows = (h + cover_cell - 1) / cover_cell;
    std::vector<std::uint8_t> shows(std::size_t(cols) * std::size_t(rows), 0);  // bit per kind
    for (int k = 0; k < cover_kinds; ++k) {
        fc.box[k][0] = fc.box[k][1] = 1 << 30;
        fc.box[k][2] = fc.box[k][3] = -1;
    }
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* p = &rgba[std::size_t(y) * std::size_t(w) * 4];
        for (int x = 0; x < w; ++x, p += 4) {
            const int bits = (p[3] >= 128 ? 1 : 0) | (p[3] > 0 ? 2 : 0) |
                             (p[3] > 0 && (p[0] | p[1] | p[2]) ? 4 : 0);
            if (!bits) continue;
            shows[std::size_t(y / cover_cell) * std::size_t(cols) + std::size_t(x / cover_cell)] |=
                std::uint8_t(bits);
            for (int k = 0; k < cover_kinds; ++k) {
                if (!(bits & (1 << k))) continue;
                int* b = fc.box[k];
                b[0] = std::min(b[0], x), b[1] = std::min(b[1], y);
                b[2] = std::max(b[2], x + 1), b[3] = std::max(b[3], y + 1);
            }
        }
    }
    for (int k = 0; k < cover_kinds; ++k) {
        if (fc.box[k][2] < 0) fc.box[k][0] = fc.box[k][1] = fc.box[k][2] = fc.box[k][3] = 0;
        // Runs of showing cells along each row; a run that repeats the one above it
        // stretches that rectangle down instead.
        std::vector<cell_rect>& out = fc.rects[k];
        for (int r = 0; r < rows; ++r) {
            const std::size_t row_start = out.size();
            const auto shows_at = [&](int c) {
                return (shows[std::size_t(r) * std::size_t(cols) + std::size_t(c)] & (1 << k)) != 0;
            };
            for (int c = 0; c < cols;) {
                if (!shows_at(c)) {
                    ++c;
                    continue;
                }
                const int c0 = c;
                while (c < cols && shows_at(c)) ++c;
                auto it = std::find_if(
                    out.begin(), out.begin() + std::ptrdiff_t(row_start),
                    [&](const cell_rect& q) { return q.r1 == r && q.c0 == c0 && q.c1 == c; });
                if (it != out.begin() + std::ptrdiff_t(row_start))
                    it->r1 = r + 1;
                else
                    out.push_back({r, r + 1, c0, c});
            }
        }
    }
    return fc;
}

}  // namespace media
