// Pictures in the shapes of the game's art and the frames the benchmark draws with them.
#include "bench_scene.h"

#include <cmath>
#include <deque>
#include <string>
#include <vector>

#include "media/backend/decoders/png_decode.h"
#include "media/display.h"
#include "media/draw_state.h"
#include "media/embedded.h"
#include "media/primitives.h"
#include "media/stereo_pair.h"

namespace bench {

namespace {

// An RGB picture where `clear(x, y)` pixels are black (the mask colour) and the others a
// busy non-black pattern, registered and loaded like an embedded asset.
template <typename Clear>
media::image_ref picture(int w, int h, int seed, Clear clear) {
    std::vector<std::uint8_t> rgb;
    rgb.reserve(std::size_t(w) * std::size_t(h) * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool c = clear(x, y);
            rgb.push_back(c ? 0 : std::uint8_t(((x * 7 + y * 3 + seed * 40) & 255) | 1));
            rgb.push_back(c ? 0 : std::uint8_t((x ^ y) & 255));
            rgb.push_back(c ? 0 : std::uint8_t((y * 5) & 255));
        }
    static std::deque<std::vector<std::uint8_t>> kept;
    kept.push_back(media::backend::encode_png(w, h, 3, rgb));
    const std::string name = "bench_" + std::to_string(seed) + ".png";
    media::register_embedded_file(name, kept.back().data(), kept.back().size());
    return media::load_image(name);
}

// A radial glow, bright in the middle and black (clear) beyond its radius.
media::image_ref glow_picture(int size) {
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float d = std::hypot(x - size / 2.0f, y - size / 2.0f) / (size / 2.0f);
            const int v = d >= 1 ? 0 : int(255 * (1 - d));
            rgb.insert(rgb.end(), {std::uint8_t(v), std::uint8_t(v), std::uint8_t(v / 2)});
        }
    static const std::vector<std::uint8_t> kept = media::backend::encode_png(size, size, 3, rgb);
    media::register_embedded_file("bench_glow.png", kept.data(), kept.size());
    return media::load_image("bench_glow.png");
}

// Like the stereo renderer's i3d: one copy flat, or a pair of light copies, two passes.
void s3d(const media::image_ref& img, float x, float y, float offs, bool stereo) {
    if (!stereo) {
        media::draw_image(img, x, y, 0);
        return;
    }
    media::draw_image_pair(img, x, y, 0, {4, 80, 60}, {140, 4, 10}, offs, 2);
    media::set_blend(media::blend_light);
    media::set_color(140, 4, 10);
}

void sip(int blend, float alpha, float rot, float sx, float sy) {
    media::set_blend(blend);
    media::set_alpha(alpha);
    media::set_transform(rot, sx, sy);
}

int draw_scenery(const scene_images& im, bool stereo, int frame) {
    const int sh = frame % 640;
    media::clear_screen();
    media::set_color(255, 255, 255);
    if (stereo)
        sip(media::blend_light, 1, 0, 1, 1);
    else
        sip(media::blend_alpha, 0.6f, 0, 1, 1);
    s3d(im.back, 0, 0, -8, stereo);
    media::set_color(255, 255, 255);
    sip(media::blend_mask, 1, 0, 1, 1.5f);
    s3d(im.mts1, -sh * 0.5f, 100, -4, stereo);
    media::set_color(255, 255, 255);
    s3d(im.mts2, 640 - sh * 0.5f, 100, -4, stereo);
    media::set_color(255, 255, 255);
    sip(media::blend_mask, 1, 0, 1, 1);
    s3d(im.grd1, float(-sh), 280, 2, stereo);
    media::set_color(255, 255, 255);
    s3d(im.grd2, float(640 - sh), 280, 2, stereo);
    return stereo ? 20 : 5;
}

int draw_gift(const scene_images& im, float x, float y, int frame) {
    media::set_color(255, 255, 255);
    sip(media::blend_mask, 1, 0, 1, 1);
    media::draw_image(im.gift, x, y, 0);
    sip(media::blend_light, 1, float(frame * 2), 1, 1);
    media::draw_image(im.glow, x, y, 0);
    return 2;
}

int draw_front(const scene_images& im, bool stereo, int frame, int hud_lines) {
    int draws = 0;
    media::set_color(255, 255, 255);
    sip(media::blend_mask, 1, 6, 0.8f, 0.8f);
    media::draw_image(im.player, 200, 200, 0);
    ++draws;
    for (int i = 0; i < 3; ++i) {  // star bursts at three ages
        const float sc = 1.0f + 1.5f * float(i);
        media::set_color(255, 255, 255);
        sip(media::blend_light, 1.0f - 0.33f * float(i), float(frame * 2), sc, sc);
        s3d(im.glow, 250 + 90.0f * float(i), 180, 10.0f * float(i), stereo);
        draws += stereo ? 4 : 1;
    }
    media::set_image_font(im.font);
    media::set_color(20, 255, 80);
    sip(media::blend_alpha, 1, 0, 1, 1);
    const char* hud[3] = {"Score 0012345   Best 0099999", "Time 42", "Presents 17 of 24"};
    for (int l = 0; l < hud_lines; ++l) media::draw_text(hud[l], 10, 2 + 30.0f * float(l));
    draws += hud_lines;
    for (int i = 0; i < 100; ++i) {  // the snow storm
        const float sc = 0.2f + 0.2f * float(i % 4);
        media::set_color(255, 255, 255);
        sip(media::blend_mask, 1, 0, sc, sc);
        s3d(im.flake, float((i * 97 + frame * 2) % 640), float((i * 53 + frame * 3) % 480),
            float(8 - 4 * (i % 4)), stereo);
        draws += stereo ? 4 : 1;
    }
    media::set_color(2, 2, 2);  // retro scan lines
    media::set_scale(1, 1);
    media::fill_alternate_rows(0, 1, 640, 479);
    media::set_blend(media::blend_mask);
    media::set_color(255, 255, 255);
    return draws + 1;
}

}  // namespace

