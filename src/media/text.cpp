// Text: a face rendered once per character into one atlas texture, so that a whole
// caption is one run of quads and one draw call.
#include "media/text.h"

#include <algorithm>
#include <unordered_map>

#include "media/backend/decoders/glyph_raster.h"
#include "media/draw_state.h"
#include "media/files.h"
#include "media/image_data.h"
#include "media/log.h"

namespace media {

namespace {

struct glyph_entry {
    bool found = false;
    float advance = 0;
    int w = 0, h = 0;    // glyph image, border included
    int ox = 0, oy = 0;  // its top-left from the pen on the ascender line
    int ax = 0, ay = 0;  // its place in the atlas
};

constexpr int atlas_width = 512;
constexpr int atlas_max_height = 4096;

}  // namespace

struct font {
    std::unique_ptr<backend::glyph_raster> raster;
    bool smooth = false;
    std::unordered_map<char32_t, glyph_entry> glyphs;
    int atlas_h = 128;
    std::vector<std::uint8_t> atlas = std::vector<std::uint8_t>(atlas_width * 128 * 4, 0);
    int pen_x = 1, pen_y = 1, row_h = 0;
    int stale_y0 = 0, stale_y1 = 0;  // atlas rows not yet in the texture
    backend::gl_texture texture;
};

namespace {

font_ref& current_font() {
    static font_ref f;
    return f;
}

// UTF-8, with stray bytes read as Latin-1 so that no text is lost to a bad byte.
std::vector<char32_t> characters(const std::string& text) {
    std::vector<char32_t> out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        int extra = b >= 0xf0 ? 3 : b >= 0xe0 ? 2 : b >= 0xc0 ? 1 : 0;
        char32_t c = extra == 3 ? b & 0x07u : extra == 2 ? b & 0x0fu : b & 0x1fu;
        bool ok = b < 0x80 || (b >= 0xc2 && b < 0xf5 && i + std::size_t(extra) < text.size());
        for (int k = 1; ok && k <= extra; ++k) {
            const auto n = static_cast<unsigned char>(text[i + std::size_t(k)]);
            ok = (n & 0xc0) == 0x80;
            c = (c << 6) | (n & 0x3fu);
        }
        if (b < 0x80 || !ok) {
            out.push_back(b);
            ++i;
        } else {
            out.push_back(c);
            i += std::size_t(extra) + 1;
        }
    }
    return out;
}

bool reserve_atlas(font& f, int w, int h, int& ax, int& ay) {
    if (w + 2 > atlas_width) return false;
    if (f.pen_x + w + 1 > atlas_width) {
        f.pen_x = 1;
        f.pen_y += f.row_h + 1;
        f.row_h = 0;
    }
    while (f.pen_y + h + 1 > f.atlas_h) {
        if (f.atlas_h * 2 > atlas_max_height) return false;
        // Rows keep their place, so glyphs already packed stay valid; the texture is remade.
        f.atlas_h *= 2;
        f.atlas.resize(std::size_t(atlas_width) * std::size_t(f.atlas_h) * 4, 0);
        f.texture.release();
    }
    ax = f.pen_x;
    ay = f.pen_y;
    f.pen_x += w + 1;
    f.row_h = std::max(f.row_h, h);
    return true;
}

const glyph_entry& glyph(font& f, char32_t ch) {
    const auto it = f.glyphs.find(ch);
    if (it != f.glyphs.end()) return it->second;
    glyph_entry& e = f.glyphs[ch];
    backend::glyph_bitmap bm;
    if (!f.raster->render(ch, bm)) return e;
    e.found = true;
    e.advance = bm.advance;
    if (bm.width == 0 || bm.height == 0) return e;
    // A smooth font's glyphs carry a clear border, so filtering fades out at their edges. A
    // sharp font's have a row and a column before them that repeat their first: the texel
    // rule reads there for pixel centres on the glyph's top or left edge.
    const int border = f.smooth ? 1 : 0, lead = f.smooth ? 0 : 1;
    e.w = bm.width + 2 * border;
    e.h = bm.height + 2 * border;
    e.ox = bm.left - border;
    e.oy = f.raster->ascender() - bm.top - border;
    if (!reserve_atlas(f, e.w + lead, e.h + lead, e.ax, e.ay)) {
        e.w = e.h = 0;
        return e;
    }
    e.ax += lead;
    e.ay += lead;
    for (int y = -lead; y < bm.height; ++y) {
        for (int x = -lead; x < bm.width; ++x) {
            const std::size_t at =
                (std::size_t(e.ay + border + y) * atlas_width + std::size_t(e.ax + border + x)) * 4;
            const std::size_t from = std::size_t(std::max(y, 0)) * std::size_t(bm.width);
            f.atlas[at] = f.atlas[at + 1] = f.atlas[at + 2] = 255;
            f.atlas[at + 3] = bm.coverage[from + std::size_t(std::max(x, 0))];
        }
    }
    if (f.stale_y0 == f.stale_y1) f.stale_y0 = e.ay - lead, f.stale_y1 = e.ay + e.h;
    f.stale_y0 = std::min(f.stale_y0, e.ay - lead);
    f.stale_y1 = std::max(f.stale_y1, e.ay + e.h);
    return e;
}

unsigned font_texture(font& f) {
    if (!backend::renderer_is_open()) return 0;
    if (!f.texture.valid()) {
        if (!f.texture.create(atlas_width, f.atlas_h, f.smooth, f.smooth)) return 0;
        f.texture.upload(0, 0, atlas_width, f.atlas_h, f.atlas.data());
    } else if (f.stale_y0 < f.stale_y1) {
        f.texture.upload(0, f.stale_y0, atlas_width, f.stale_y1 - f.stale_y0,
                         &f.atlas[std::size_t(f.stale_y0) * atlas_width * 4]);
    }
    f.stale_y0 = f.stale_y1 = 0;
    return f.texture.name();
}

}  // namespace

