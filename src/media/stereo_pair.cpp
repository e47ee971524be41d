// Stereo pairs fused on the GPU: per part of a drawing, one quad over both eye copies
// that tells the pair program where each copy lies and samples it there.
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

// Where one copy of a part lies: its corners, and the way back from the screen to its
// texture coordinates.
struct copy_of_part {
    point corner[4];
    const placement* p;
    const quad_part* r;

    void texture_at(point at, float& t, float& s) const {
        // The inverse of placement::to_screen, then the part's pixels to its texels.
        const float dx = at.x - p->x, dy = at.y - p->y;
        const float u = (dx * p->c + dy * p->s) / p->sx + p->hx;
        const float v = (dy * p->c - dx * p->s) / p->sy + p->hy;
        t = r->t0 + (u - r->u0) * (r->t1 - r->t0) / (r->u1 - r->u0);
        s = r->s0 + (v - r->v0) * (r->s1 - r->s0) / (r->v1 - r->v0);
    }
};

copy_of_part place_copy(const placement& p, const quad_part& r) {
    copy_of_part c{{}, &p, &r};
    const float us[4] = {r.u0, r.u1, r.u1, r.u0}, vs[4] = {r.v0, r.v0, r.v1, r.v1};
    // The same arithmetic as fill_quad, so the edges are those a light draw would have.
    for (int k = 0; k < 4; ++k) p.to_screen(us[k], vs[k], c.corner[k].x, c.corner[k].y);
    return c;
}