scene_images make_images(const char* font_path, bool game_shapes) {
    media::set_mask_color(0, 0, 0);
    media::auto_image_flags(media::img_masked | media::img_dynamic);
    scene_images im;
    const int set = game_shapes ? 10 : 0;
    im.back = picture(640, 480, set, [](int, int) { return false; });
    if (game_shapes) {
        // Ridges and rolling snow fields, sky above them.
        const auto ridge = [](int x, int y) {
            return y < 120 + int(60 * std::sin(x * 0.021) + 35 * std::sin(x * 0.083 + 1));
        };
        const auto field = [](int x, int y) {
            return y < 45 + int(18 * std::sin(x * 0.031) + 8 * std::sin(x * 0.11));
        };
        im.mts1 = picture(640, 256, set + 1, ridge);
        im.mts2 = picture(640, 256, set + 2, ridge);
        im.grd1 = picture(640, 200, set + 3, field);
        im.grd2 = picture(640, 200, set + 4, field);
    } else {
        im.mts1 = picture(640, 256, set + 1, [](int x, int y) { return y < 60 + (x % 97); });
        im.mts2 = picture(640, 256, set + 2, [](int x, int y) { return y < 60 + (x % 97); });
        im.grd1 = picture(640, 200, set + 3, [](int, int y) { return y < 30; });
        im.grd2 = picture(640, 200, set + 4, [](int, int y) { return y < 30; });
    }
    media::auto_mid_handle(1);
    im.gift = picture(18, 20, set + 5, [](int x, int y) { return (x + y) % 7 == 0; });
    im.player = picture(404, 82, set + 6, [](int x, int y) { return (x / 8 + y / 8) % 5 == 0; });
    im.flake =
        picture(10, 10, 7, [](int x, int y) { return (x - 5) * (x - 5) + (y - 5) * (y - 5) > 20; });
    im.glow = glow_picture(112);
    media::auto_mid_handle(0);
    im.font = media::load_image_font(font_path, 26, media::font_smooth);
    return im;
}

int draw_game_frame(const scene_images& im, bool stereo, int frame) {
    int draws = draw_scenery(im, stereo, frame);
    for (int i = 0; i < 50; ++i) {  // gifts and hazards spread over the screen
        const float x = float((i % 10) * 64 + 32 - (frame % 64)), y = float(60 + (i / 10) * 80);
        draws += draw_gift(im, x, y, frame);
    }
    return draws + draw_front(im, stereo, frame, 3);
}

int draw_yardstick_frame(const scene_images& im, bool stereo, int frame) {
    int draws = draw_scenery(im, stereo, frame);
    for (int i = 0; i < 2; ++i) draws += draw_gift(im, 150 + 300.0f * i, 120 + 60.0f * i, frame);
    return draws + draw_front(im, stereo, frame, 1);
}

}  // namespace bench