font_ref load_image_font(const std::string& source, int size, int style) {
    std::vector<std::uint8_t> bytes;
    if (!read_whole_file(source, bytes) || bytes.empty()) {
        log_once("font:" + source, "text", "cannot read " + source);
        return nullptr;
    }
    auto raster = backend::glyph_raster::open(std::move(bytes), size);
    if (!raster) {
        log_once("font:" + source, "text", "not a usable face: " + source);
        return nullptr;
    }
    auto f = std::make_shared<font>();
    f->raster = std::move(raster);
    f->smooth = (style & font_smooth) != 0;
    // The printable ASCII set up front, so ordinary captions never touch the atlas later.
    for (char32_t c = 32; c < 127; ++c) glyph(*f, c);
    return f;
}

void set_image_font(const font_ref& f) {
    current_font() = f;
}

unsigned caption_parts(const std::string& text, std::vector<quad_part>& out) {
    out.clear();
    font* f = current_font().get();
    if (!f || text.empty()) return 0;
    const std::vector<char32_t> chars = characters(text);
    std::vector<const glyph_entry*> gs;
    gs.reserve(chars.size());
    for (char32_t c : chars) gs.push_back(&glyph(*f, c));
    // After the glyphs: a new one may have grown the atlas.
    const unsigned tex = font_texture(*f);
    if (!tex) return 0;
    const float tw = float(atlas_width), th = float(f->atlas_h);
    float pen = 0;
    for (const glyph_entry* g : gs) {
        if (!g->found) continue;
        if (g->w > 0) {
            const float u0 = pen + float(g->ox), v0 = float(g->oy);
            const auto t0 = float(g->ax), s0 = float(g->ay);
            out.push_back({u0, v0, u0 + float(g->w), v0 + float(g->h), t0 / tw, s0 / th,
                           (t0 + float(g->w)) / tw, (s0 + float(g->h)) / th});
        }
        pen += g->advance;
    }
    return tex;
}

// The whole caption as one run of quads, one draw call.
void draw_text(const std::string& text, float x, float y) {
    static std::vector<quad_part> parts;  // kept, so a caption allocates nothing
    const unsigned tex = caption_parts(text, parts);
    if (tex) draw_parts(tex, current_draw_state().blend, current_placement(x, y, 0, 0), parts);
}

int text_width(const std::string& text) {
    font* f = current_font().get();
    if (!f) return 0;
    int w = 0;
    for (char32_t c : characters(text)) {
        const glyph_entry& g = glyph(*f, c);
        if (g.found) w = int(float(w) + g.advance);
    }
    return w;
}

int text_height() {
    const font* f = current_font().get();
    return f ? f->raster->line_height() : 0;
}

}  // namespace media
