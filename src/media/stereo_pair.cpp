// Stereo pairs fused on the GPU: per part of a drawing square to the screen, quads over
// both eye copies that tell the pair program where each copy lies and sample it there;
// turned copies each keep their own quad, in the same draw call.
#include "media/stereo_pair.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "media/display.h"
#include "media/draw_state.h"
#include "media/image_data.h"

namespace media {

namespace {

struct point {
    float x, y;
};

// Where the GL puts a corner: on the renderer's 1/16-pixel grid, as its vertex programs do.
float on_grid(float v) {
    return std::floor(v * 16.0f + 0.5f) / 16.0f;
}

// Where one copy of a part lies: its corners on the grid, and the way back from the
// screen to its texture coordinates as the GL interpolates them over the copy's own quad.
struct copy_of_part {
    point corner[4];
    const quad_part* r;

    // Only for copies square to the screen, whose quads stay rectangles on the grid.
    void texture_at(point at, float& t, float& s) const {
        const point e1{corner[1].x - corner[0].x, corner[1].y - corner[0].y};  // along u
        const point e3{corner[3].x - corner[0].x, corner[3].y - corner[0].y};  // along v
        const float dx = at.x - corner[0].x, dy = at.y - corner[0].y;
        const float det = e1.x * e3.y - e1.y * e3.x;
        const float a = (dx * e3.y - dy * e3.x) / det, b = (e1.x * dy - e1.y * dx) / det;
        t = r->t0 + a * (r->t1 - r->t0);
        s = r->s0 + b * (r->s1 - r->s0);
    }
};

copy_of_part place_copy(const placement& p, const quad_part& r) {
    copy_of_part c{{}, &r};
    const float us[4] = {r.u0, r.u1, r.u1, r.u0}, vs[4] = {r.v0, r.v0, r.v1, r.v1};
    // The same arithmetic as fill_quad, so the edges are those a light draw would have.
    for (int k = 0; k < 4; ++k) {
        p.to_screen(us[k], vs[k], c.corner[k].x, c.corner[k].y);
        c.corner[k] = {on_grid(c.corner[k].x), on_grid(c.corner[k].y)};
    }
    return c;
}

// A square copy narrower than the grid covers no pixel, and has no way back to its texels.
bool flat_on_grid(const copy_of_part& c) {
    return c.corner[0].x == c.corner[2].x || c.corner[0].y == c.corner[2].y;
}

tint clamped(tint t) {
    return {std::clamp(t.r, 0, 255), std::clamp(t.g, 0, 255), std::clamp(t.b, 0, 255)};
}

struct pair_builder {
    backend::pair_vertex base;
    std::vector<backend::pair_vertex>& quads;  // four corners a quad, sampling both copies

    // The part's copies square to the screen: their union cut at every edge of either
    // copy, so each strip lies in one copy or in both. The cuts fall on the very corners
    // the copies' own quads would have, and so do the pixels that each strip covers.
    void square(const copy_of_part& l, const copy_of_part& r) {
        float lx[2], rx[2], y[2];
        span(l, &point::x, lx);
        span(r, &point::x, rx);
        span(l, &point::y, y);
        std::array<float, 4> cuts = {lx[0], lx[1], rx[0], rx[1]};
        std::sort(cuts.begin(), cuts.end());
        for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
            const float x0 = cuts[k], x1 = cuts[k + 1];
            if (!(x0 < x1)) continue;
            const bool in_l = lx[0] <= x0 && x1 <= lx[1], in_r = rx[0] <= x0 && x1 <= rx[1];
            if (!in_l && !in_r) continue;  // the gap between copies far apart
            backend::pair_vertex v = base;
            if (!in_l) v.lr = v.lg = v.lb = 0;
            if (!in_r) v.rr = v.rg = v.rb = 0;
            for (const point at :
                 {point{x0, y[0]}, point{x1, y[0]}, point{x1, y[1]}, point{x0, y[1]}}) {
                v.x = at.x;
                v.y = at.y;
                (in_l ? l : r).texture_at(at, v.lu, v.lv);
                (in_r ? r : l).texture_at(at, v.ru, v.rv);
                quads.push_back(v);
            }
        }
    }

