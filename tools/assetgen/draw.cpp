#include "draw.h"

namespace ag {

std::vector<pt> spline(const std::vector<pt>& p, int steps, bool closed) {
    std::vector<pt> out;
    int n = int(p.size());
    if (n < 3) return p;
    auto get = [&](int i) {
        if (closed) return p[size_t((i % n + n) % n)];
        return p[size_t(std::clamp(i, 0, n - 1))];
    };
    int spans = closed ? n : n - 1;
    for (int i = 0; i < spans; ++i) {
        pt p0 = get(i - 1), p1 = get(i), p2 = get(i + 1), p3 = get(i + 2);
        for (int k = 0; k < steps; ++k) {
            float t = float(k) / float(steps), t2 = t * t, t3 = t2 * t;
            auto cr = [&](float a, float b, float c, float d) {
                return 0.5f * (2 * b + (-a + c) * t + (2 * a - 5 * b + 4 * c - d) * t2 +
                               (-a + 3 * b - 3 * c + d) * t3);
            };
            out.push_back({cr(p0.x, p1.x, p2.x, p3.x), cr(p0.y, p1.y, p2.y, p3.y)});
        }
    }
    if (!closed) out.push_back(p.back());
    return out;
}

bool inside_polygon(const std::vector<pt>& poly, float x, float y) {
    bool in = false;
    size_t n = poly.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const pt& a = poly[i];
        const pt& b = poly[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
    }
    return in;
}

}  // namespace ag
