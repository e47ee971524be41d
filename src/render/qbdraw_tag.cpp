#include "render/qbdraw_tag.h"

#include "game/globals.h"
#include "media/draw_state.h"
#include "media/text.h"

using namespace media;

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
    if (mode_3d == 0) {
        draw_image(img, x, y, frame);
    } else {
        for (int pass = 0; pass < passes; ++pass) {
            set_blend(blend_light);
            set_color(leye_r, leye_g, leye_b);
            if (roffs != 0.0f) set_rotation(r + roffs);
            draw_image(img, x - offs, y, frame);
            set_color(reye_r, reye_g, reye_b);
            if (roffs != 0.0f) set_rotation(r - roffs);
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
    if (mode_3d == 0) {
        draw_text(text, px, py);
        return 0;
    }
    for (int pass = 0; pass < passes; ++pass) {
        set_blend(blend_light);
        set_color(leye_r, leye_g, leye_b);
        draw_text(text, px - offs, py);
        set_color(reye_r, reye_g, reye_b);
        draw_text(text, px + offs, py);
    }
    return 0;
}
