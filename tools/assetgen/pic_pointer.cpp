// The menu pointer: a frosty arrow whose tip is the top-left pixel.
#include "draw.h"
#include "pictures.h"

namespace ag {

image8 draw_pointer() {
    constexpr int ss = 8;
    canvas hi(18 * ss, 18 * ss);
    pen p{hi, float(ss)};
    std::vector<pt> arrow{{0.6f, 0.6f},  {0.9f, 14.2f}, {4.3f, 11.2f}, {7.0f, 16.4f},
                          {9.6f, 15.2f}, {7.2f, 10.2f}, {12.2f, 10.0f}};
    p.poly(arrow, [](float x, float y) -> ink {
        float t = clamp01((x + y) / 22.0f);
        return {mix(hex(0xffffff), hex(0x7fb2ee), t), 1};
    });
    // A cool inner edge so the arrow keeps its shape over bright snow.
    p.line({2.6f, 4.0f}, {2.6f, 10.6f}, 0.55f, 0.55f, hex(0x9fdcff));
    canvas lo = outline(downsample(hi, ss, ss), 0.2f, hex(0x0e1a3c), true);
    return to_mask_rgb8(lo);
}

}  // namespace ag
