// FreeType glyphs, anti-aliased. Each face has its own library instance, so a font that
// outlives everything else at program exit still tears down in the right order.
#include "media/backend/decoders/glyph_raster.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

namespace media::backend {

struct glyph_raster::ft {
    FT_Library lib = nullptr;
    FT_Face face = nullptr;
    ~ft() {
        if (face) FT_Done_Face(face);
        if (lib) FT_Done_FreeType(lib);
    }
};

std::unique_ptr<glyph_raster> glyph_raster::open(std::vector<std::uint8_t> bytes, int size) {
    if (bytes.empty() || size <= 0) return nullptr;
    auto r = std::make_unique<glyph_raster>();
    r->bytes_ = std::move(bytes);
    r->ft_ = std::make_unique<ft>();
    if (FT_Init_FreeType(&r->ft_->lib) != 0) return nullptr;
    if (FT_New_Memory_Face(r->ft_->lib, r->bytes_.data(), FT_Long(r->bytes_.size()), 0,
                           &r->ft_->face) != 0)
        return nullptr;
    // A face with fixed sizes only refuses the others: take the next smaller one.
    int s = size;
    while (s > 0 && FT_Set_Pixel_Sizes(r->ft_->face, 0, FT_UInt(s)) != 0) --s;
    if (s == 0) return nullptr;
    const FT_Size_Metrics& m = r->ft_->face->size->metrics;
    r->size_ = s;
    r->line_height_ = int((m.height + 32) >> 6);
    r->ascender_ = int((m.ascender + 32) >> 6);
    if (r->line_height_ <= 0) r->line_height_ = s;
    return r;
}

glyph_raster::glyph_raster() = default;
glyph_raster::~glyph_raster() = default;

bool glyph_raster::render(char32_t ch, glyph_bitmap& out) {
    out = glyph_bitmap{};
    FT_Face face = ft_->face;
    const FT_UInt index = FT_Get_Char_Index(face, FT_ULong(ch));
    if (index == 0) return false;
    // Light hinting keeps horizontal shapes true to the unhinted advances used for layout.
    if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_LIGHT) != 0) return false;
    // The retro scan lines blank every other row, which swallows a hairline one row thick
    // (the bar of "f", the top of "R"). Thickening the strokes upwards only, by one and a
    // half pixels at the game's size, leaves every one at least two rows while the glyphs
    // keep their widths and advances.
    if (face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
        const FT_Pos grow = FT_Pos(size_) * 96 / 26;  // 26.6 fixed point
        FT_Outline_EmboldenXY(&face->glyph->outline, 0, grow);
    }
    if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) return false;
    const FT_GlyphSlot g = face->glyph;
    const FT_Bitmap& bm = g->bitmap;
    out.advance = float(g->linearHoriAdvance) / 65536.0f;
    if (out.advance == 0 && g->advance.x != 0) out.advance = float(g->advance.x) / 64.0f;
    out.left = g->bitmap_left;
    out.top = g->bitmap_top;
    out.width = int(bm.width);
    out.height = int(bm.rows);
    out.coverage.assign(std::size_t(out.width) * std::size_t(out.height), 0);
    for (int y = 0; y < out.height; ++y) {
        const unsigned char* row = bm.buffer + std::ptrdiff_t(y) * bm.pitch;
        for (int x = 0; x < out.width; ++x) {
            std::uint8_t v = 0;
            if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
                v = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
            else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY)
                v = std::uint8_t(bm.num_grays == 256 ? row[x] : row[x] * 255 / (bm.num_grays - 1));
            out.coverage[std::size_t(y) * std::size_t(out.width) + std::size_t(x)] = v;
        }
    }
    return true;
}

}  // namespace media::backend
