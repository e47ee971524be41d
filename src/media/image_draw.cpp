// Drawing image frames: placement about the handle on the CPU, quads into the renderer's
// batch, and the lazy upload of frames (with their coverage) to the texture.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "media/draw_state.h"
#include "media/image_data.h"
#include "media/portable_math.h"

namespace media {

namespace {

// Exact values at the quarter turns keep turned sprites on whole pixels.
void turn(float degrees, float& c, float& s) {
    float d = std::fmod(degrees, 360.0f);
    if (d < 0) d += 360.0f;
    if (d == 0.0f) {
        c = 1, s = 0;
    } else if (d == 90.0f) {
        c = 0, s = 1;
    } else if (d == 180.0f) {
        c = -1, s = 0;
    } else if (d == 270.0f) {
        c = 0, s = -1;
    } else {
        const double r = double(degrees) * 3.14159265358979323846 / 180.0;
        c = float(portable_cos(r));
        s = float(portable_sin(r));
    }
}

// Frames lie one above the other with a row between. Filtered, that row stays clear; a
// sharp frame's texel rule reads the row above its top edge, so there it repeats the
// frame's top row, as the texture's own edge does for the first frame.
int frame_top(const image& img, int frame) {
    return frame * (img.height + 1);
}

bool sharp(const image& img) {
    return !(img.flags & img_filtered);
}

// Whether frame f has a row above it that repeats its top row.
bool repeats_top_row(const image& img, int f) {
    return f > 0 && sharp(img);
}

// Large frames that are sampled texel for texel; filtering would blur past cell edges.
bool keeps_cover(const image& img) {
    return !(img.flags & img_filtered) && img.width * img.height >= 64 * 64;
}

int cover_kind_of(int blend) {
    if (blend == blend_mask) return cover_mask;
    if (blend == blend_alpha) return cover_alpha;
    if (blend == blend_light) return cover_light;
    return -1;  // solid and shade change the back buffer under clear pixels too
}

}  // namespace

placement current_placement(float x, float y, float hx, float hy) {
    const draw_state& ds = current_draw_state();
    placement p;
    p.x = x;
    p.y = y;
    p.hx = hx;
    p.hy = hy;
    p.sx = ds.sx;
    p.sy = ds.sy;
    turn(ds.rotation, p.c, p.s);
    return p;
}

void fill_quad(backend::vertex* q, const placement& p, float u0, float v0, float u1, float v1,
               float t0, float s0, float t1, float s1) {
    const draw_state& ds = current_draw_state();
    const auto a = std::uint8_t(std::lround(ds.alpha * 255.0f));
    const auto r = std::uint8_t(ds.r), g = std::uint8_t(ds.g), b = std::uint8_t(ds.b);
    const float us[4] = {u0, u1, u1, u0}, vs[4] = {v0, v0, v1, v1};
    const float ts[4] = {t0, t1, t1, t0}, ss[4] = {s0, s0, s1, s1};
    for (int k = 0; k < 4; ++k) {
        p.to_screen(us[k], vs[k], q[k].x, q[k].y);
        q[k].u = ts[k];
        q[k].v = ss[k];
        q[k].r = r;
        q[k].g = g;
        q[k].b = b;
        q[k].a = a;
    }
}

unsigned image_texture(image& img) {
    if (!backend::renderer_is_open()) return 0;
    const int n = int(img.frames.size());
    const int tex_h = n * (img.height + 1) - 1;
    const bool fresh = !img.texture.valid();
    if (fresh) {
        if (!img.texture.create(img.width, tex_h, img.flags & img_filtered,
                                img.flags & img_mipmapped))
            return 0;
        std::fill(img.stale.begin(), img.stale.end(), true);
        // One upload of every frame.
        const std::size_t row = std::size_t(img.width) * 4;
        std::vector<std::uint8_t> all(row * std::size_t(tex_h), 0);
        for (int f = 0; f < n; ++f) {
            const std::vector<std::uint8_t>& px = img.frames[std::size_t(f)];
            const std::size_t top = std::size_t(frame_top(img, f));
            std::memcpy(&all[top * row], px.data(), px.size());
            if (repeats_top_row(img, f)) std::memcpy(&all[(top - 1) * row], px.data(), row);
        }
        img.texture.upload(0, 0, img.width, tex_h, all.data());
    }
    if (keeps_cover(img)) img.covers.resize(std::size_t(n));
    for (int f = 0; f < n; ++f) {
        if (!img.stale[std::size_t(f)]) continue;
        if (!fresh) {
            const std::uint8_t* px = img.frames[std::size_t(f)].data();
            const int top = frame_top(img, f);
            img.texture.upload(0, top, img.width, img.height, px);
            if (repeats_top_row(img, f)) img.texture.upload(0, top - 1, img.width, 1, px);
        }
        if (keeps_cover(img))
            img.covers[std::size_t(f)] =
                make_cover(img.frames[std::size_t(f)], img.width, img.height);
        img.stale[std::size_t(f)] = false;
    }
    return img.texture.name();
}

unsigned frame_parts(image& img, int frame, int blend, const placement& p,
                     std::vector<quad_part>& out) {
    out.clear();
    if (frame < 0 || frame >= int(img.frames.size())) return 0;
    const unsigned tex = image_texture(img);
    if (!tex) return 0;
    const float tw = float(img.texture.width()), th = float(img.texture.height());
    const float top = float(frame_top(img, frame));
    const auto part = [&](int u0, int v0, int u1, int v1) {
        out.push_back({float(u0), float(v0), float(u1), float(v1), float(u0) / tw,
                       (top + float(v0)) / th, float(u1) / tw, (top + float(v1)) / th});
    };

    const int kind = cover_kind_of(blend);
    if (kind < 0 || img.covers.empty()) {
        part(0, 0, img.width, img.height);
    } else if (p.c == 0 || p.s == 0) {
        // Square to the screen, rectangles sharing an edge meet exactly: no seams.
        for (const cell_rect& r : img.covers[std::size_t(frame)].rects[kind])
            part(r.c0 * cover_cell, r.r0 * cover_cell, std::min(r.c1 * cover_cell, img.width),
                 std::min(r.r1 * cover_cell, img.height));
    } else {
        // Turned: one quad around the pixels that show, which keeps the edges seamless.
        const int* b = img.covers[std::size_t(frame)].box[kind];
        if (b[2] > b[0]) part(b[0], b[1], b[2], b[3]);
    }
    return tex;
}

void draw_parts(unsigned texture, int blend, const placement& p,
                const std::vector<quad_part>& parts) {
    // In pieces a queue can always take.
    constexpr std::size_t piece = 4096;
    for (std::size_t at = 0; at < parts.size(); at += piece) {
        const std::size_t n = std::min(piece, parts.size() - at);
        backend::vertex* q = backend::push_quads(texture, blend, int(n));
        if (!q) return;
        for (std::size_t i = at; i < at + n; ++i, q += 4) {
            const quad_part& r = parts[i];
            fill_quad(q, p, r.u0, r.v0, r.u1, r.v1, r.t0, r.s0, r.t1, r.s1);
        }
    }
}

void draw_image(const image_ref& img, float x, float y, int frame) {
    if (!img) return;
    static std::vector<quad_part> parts;  // kept, so a draw allocates nothing
    const int blend = current_draw_state().blend;
    const placement p = current_placement(x, y, img->hx, img->hy);
    const unsigned tex = frame_parts(*img, frame, blend, p, parts);
    if (tex) draw_parts(tex, blend, p, parts);
}

}  // namespace media