float cross(point o, point a, point b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// The convex hull of both copies' corners, in order: a rectangle for copies square to the
// screen, up to a hexagon for turned ones. Fewer than 3 points when it covers nothing.
int hull_of(const copy_of_part& a, const copy_of_part& b, std::array<point, 8>& out) {
    std::array<point, 8> pts;
    std::copy(a.corner, a.corner + 4, pts.begin());
    std::copy(b.corner, b.corner + 4, pts.begin() + 4);
    std::sort(pts.begin(), pts.end(),
              [](point l, point r) { return l.x < r.x || (l.x == r.x && l.y < r.y); });
    std::array<point, 16> h;
    int n = 0;
    for (int pass = 0; pass < 2; ++pass) {
        const int start = n;
        for (int i = 0; i < 8; ++i) {
            const point q = pts[std::size_t(pass == 0 ? i : 7 - i)];
            while (n >= start + 2 && cross(h[std::size_t(n - 2)], h[std::size_t(n - 1)], q) <= 0)
                --n;
            h[std::size_t(n++)] = q;
        }
        --n;  // each chain's last point starts the other
    }
    std::copy(h.begin(), h.begin() + std::min(n, 8), out.begin());
    return std::min(n, 8);
}

tint clamped(tint t) {
    return {std::clamp(t.r, 0, 255), std::clamp(t.g, 0, 255), std::clamp(t.b, 0, 255)};
}

// Whether a pixel centre c in [lo, hi), on the screen's 0 .. size, has f(c) within a hair
// of a whole number.
template <typename F>
bool centre_on_whole(double lo, double hi, int size, F f) {
    const double last = std::min(hi, double(size));
    for (double j = std::max(std::ceil(lo - 0.5), 0.0); j + 0.5 < last; ++j) {
        const double t = f(j + 0.5);
        if (std::fabs(t - std::round(t)) < 1e-3) return true;
    }
    return false;
}

// Whether nearest sampling of a copy square to the screen meets a texel edge exactly at
// some pixel centre (the landscape stretched by 1.5, the title on a half pixel). Which
// texel such a pixel gets depends on the rounding of the quad it is drawn with, so the
// copy keeps a quad of its own there.
bool samples_on_texel_edges(const copy_of_part& cp) {
    const placement& p = *cp.p;
    double x0 = cp.corner[0].x, x1 = x0, y0 = cp.corner[0].y, y1 = y0;
    for (const point& q : cp.corner) {
        x0 = std::min(x0, double(q.x)), x1 = std::max(x1, double(q.x));
        y0 = std::min(y0, double(q.y)), y1 = std::max(y1, double(q.y));
    }
    // Frame pixels from the part's corner; a texel edge is a whole number in both
    // pictures and glyphs. Upright, u follows screen x and v screen y; on its side, swapped.
    const auto u_at = [&](double dx, double dy) {
        return (dx * p.c + dy * p.s) / p.sx + p.hx - cp.r->u0;
    };
    const auto v_at = [&](double dx, double dy) {
        return (dy * p.c - dx * p.s) / p.sy + p.hy - cp.r->v0;
    };
    const bool upright = p.s == 0;
    const auto along_x = [&](auto f) {
        // At a unit step every centre lands alike: one tells.
        const double step = std::fabs(f(1.0, 0.0) - f(0.0, 0.0));
        return centre_on_whole(x0, step == 1.0 ? std::min(x1, std::ceil(x0 - 0.5) + 1.0) : x1,
                               graphics_width(), [&](double c) { return f(c - p.x, 0.0); });
    };
    const auto along_y = [&](auto f) {
        const double step = std::fabs(f(0.0, 1.0) - f(0.0, 0.0));
        return centre_on_whole(y0, step == 1.0 ? std::min(y1, std::ceil(y0 - 0.5) + 1.0) : y1,
                               graphics_height(), [&](double c) { return f(0.0, c - p.y); });
    };
    return upright ? along_x(u_at) || along_y(v_at) : along_y(u_at) || along_x(v_at);
}

struct pair_builder {
    backend::pair_vertex base;
    std::vector<backend::pair_vertex>& quads;   // four corners a quad, sampling both copies
    std::vector<backend::pair_vertex>& alones;  // the same for copies on their own quads

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

    // Turned copies: one quad over both; each fragment samples both and keeps what
    // falls inside the part.
    void turned(const copy_of_part& l, const copy_of_part& r) {
        std::array<point, 8> h;
        const int n = hull_of(l, r, h);
        if (n < 3) return;
        backend::pair_vertex v = base;
        const quad_part& t = *l.r;
        v.box[0] = std::min(t.t0, t.t1);
        v.box[1] = std::min(t.s0, t.s1);
        v.box[2] = std::max(t.t0, t.t1);
        v.box[3] = std::max(t.s0, t.s1);
        // A fan from the first corner, two triangles a quad; a corner past the last
        // repeats it, which leaves an odd triangle out.
        for (int first = 1; first < n - 1; first += 2) {
            for (int c : {0, first, first + 1, first + 2}) {
                const point at = h[std::size_t(std::min(c, n - 1))];
                v.x = at.x;
                v.y = at.y;
                l.texture_at(at, v.lu, v.lv);
                r.texture_at(at, v.ru, v.rv);
                quads.push_back(v);
            }
        }
    }

    // A copy alone, on the very quad a light draw would use; its tint goes in the left's
    // place, where the one-copy program reads it.
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
            alones.push_back(v);
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
    constexpr std::size_t piece = 4096 * 4;  // corners of quads a queue can always take
    for (std::size_t at = 0; at < quads.size(); at += piece) {
        const std::size_t n = std::min(piece, quads.size() - at);
        backend::pair_vertex* q = backend::push_pair_quads(texture, int(n / 4), kind);
        if (!q) return;
        std::memcpy(static_cast<void*>(q), &quads[at], n * sizeof(backend::pair_vertex));
    }
}

void push_pairs(unsigned texture, bool nearest, const placement& p,
                const std::vector<quad_part>& parts, tint left, tint right, float offs,
                int passes) {
    // A copy squeezed flat covers no pixel; NaN scales fail here too.
    if (!(p.sx != 0 && p.sy != 0) || parts.empty()) return;
    static std::vector<backend::pair_vertex> quads, alones;
    quads.clear();
    alones.clear();
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
    pair_builder b{base, quads, alones};
    const bool square = p.c == 0 || p.s == 0;
    for (const quad_part& part : parts) {
        const copy_of_part l = place_copy(pl, part), r = place_copy(pr, part);
        if (!square) {
            b.turned(l, r);
        } else if (nearest && (samples_on_texel_edges(l) || samples_on_texel_edges(r))) {
            b.alone(l, true);
            b.alone(r, false);
        } else {
            b.square(l, r);
        }
    }
    // Light draws add in any order, so each kind of quad goes as one run.
    send(texture, quads, square ? backend::pair_kind::square : backend::pair_kind::turned);
    send(texture, alones, backend::pair_kind::alone);
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
    if (tex) push_pairs(tex, !(img->flags & img_filtered), p, parts, left, right, offs, passes);
}

void draw_text_pair(const std::string& text, float x, float y, tint left, tint right, float offs,
                    int passes) {
    if (passes < 1) return;
    std::vector<quad_part>& parts = scratch_parts();
    const unsigned tex = caption_parts(text, parts);
    if (tex)
        push_pairs(tex, !current_font_smooth(), current_placement(x, y, 0, 0), parts, left, right,
                   offs, passes);
}

}  // namespace media
