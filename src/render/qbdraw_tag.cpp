#include "render/qbdraw_tag.h"

#include <array>

#include "media/draw_state.h"
#include "media/stereo_pair.h"
#include "media/text.h"

using namespace media;

namespace {

struct eye_pair {
    int lr, lg, lb, rr, rg, rb;
};
// Left copy, right copy, for "M\G", "R\G", "R\C", "R\B".
constexpr std::array<eye_pair, 4> eye_pairs = {{
    {140, 4, 40, 4, 100, 20},
    {4, 100, 20, 140, 4, 10},
    {4, 80, 60, 140, 4, 10},
    {4, 20, 140, 140, 4, 20},
}};

// A stereo pair leaves the state as its last light draw would: light blend, right tint.
void left_as_drawn(const qbdraw_tag& d) {
    set_blend(blend_light);
    set_color(d.reye_r, d.reye_g, d.reye_b);
}

}  // namespace

int qbdraw_tag::use_pair(int pair) {
    if (pair < 1 || pair > 4) {
        mode = 0;
        return 0;
    }
    mode = pair;
    const eye_pair& e = eye_pairs[static_cast<std::size_t>(pair - 1)];
    return slc(e.lr, e.lg, e.lb, e.rr, e.rg, e.rb);
}

int qbdraw_tag::slc(int lr, int lg, int lb, int rr, int rg, int rb) {
    leye_r = lr;
    leye_g = lg;
    leye_b = lb;
    reye_r = rr;
    reye_g = rg;
    reye_b = rb;
    return 0;
}

int qbdraw_tag::sip(int blend, float alpha, float rotation, float scale_x, float scale_y) {
    set_blend(blend);
    set_alpha(alpha);
    set_transform(rotation, scale_x, scale_y);
    txt_xs = scale_x;
    txt_ys = scale_y;
    return 0;
}

int qbdraw_tag::i3d(const image_ref& img, float x, float y, int frame, float offs, float roffs,
                    int passes) {
    // The eye copies turn about the whole-degree part of the caller's rotation.
    const float r = static_cast<float>(static_cast<int>(get_rotation()));
    if (mode == 0) {
        draw_image(img, x, y, frame);
    } else if (roffs == 0.0f) {
        if (passes > 0) {
            draw_image_pair(img, x, y, frame, {leye_r, leye_g, leye_b}, {reye_r, reye_g, reye_b},
                            offs, passes);
            left_as_drawn(*this);
        }
    } else {
        // Copies turned apart differ by more than a shift: one light draw each.
        for (int pass = 0; pass < passes; ++pass) {
            set_blend(blend_light);
            set_color(leye_r, leye_g, leye_b);
            set_rotation(r + roffs);
            draw_image(img, x - offs, y, frame);
            set_color(reye_r, reye_g, reye_b);
            set_rotation(r - roffs);
            draw_image(img, x + offs, y, frame);
        }
    }
    if (roffs != 0.0f) set_rotation(r);
    return 0;
}

int qbdraw_tag::t3d(const std::string& text, float x, float y, float offs, int centre, int passes) {
    float px = x;
    float py = y;
    if (centre != 0) {
        px = x - static_cast<float>(text_width(text)) * txt_xs / 2.0f;
        py = y - static_cast<float>(text_height()) * txt_ys / 2.0f;
    }
    if (mode == 0) {
        draw_text(text, px, py);
        return 0;
    }
    if (passes > 0) {
        draw_text_pair(text, px, py, {leye_r, leye_g, leye_b}, {reye_r, reye_g, reye_b}, offs,
                       passes);
        left_as_drawn(*this);
    }
    return 0;
}
