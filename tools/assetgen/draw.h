// Shape helpers over a canvas, in picture pixels; the pen's scale maps them
// onto the super-sampled canvas.
#pragma once

#include <type_traits>
#include <vector>

#include "canvas.h"

namespace ag {

struct pt {
    float x = 0, y = 0;
};
inline pt operator+(pt a, pt b) {
    return {a.x + b.x, a.y + b.y};
}
inline pt operator-(pt a, pt b) {
    return {a.x - b.x, a.y - b.y};
}
inline pt operator*(pt a, float s) {
    return {a.x * s, a.y * s};
}
inline pt lerp(pt a, pt b, float t) {
    return a + (b - a) * t;
}

// Smooth path through the points (Catmull-Rom), sampled `steps` times a span.
std::vector<pt> spline(const std::vector<pt>& p, int steps, bool closed);
bool inside_polygon(const std::vector<pt>& poly, float x, float y);

// Lit from the moon on the upper left: brighter towards (-1, -1) of the shape.
struct lit {
    rgb base;
    float cx, cy, r, amount = 0.35f;
    ink operator()(float x, float y) const {
        float t = ((x - cx) + (y - cy)) / (2.0f * r);
        t = std::clamp(t, -1.0f, 1.0f);
        rgb c = t < 0 ? mix(base, rgb{1, 1, 1}, -t * amount * 0.6f) : base * (1.0f - t * amount);
        return {c, 1.0f};
    }
};

struct pen {
    canvas& cv;
    float s;  // canvas pixels per picture pixel

    template <class Shade>
    static ink shade_at(const Shade& sh, float x, float y) {
        if constexpr (std::is_invocable_v<Shade, float, float>) {
            return sh(x, y);
        } else if constexpr (std::is_same_v<Shade, ink>) {
            return sh;
        } else {
            return ink{sh, 1.0f};
        }
    }

    template <class In, class Shade>
    void region(float x0, float y0, float x1, float y1, In in, const Shade& sh) {
        cv.paint(x0, y0, x1, y1, s, in, [&](float x, float y) { return shade_at(sh, x, y); });
    }

    template <class Shade>
    void ellipse(float cx, float cy, float rx, float ry, float ang_deg, const Shade& sh) {
        float a = ang_deg * 3.14159265f / 180.0f, ca = std::cos(a), sa = std::sin(a);
        float m = std::max(rx, ry);
        region(
            cx - m, cy - m, cx + m, cy + m,
            [=](float x, float y) {
                float dx = x - cx, dy = y - cy;
                float u = (dx * ca + dy * sa) / rx, v = (-dx * sa + dy * ca) / ry;
                return u * u + v * v <= 1.0f;
            },
            sh);
    }

    template <class Shade>
    void circle(float cx, float cy, float r, const Shade& sh) {
        ellipse(cx, cy, r, r, 0, sh);
    }

    template <class Shade>
    void rect(float x0, float y0, float x1, float y1, const Shade& sh) {
        region(
            x0, y0, x1, y1,
            [=](float x, float y) { return x >= x0 && x < x1 && y >= y0 && y < y1; }, sh);
    }

    template <class Shade>
    void poly(const std::vector<pt>& p, const Shade& sh) {
        if (p.empty()) return;
        float x0 = p[0].x, x1 = p[0].x, y0 = p[0].y, y1 = p[0].y;
        for (const pt& q : p) {
            x0 = std::min(x0, q.x), x1 = std::max(x1, q.x);
            y0 = std::min(y0, q.y), y1 = std::max(y1, q.y);
        }
        region(
            x0, y0, x1, y1, [&](float x, float y) { return inside_polygon(p, x, y); }, sh);
    }

    // A closed blob through the points.
    template <class Shade>
    void blob(const std::vector<pt>& p, const Shade& sh) {
        poly(spline(p, 8, true), sh);
    }

    // A stroke from a to b whose radius goes from r0 to r1.
    template <class Shade>
    void line(pt a, pt b, float r0, float r1, const Shade& sh) {
        float m = std::max(r0, r1);
        pt d = b - a;
        float len2 = std::max(d.x * d.x + d.y * d.y, 1e-6f);
        region(
            std::min(a.x, b.x) - m, std::min(a.y, b.y) - m, std::max(a.x, b.x) + m,
            std::max(a.y, b.y) + m,
            [=](float x, float y) {
                float t = std::clamp(((x - a.x) * d.x + (y - a.y) * d.y) / len2, 0.0f, 1.0f);
                float ex = x - (a.x + d.x * t), ey = y - (a.y + d.y * t);
                float r = r0 + (r1 - r0) * t;
                return ex * ex + ey * ey <= r * r;
            },
            sh);
    }

    // A tapered stroke along a smooth path.
    template <class Shade>
    void curve(const std::vector<pt>& p, float r0, float r1, const Shade& sh) {
        std::vector<pt> q = spline(p, 6, false);
        for (size_t i = 0; i + 1 < q.size(); ++i) {
            float t0 = float(i) / float(q.size() - 1), t1 = float(i + 1) / float(q.size() - 1);
            line(q[i], q[i + 1], r0 + (r1 - r0) * t0, r0 + (r1 - r0) * t1, sh);
        }
    }
};

}  // namespace ag
