// Inside an image: the CPU copy of every frame, the settings it was made with, and its
// texture, which holds the frames one under another with a row between (see image_draw.cpp).
// Shared by the image, text and collision code; the game sees only image.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "media/backend/gl/gl_renderer.h"
#include "media/image.h"

namespace media {

struct rgb_colour {
    int r = 0, g = 0, b = 0;
};

// Which parts of a large frame can change the back buffer, for the blend modes that
// leave it alone where the picture is clear (mask, alpha, light). Drawing skips the rest:
// the landscape strips are half sky. Kept in 16-pixel cells, as rectangles of runs.
constexpr int cover_cell = 16;
enum cover_kind : int { cover_mask, cover_alpha, cover_light, cover_kinds };
struct cell_rect {
    int r0, r1, c0, c1;  // cell rows r0..r1-1, columns c0..c1-1
};
struct frame_cover {
    std::vector<cell_rect> rects[cover_kinds];
    int box[cover_kinds][4] = {};  // pixels that show: x0, y0, x1, y1 (empty when x1 <= x0)
};
// Made for large unfiltered frames only; empty otherwise.
frame_cover make_cover(const std::vector<std::uint8_t>& rgba, int w, int h);

struct image {
    int width = 0, height = 0;
    int flags = 0;
    float hx = 0.0f, hy = 0.0f;
    rgb_colour mask;
    std::vector<std::vector<std::uint8_t>> frames;  // RGBA rows from the top
    std::vector<bool> stale;                        // frames whose texture rows are out of date
    std::vector<frame_cover> covers;                // per frame, refreshed with the texture
    backend::gl_texture texture;
};

// The texture ready to draw with, made or refreshed as needed; 0 without a display.
unsigned image_texture(image& img);

// The masking rule for a picture without its own alpha: mask-coloured pixels become
// transparent with the average colour of their other neighbours, the rest opaque.
void apply_mask(std::vector<std::uint8_t>& rgba, int w, int h, rgb_colour mask);
void make_opaque(std::vector<std::uint8_t>& rgba);

// Where draw_image puts a frame: the handle lands on (x, y), turned and stretched about it
// by the drawing state. Shared by drawing, text and collision so that all three agree.
struct placement {
    float x = 0, y = 0, hx = 0, hy = 0;
    float c = 1, s = 0, sx = 1, sy = 1;
    void to_screen(float u, float v, float& out_x, float& out_y) const {
        const float du = (u - hx) * sx, dv = (v - hy) * sy;
        out_x = x + du * c - dv * s;
        out_y = y + du * s + dv * c;
    }
};
// Uses the rotation and scale of the drawing state.
placement current_placement(float x, float y, float hx, float hy);

// Fills one quad's vertices for the frame rectangle (u0, v0)-(u1, v1) in frame pixels,
// with texture coordinates (t0, s0)-(t1, s1) and the drawing state's colour and alpha.
void fill_quad(backend::vertex* q, const placement& p, float u0, float v0, float u1, float v1,
               float t0, float s0, float t1, float s1);

// One quad of a drawing: the rectangle (u0, v0)-(u1, v1) in the picture's own pixels and
// its texture coordinates (t0, s0)-(t1, s1).
struct quad_part {
    float u0, v0, u1, v1, t0, s0, t1, s1;
};
// The quads that draw a frame in `blend` placed by `p`: the whole frame, or of a large
// frame only what shows (its cover rectangles square to the screen, its box turned).
// The texture to draw them with; 0 and no quads for a bad frame or without a display.
unsigned frame_parts(image& img, int frame, int blend, const placement& p,
                     std::vector<quad_part>& out);
// The glyph quads of a caption in the current font, from a pen at (0, 0) on the top of
// the line. The font's texture; 0 and no quads without a font or a display.
unsigned caption_parts(const std::string& text, std::vector<quad_part>& out);
// Queues the parts as plain quads in `blend` with the drawing state's colour and alpha.
void draw_parts(unsigned texture, int blend, const placement& p,
                const std::vector<quad_part>& parts);

}  // namespace media
