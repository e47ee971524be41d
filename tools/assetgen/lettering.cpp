#include "lettering.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ag {
namespace {

// Glyphs are rasterised this many times larger and averaged down.
constexpr int over = 4;

struct face_handle {
    FT_Library lib = nullptr;
    FT_Face face = nullptr;
    explicit face_handle(const std::string& path) {
        if (FT_Init_FreeType(&lib) != 0) return;
        if (FT_New_Face(lib, path.c_str(), 0, &face) != 0) face = nullptr;
    }
    ~face_handle() {
        if (face) FT_Done_Face(face);
        if (lib) FT_Done_FreeType(lib);
    }
    face_handle(const face_handle&) = delete;
    face_handle& operator=(const face_handle&) = delete;
};

// Walks the text at `over` times the size, calling put(bitmap, left, top) for
// each glyph with pen positions in over-sampled pixels. Returns the advance.
template <class Put>
float layout(FT_Face face, const std::string& text, float px, float tracking, Put put) {
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(std::lround(px * over)));
    float pen_x = 0;
    FT_UInt prev = 0;
    for (unsigned char ch : text) {
        FT_UInt gi = FT_Get_Char_Index(face, ch);
        if (prev && gi && FT_HAS_KERNING(face)) {
            FT_Vector k;
            FT_Get_Kerning(face, prev, gi, FT_KERNING_DEFAULT, &k);
            pen_x += float(k.x) / 64.0f;
        }
        if (FT_Load_Glyph(face, gi, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) != 0) continue;
        FT_GlyphSlot g = face->glyph;
        put(g->bitmap, pen_x + float(g->bitmap_left), float(g->bitmap_top));
        pen_x += float(g->advance.x) / 64.0f + tracking * over;
        prev = gi;
    }
    return pen_x / over;
}

}  // namespace

bool set_text(const std::string& font_path, const std::string& text, float px, int w, int h,
              float x, float baseline, coverage& out, float* advance, float tracking) {
    out = coverage(w, h);
    face_handle fh(font_path);
    if (!fh.face) {
        std::fprintf(stderr, "assetgen: cannot read the font %s\n", font_path.c_str());
        return false;
    }
    coverage big(w * over, h * over);
    float adv =
        layout(fh.face, text, px, tracking, [&](const FT_Bitmap& bm, float left, float top) {
            int ox = int(std::lround(x * over + left)),
                oy = int(std::lround(baseline * over - top));
            for (unsigned r = 0; r < bm.rows; ++r) {
                for (unsigned c = 0; c < bm.width; ++c) {
                    int tx = ox + int(c), ty = oy + int(r);
                    if (tx < 0 || ty < 0 || tx >= big.w || ty >= big.h) continue;
                    float v = float(bm.buffer[r * unsigned(bm.pitch) + c]) / 255.0f;
                    float& d = big.v[size_t(ty) * big.w + tx];
                    d = std::max(d, v);
                }
            }
        });
    for (int y = 0; y < h; ++y) {
        for (int xx = 0; xx < w; ++xx) {
            float s = 0;
            for (int j = 0; j < over; ++j)
                for (int i = 0; i < over; ++i) s += big.at(xx * over + i, y * over + j);
            out.v[size_t(y) * w + xx] = s / float(over * over);
        }
    }
    if (advance) *advance = adv;
    return true;
}

float text_width(const std::string& font_path, const std::string& text, float px, float tracking) {
    face_handle fh(font_path);
    if (!fh.face) return 0;
    return layout(fh.face, text, px, tracking, [](const FT_Bitmap&, float, float) {});
}

std::vector<float> distance_to(const coverage& c, int limit) {
    std::vector<float> d(size_t(c.w) * c.h, float(limit));
    for (int y = 0; y < c.h; ++y) {
        for (int x = 0; x < c.w; ++x) {
            if (c.at(x, y) < 0.5f) continue;
            for (int j = -limit; j <= limit; ++j) {
                for (int i = -limit; i <= limit; ++i) {
                    int tx = x + i, ty = y + j;
                    if (tx < 0 || ty < 0 || tx >= c.w || ty >= c.h) continue;
                    float e = std::sqrt(float(i * i + j * j));
                    float& v = d[size_t(ty) * c.w + tx];
                    v = std::min(v, e);
                }
            }
        }
    }
    return d;
}

}  // namespace ag
