// Stereo pairs kept as pictures. The background and the scenery come back every frame as
// the same quads moved by whole pixels, so they add the same pixels, moved. Such a pair
// is drawn once into a texture of its own and from then on added from there: one sample
// a pixel instead of two copies' samples and tints, which is most of what stereo costs.
// Moved by whole pixels, a quad covers the same pixels moved and samples the same texels
// (every corner and texture coordinate is the same), so the kept picture is exact.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "media/backend/gl/gl_internal.h"
#include "media/backend/gl/gl_renderer.h"

namespace media::backend {

namespace {

constexpr std::size_t most_kept = 8;         // the background, four scenery strips, a title
constexpr float least_area = 64.0f * 64.0f;  // smaller pairs cost less than keeping them

struct kept_pair {
    unsigned source = 0;
    std::vector<pair_vertex> quads;  // moved to the picture's top-left corner
    gl_texture picture;
    std::uint64_t last_use = 0, last_frame = 0;
};

struct asked_pair {
    std::uint64_t print = 0, frame = 0;
};

struct kept_state {
    std::vector<std::unique_ptr<kept_pair>> kept;
    // Pairs asked for lately that were not kept. Only a pair that comes back in a later
    // frame is worth a picture: one that moves by parts of a pixel is never kept.
    std::array<asked_pair, 16> asked{};
    std::size_t next_ask = 0;
    std::uint64_t clock = 0, frame = 1;
    bool kept_this_frame = false;
};

kept_state& ks() {
    static kept_state s;
    return s;
}

std::uint64_t fingerprint(unsigned source, const std::vector<pair_vertex>& quads) {
    std::uint64_t h = 14695981039346656037ull ^ source;
    const auto* bytes = reinterpret_cast<const unsigned char*>(quads.data());
    for (std::size_t i = 0; i < quads.size() * sizeof(pair_vertex); ++i)
        h = (h ^ bytes[i]) * 1099511628211ull;
    return h;
}

bool same(const kept_pair& k, unsigned source, const std::vector<pair_vertex>& quads) {
    return k.source == source && k.quads.size() == quads.size() &&
           std::memcmp(k.quads.data(), quads.data(), quads.size() * sizeof(pair_vertex)) == 0;
}

// Entries go out of the list before they are destroyed: a texture's release comes back
// here to forget pairs drawn from it.
template <typename Doomed>
void drop_where(Doomed doomed) {
    std::vector<std::unique_ptr<kept_pair>> gone;
    std::vector<std::unique_ptr<kept_pair>>& kept = ks().kept;
    for (auto& k : kept)
        if (doomed(*k)) gone.push_back(std::move(k));
    kept.erase(std::remove(kept.begin(), kept.end(), nullptr), kept.end());
}

// Room for one more, if a picture not drawn from in this frame can go: pictures that
// take turns, like bursts of one size here and there, never push the scenery out.
bool make_room() {
    kept_state& s = ks();
    if (s.kept.size() < most_kept) return true;
    kept_pair* oldest = nullptr;
    for (auto& k : s.kept)
        if (k->last_frame < s.frame && (!oldest || k->last_use < oldest->last_use))
            oldest = k.get();
    if (!oldest) return false;
    drop_where([&](const kept_pair& k) { return &k == oldest; });
    return true;
}

kept_pair* find_or_keep(unsigned source, const std::vector<pair_vertex>& quads, int w, int h) {
    kept_state& s = ks();
    for (auto& k : s.kept)
        if (same(*k, source, quads) && k->picture.valid()) return k.get();
    const std::uint64_t print = fingerprint(source, quads);
    const auto asked = std::find_if(s.asked.begin(), s.asked.end(),
                                    [&](const asked_pair& a) { return a.print == print; });
    if (asked == s.asked.end()) {
        s.asked[s.next_ask++ % s.asked.size()] = {print, s.frame};
        return nullptr;
    }
    // One new picture a frame at most: keeping costs more than drawing once.
    if (asked->frame == s.frame || s.kept_this_frame || !make_room()) return nullptr;
    s.kept_this_frame = true;
    auto k = std::make_unique<kept_pair>();
    k->source = source;
    k->quads = quads;
    if (!k->picture.create(w, h, false, false) ||
        !draw_pairs_into(k->picture, source, quads.data(), int(quads.size() / 4)))
        return nullptr;
    s.kept.push_back(std::move(k));
    return s.kept.back().get();
}

}  // namespace

bool draw_kept_pair(unsigned texture, const pair_vertex* quads, int count) {
    if (count <= 0 || !renderer_is_open() || texture_smooth(texture)) return false;
    float x0 = quads[0].x, y0 = quads[0].y, x1 = x0, y1 = y0;
    for (int i = 0; i < count * 4; ++i) {
        x0 = std::min(x0, quads[i].x), x1 = std::max(x1, quads[i].x);
        y0 = std::min(y0, quads[i].y), y1 = std::max(y1, quads[i].y);
    }
    // Far off, or not numbers at all: drawn as they come.
    if (!(x0 > -8192 && y0 > -8192 && x1 < 8192 && y1 < 8192)) return false;
    if ((x1 - x0) * (y1 - y0) < least_area) return false;
    // Corners snap to the 1/16-pixel grid, never past the whole pixels around them.
    const float left = std::floor(x0), top = std::floor(y0);
    const int w = int(std::ceil(x1) - left), h = int(std::ceil(y1) - top);
    static std::vector<pair_vertex> moved;
    moved.assign(quads, quads + count * 4);
    for (pair_vertex& v : moved) v.x -= left, v.y -= top;

    kept_pair* k = find_or_keep(texture, moved, w, h);
    if (!k) return false;
    k->last_use = ++ks().clock;
    k->last_frame = ks().frame;
    vertex* q = push_kept_quads(k->picture.name(), 1);
    if (!q) return false;
    const float r = left + float(w), b = top + float(h);
    const vertex corners[4] = {{left, top, 0, 0, 255, 255, 255, 255},
                               {r, top, 1, 0, 255, 255, 255, 255},
                               {r, b, 1, 1, 255, 255, 255, 255},
                               {left, b, 0, 1, 255, 255, 255, 255}};
    std::copy(corners, corners + 4, q);
    return true;
}

void kept_pairs_next_frame() {
    ++ks().frame;
    ks().kept_this_frame = false;
}

void forget_kept_pairs_of(unsigned texture) {
    drop_where([&](const kept_pair& k) { return k.source == texture; });
}

void forget_kept_pairs() {
    drop_where([](const kept_pair&) { return true; });
    ks().asked.fill({});
}

}  // namespace media::backend