    // A turned copy alone, on the very quad its light draw would use; its tint goes in the
    // left's place, where the one-copy program reads it.
    void alone(const copy_of_part& c, bool is_left) {
        backend::pair_vertex v = base;
        if (!is_left) v.lr = v.rr, v.lg = v.rg, v.lb = v.rb;
        const quad_part& t = *c.r;
        const float ts[4] = {t.t0, t.t1, t.t1, t.t0}, ss[4] = {t.s0, t.s0, t.s1, t.s1};
        for (int k = 0; k < 4; ++k) {
            v.x = c.corner[k].x;
            v.y = c.corner[k].y;
            v.lu = ts[k];
            v.lv = ss[k];
            quads.push_back(v);
        }
    }

    static void span(const copy_of_part& c, float point::*axis, float (&out)[2]) {
        out[0] = out[1] = c.corner[0].*axis;
        for (const point& q : c.corner)
            out[0] = std::min(out[0], q.*axis), out[1] = std::max(out[1], q.*axis);
    }
};

void send(unsigned texture, const std::vector<backend::pair_vertex>& quads,
          backend::pair_kind kind) {
    if (kind == backend::pair_kind::square &&
        backend::draw_kept_pair(texture, quads.data(), int(quads.size() / 4)))
        return;
    constexpr std::size_t piece = 4096 * 4;  // corners of quads a queue can always take
    for (std::size_t at = 0; at < quads.size(); at += piece) {
        const std::size_t n = std::min(piece, quads.size() - at);
        backend::pair_vertex* q = backend::push_pair_quads(texture, int(n / 4), kind);
        if (!q) return;
        std::memcpy(static_cast<void*>(q), &quads[at], n * sizeof(backend::pair_vertex));
    }
}

void push_pairs(unsigned texture, const placement& p, const std::vector<quad_part>& parts,
                tint left, tint right, float offs, int passes) {
    // A copy squeezed flat covers no pixel; NaN scales fail here too.
    if (!(p.sx != 0 && p.sy != 0) || parts.empty()) return;
    static std::vector<backend::pair_vertex> quads;
    quads.clear();
    placement pl = p, pr = p;
    pl.x = p.x - offs;
    pr.x = p.x + offs;
    left = clamped(left);
    right = clamped(right);
    backend::pair_vertex base{};
    base.lr = std::uint8_t(left.r), base.lg = std::uint8_t(left.g), base.lb = std::uint8_t(left.b);
    base.rr = std::uint8_t(right.r), base.rg = std::uint8_t(right.g);
    base.rb = std::uint8_t(right.b);
    base.alpha = std::uint8_t(std::lround(current_draw_state().alpha * 255.0f));
    // Every pass past 255 adds at least 1 to whatever the first 255 left below white.
    base.passes = std::uint8_t(std::min(passes, 255));
    pair_builder b{base, quads};
    const bool square = p.c == 0 || p.s == 0;
    for (const quad_part& part : parts) {
        const copy_of_part l = place_copy(pl, part), r = place_copy(pr, part);
        if (!square) {
            b.alone(l, true);
            b.alone(r, false);
        } else if (!flat_on_grid(l) && !flat_on_grid(r)) {
            b.square(l, r);
        }
    }
    send(texture, quads, square ? backend::pair_kind::square : backend::pair_kind::alone);
}

std::vector<quad_part>& scratch_parts() {
    static std::vector<quad_part> parts;  // kept, so a draw allocates nothing
    return parts;
}

}  // namespace

void draw_image_pair(const image_ref& img, float x, float y, int frame, tint left, tint right,
                     float offs, int passes) {
    if (!img || passes < 1) return;
    const placement p = current_placement(x, y, img->hx, img->hy);
    std::vector<quad_part>& parts = scratch_parts();
    const unsigned tex = frame_parts(*img, frame, blend_light, p, parts);
    if (tex) push_pairs(tex, p, parts, left, right, offs, passes);
}

void draw_text_pair(const std::string& text, float x, float y, tint left, tint right, float offs,
                    int passes) {
    if (passes < 1) return;
    std::vector<quad_part>& parts = scratch_parts();
    const unsigned tex = caption_parts(text, parts);
    if (tex) push_pairs(tex, current_placement(x, y, 0, 0), parts, left, right, offs, passes);
}

}  // namespace media
