// Pixel-exact overlap. Each screen pixel centre shared by the two placed frames is mapped
// back into both frames; like the rasteriser it samples the nearest texel.
#include "media/collision.h"

#include <algorithm>
#include <cmath>

#include "media/image_data.h"

namespace media {

namespace {

struct placed_frame {
    placement p;
    const image* img = nullptr;
    const std::uint8_t* px = nullptr;
    float min_x = 0, min_y = 0, max_x = 0, max_y = 0;

    bool solid_at(float cx, float cy) const {
        const float dx = cx - p.x, dy = cy - p.y;
        const float u = (dx * p.c + dy * p.s) / p.sx + p.hx;
        const float v = (-dx * p.s + dy * p.c) / p.sy + p.hy;
        if (!(u >= 0 && v >= 0 && u < float(img->width) && v < float(img->height))) return false;
        const int tx = std::min(int(u), img->width - 1), ty = std::min(int(v), img->height - 1);
        return px[(std::size_t(ty) * std::size_t(img->width) + std::size_t(tx)) * 4 + 3] >= 128;
    }
};

bool place(const image_ref& img, int x, int y, int frame, placed_frame& out) {
    if (!img || frame < 0 || frame >= int(img->frames.size())) return false;
    out.img = img.get();
    out.px = img->frames[std::size_t(frame)].data();
    out.p = current_placement(float(x), float(y), img->hx, img->hy);
    if (out.p.sx == 0 || out.p.sy == 0) return false;  // squashed to nothing
    const float us[4] = {0, float(img->width), float(img->width), 0};
    const float vs[4] = {0, 0, float(img->height), float(img->height)};
    out.min_x = out.min_y = INFINITY;
    out.max_x = out.max_y = -INFINITY;
    for (int k = 0; k < 4; ++k) {
        float sx = 0, sy = 0;
        out.p.to_screen(us[k], vs[k], sx, sy);
        out.min_x = std::min(out.min_x, sx);
        out.max_x = std::max(out.max_x, sx);
        out.min_y = std::min(out.min_y, sy);
        out.max_y = std::max(out.max_y, sy);
    }
    return true;
}

}  // namespace

int images_collide(const image_ref& img1, int x1, int y1, int frame1, const image_ref& img2, int x2,
                   int y2, int frame2) {
    placed_frame a, b;
    if (!place(img1, x1, y1, frame1, a) || !place(img2, x2, y2, frame2, b)) return 0;
    // Pixels whose centres lie inside both bounding boxes.
    const float lo_x = std::max(a.min_x, b.min_x), hi_x = std::min(a.max_x, b.max_x);
    const float lo_y = std::max(a.min_y, b.min_y), hi_y = std::min(a.max_y, b.max_y);
    if (!(lo_x < hi_x && lo_y < hi_y)) return 0;
    const int px0 = int(std::floor(lo_x - 0.5f)), px1 = int(std::ceil(hi_x - 0.5f));
    const int py0 = int(std::floor(lo_y - 0.5f)), py1 = int(std::ceil(hi_y - 0.5f));
    for (int py = py0; py <= py1; ++py) {
        const float cy = float(py) + 0.5f;
        for (int px = px0; px <= px1; ++px) {
            const float cx = float(px) + 0.5f;
            if (a.solid_at(cx, cy) && b.solid_at(cx, cy)) return 1;
        }
    }
    return 0;
}

}  // namespace media
