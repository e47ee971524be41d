// The OpenGL side of drawing: the offscreen back buffer (or the window's own), batched
// quads, textures and the present into the window. Used by the media layer only; the
// game never sees GL. Draws are queued on the CPU and sent at a flush: one GL draw call
// per run of draws that share a texture and a blend mode. Flushes happen at present,
// clear, read-back and texture changes, so the caller never has to think about them.
#pragma once

#include <cstdint>
#include <string>

namespace media::backend {

struct vertex {
    float x, y;  // screen pixels, y down
    float u, v;  // texture coordinates, 0..1
    std::uint8_t r, g, b, a;
};

// A corner of a quad that adds both copies of a stereo pair at once, in light mode: the
// picture sampled where each copy lies, tinted, added, `passes` times. The quads are cut
// at the copies' edges and a copy that a quad misses has tint 0. A copy alone on its quad
// uses the left tint and coordinates.
struct pair_vertex {
    float x, y;
    float lu, lv, ru, rv;  // texture coordinates of the left and the right copy here
    std::uint8_t lr, lg, lb, alpha;
    std::uint8_t rr, rg, rb, passes;
};

// A texture of one image or font. It may outlive the GL context (images released at
// program exit): then it only forgets its name.
class gl_texture {
  public:
    gl_texture() = default;
    ~gl_texture();
    gl_texture(const gl_texture&) = delete;
    gl_texture& operator=(const gl_texture&) = delete;

    // True when the texture exists in the context that is open now.
    bool valid() const;
    // (Re)creates it cleared to transparent black.
    bool create(int width, int height, bool filtered, bool mipmapped);
    // Replaces a rectangle with RGBA rows from the top.
    void upload(int x, int y, int width, int height, const std::uint8_t* rgba);
    void release();
    unsigned name() const { return name_; }
    int width() const { return width_; }
    int height() const { return height_; }

  private:
    unsigned name_ = 0;
    unsigned generation_ = 0;
    int width_ = 0, height_ = 0;
    bool mipmapped_ = false;
};

// Where frames are drawn: into a back buffer that `present` scales into the window, or
// straight into the window's bottom-left corner, where the window keeps the screen's size
// (the page's canvas, which the page scales itself). Drawn straight, a frame costs one
// full-screen copy less. A window too small for the screen gets a back buffer.
enum class frame_target { back_buffer, window };
// Creates the back buffer (for a window of another size too), shaders and buffers in the
// current context.
bool renderer_open(int width, int height, frame_target target, std::string& error);
void renderer_close();
bool renderer_is_open();
// True when frames are drawn straight into the window: there, whatever is drawn shows at
// the next chance the page gets to show it.
bool renderer_draws_into_window();

// Room for `quads` quads of 4 vertices each (top-left, top-right, bottom-right,
// bottom-left) drawn with `texture` in blend mode 1..5. Write them at once: the pointer
// is good until the next call.
vertex* push_quads(unsigned texture, int blend, int quads);
// How the quads of a stereo pair sample: both copies square to the screen, or one turned
// copy alone on its own quad.
enum class pair_kind { square, alone };
// The same for stereo pairs (see pair_vertex).
pair_vertex* push_pair_quads(unsigned texture, int quads, pair_kind kind);
// Adds a square stereo pair's quads (see pair_vertex) from a picture kept of them, when the
// same quads, moved by whole pixels, came lately; false when the caller is to queue them.
bool draw_kept_pair(unsigned texture, const pair_vertex* quads, int count);
// A 1 x 1 white texture for rectangles and lines.
unsigned white_texture();
// A 1 x 2 texture that repeats: an opaque white row over a clear one. Drawn in mask mode
// at half a texel a pixel row, it fills every other row (the retro scan lines).
unsigned alternate_rows_texture();

void flush();
void clear_back_buffer(int r, int g, int b);
// Shows the back buffer in the window (integer scale, black bars), where there is one,
// and swaps.
void present();
void finish();  // waits for the GPU (benchmarks)

int draw_calls_last_frame();

}  // namespace media::backend
