#include "synth.h"

#include <algorithm>

namespace ag {

void biquad::set(kind k, float hz, float q) {
    float w = float(2 * pi) * std::min(hz, 0.45f * sample_rate) / sample_rate;
    float cw = std::cos(w), alpha = std::sin(w) / (2 * q);
    float n0, n1, n2;
    if (k == low)
        n0 = (1 - cw) / 2, n1 = 1 - cw, n2 = (1 - cw) / 2;
    else if (k == high)
        n0 = (1 + cw) / 2, n1 = -(1 + cw), n2 = (1 + cw) / 2;
    else
        n0 = alpha, n1 = 0, n2 = -alpha;
    float d0 = 1 + alpha;
    b0 = n0 / d0, b1 = n1 / d0, b2 = n2 / d0;
    a1 = -2 * cw / d0, a2 = (1 - alpha) / d0;
}

namespace {

struct comb {
    std::vector<float> buf;
    size_t i = 0;
    float store = 0;
    float run(float x, float fb, float damp) {
        float y = buf[i];
        store = y * (1 - damp) + store * damp;
        buf[i] = x + store * fb;
        if (++i == buf.size()) i = 0;
        return y;
    }
};
struct allpass {
    std::vector<float> buf;
    size_t i = 0;
    float run(float x) {
        float b = buf[i];
        float y = -x + b;
        buf[i] = x + b * 0.5f;
        if (++i == buf.size()) i = 0;
        return y;
    }
};

struct plate {
    std::vector<comb> combs;
    std::vector<allpass> passes;
    plate(int spread) {
        for (int n : {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617})
            combs.push_back({std::vector<float>(size_t(n + spread), 0.0f)});
        for (int n : {556, 441, 341, 225})
            passes.push_back({std::vector<float>(size_t(n + spread), 0.0f)});
    }
    float run(float x, float room, float damp) {
        float sum = 0;
        for (comb& c : combs) sum += c.run(x * 0.015f, room, damp);
        for (allpass& a : passes) sum = a.run(sum);
        return sum;
    }
};

// Runs the reverb over the buffer once (or, for a loop, twice round so its
// state at the start is what the end left behind) and mixes it in.
void apply(mono& io, plate& pl, float mix, float room, float damp, bool loop) {
    mono wet(io.size());
    if (loop)
        for (float x : io) pl.run(x, room, damp);
    for (size_t i = 0; i < io.size(); ++i) wet[i] = pl.run(io[i], room, damp);
    if (!loop) {
        // Let the tail ring out past the end instead of cutting it.
        size_t tail = secs(room * 2.5f);
        for (size_t i = 0; i < tail; ++i) wet.push_back(pl.run(0, room, damp));
        io.resize(wet.size(), 0.0f);
    }
    for (size_t i = 0; i < io.size(); ++i) io[i] = io[i] * (1 - mix * 0.5f) + wet[i] * mix * 3.0f;
}

}  // namespace

void reverb(mono& io, float mix, float room, float damp, bool loop, uint32_t seed) {
    plate pl(int(seed % 7) * 3);
    apply(io, pl, mix, room, damp, loop);
}

void reverb_stereo(mono& left, mono& right, float mix, float room, float damp, bool loop) {
    plate pl(0), pr(23);
    apply(left, pl, mix, room, damp, loop);
    apply(right, pr, mix, room, damp, loop);
}

void fade_ends(mono& s, double in_secs, double out_secs) {
    size_t n_in = std::min(secs(in_secs), s.size()), n_out = std::min(secs(out_secs), s.size());
    for (size_t i = 0; i < n_in; ++i)
        s[i] *= float(0.5 - 0.5 * std::cos(pi * double(i) / double(n_in)));
    for (size_t i = 0; i < n_out; ++i)
        s[s.size() - 1 - i] *= float(0.5 - 0.5 * std::cos(pi * double(i) / double(n_out)));
    if (!s.empty()) s.back() = 0.0f;
}

float peak(const mono& s) {
    float p = 0;
    for (float v : s) p = std::max(p, std::fabs(v));
    return p;
}

float rms(const mono& s) {
    double sum = 0;
    for (float v : s) sum += double(v) * v;
    return s.empty() ? 0.0f : float(std::sqrt(sum / double(s.size())));
}

namespace {

float loudest_window(const mono& l, const mono* r, double window) {
    size_t win = secs(window);
    double best = 0, sum = 0;
    auto sq = [&](size_t i) {
        double v = double(l[i]) * l[i];
        if (r) v = 0.5 * (v + double((*r)[i]) * (*r)[i]);
        return v;
    };
    for (size_t i = 0; i < l.size(); ++i) {
        sum += sq(i);
        if (i >= win) sum -= sq(i - win);
        best = std::max(best, sum);
    }
    return float(std::sqrt(best / double(std::min(win, std::max<size_t>(l.size(), 1)))));
}

// Gain that follows the peaks down fast and recovers slowly, so loud hits
// stay under the ceiling without pumping the rest.
void limit(mono& l, mono* r, float ceiling, bool loop) {
    size_t n = l.size(), look = secs(0.004);
    if (n == 0) return;
    // What each sample needs, then the least of it over the look-ahead window
    // (a sliding minimum; a loop looks ahead round into its beginning).
    std::vector<float> need(n + look, 1.0f);
    for (size_t i = 0; i < n; ++i) {
        float p = std::fabs(l[i]);
        if (r) p = std::max(p, std::fabs((*r)[i]));
        if (p > ceiling) need[i] = ceiling / p;
    }
    if (loop)
        for (size_t k = 0; k < look; ++k) need[n + k] = need[k % n];
    std::vector<float> target(n);
    std::vector<size_t> q;  // indices with rising need values
    size_t head = 0;
    for (size_t j = 0; j < n + look; ++j) {
        while (q.size() > head && need[q.back()] >= need[j]) q.pop_back();
        q.push_back(j);
        if (j < look) continue;
        size_t i = j - look;
        while (q[head] < i) ++head;
        target[i] = need[q[head]];
    }
    float rel = 1.0f - std::exp(-1.0f / float(secs(0.08)));
    std::vector<float> g(n, 1.0f);
    float cur = 1.0f;
    for (int pass = 0; pass < (loop ? 2 : 1); ++pass) {
        for (size_t i = 0; i < n; ++i) {
            cur = target[i] < cur ? target[i] : cur + (target[i] - cur) * rel;
            g[i] = cur;
        }
    }
    for (size_t i = 0; i < n; ++i) {
        l[i] *= g[i];
        if (r) (*r)[i] *= g[i];
    }
}

}  // namespace

void level(mono& s, float rms_db, float peak_db) {
    float w = loudest_window(s, nullptr, 0.3);
    if (w <= 0) return;
    float gain = db(rms_db) / w;
    for (float& v : s) v *= gain;
    limit(s, nullptr, db(peak_db), false);
}

void level_stereo(mono& l, mono& r, float rms_db, float peak_db, bool loop) {
    double sum = 0;
    for (size_t i = 0; i < l.size(); ++i) sum += 0.5 * (double(l[i]) * l[i] + double(r[i]) * r[i]);
    float whole = float(std::sqrt(sum / double(std::max<size_t>(l.size(), 1))));
    if (whole <= 0) return;
    float gain = db(rms_db) / whole;
    for (size_t i = 0; i < l.size(); ++i) l[i] *= gain, r[i] *= gain;
    limit(l, &r, db(peak_db), loop);
}

sound to_sound(const mono& s) {
    return {1, s};
}

sound to_sound(const mono& l, const mono& r) {
    sound out{2, {}};
    out.data.resize(l.size() * 2);
    for (size_t i = 0; i < l.size(); ++i) out.data[i * 2] = l[i], out.data[i * 2 + 1] = r[i];
    return out;
}

}  // namespace ag
