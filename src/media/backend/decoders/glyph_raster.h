// One TrueType face at one pixel size, rendered glyph by glyph with FreeType.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace media::backend {

struct glyph_bitmap {
    int width = 0, height = 0;
    int left = 0;                        // from the pen to the bitmap's left edge
    int top = 0;                         // from the baseline up to the bitmap's top row
    float advance = 0;                   // pen step in pixels, unhinted
    std::vector<std::uint8_t> coverage;  // width x height, rows from the top
};

class glyph_raster {
  public:
    // Null when the bytes are not a face or no pixel size up to `size` is accepted.
    static std::unique_ptr<glyph_raster> open(std::vector<std::uint8_t> bytes, int size);
    glyph_raster();
    ~glyph_raster();
    glyph_raster(const glyph_raster&) = delete;
    glyph_raster& operator=(const glyph_raster&) = delete;

    int pixel_size() const { return size_; }
    int line_height() const { return line_height_; }
    int ascender() const { return ascender_; }
    // False when the face has no glyph for the character.
    bool render(char32_t ch, glyph_bitmap& out);

  private:
    struct ft;
    std::unique_ptr<ft> ft_;
    std::vector<std::uint8_t> bytes_;  // FreeType reads the face from here while it lives
    int size_ = 0, line_height_ = 0, ascender_ = 0;
};

}  // namespace media::backend
