// The back buffer and the batch queue. Draws pile up as vertices on the CPU; a flush
// uploads them and issues one draw call per run of texture and blend mode. Stereo pairs
// have vertices of their own, in a second buffer, and count as a blend mode of their own.
#include "media/backend/gl/gl_renderer.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "media/backend/gl/back_buffer.h"
#include "media/backend/gl/gl_internal.h"
#include "media/backend/sdl/window.h"

namespace media::backend {

namespace {

// 16-bit indices name every vertex of a queue this long, so a draw call starts at its
// first index and needs no base vertex (which WebGL 2 lacks). A fuller queue is sent early.
constexpr std::size_t max_queued_quads = 16384;

// Pair quads batch apart from the light draws they look like: other programs and layout.
// One blend id a pair_kind, in its order.
constexpr int blend_pair_square = 6, blend_pair_alone = 7;
static_assert(blend_pair_alone == blend_pair_square + int(pair_kind::alone));
// Kept pairs' pictures are added as they stand, from the plain queue.
constexpr int blend_kept = 8;

bool is_pair(int blend) {
    return blend == blend_pair_square || blend == blend_pair_alone;
}

struct batch {
    GLuint texture;
    int blend;
    std::uint32_t first_quad, quads;  // in the pair queue for the pair blends
};

template <typename V>
struct quad_queue {
    GLuint vao = 0, vbo = 0;
    std::vector<V> verts;  // sized to capacity; `used` counts the live quads
    std::size_t used = 0;
};

struct renderer_state {
    bool open = false;
    int w = 0, h = 0;
    bool into_window = false;  // no back buffer of its own: fbo names the window's
    GLuint fbo = 0, colour = 0, ibo = 0, white = 0, alternate_rows = 0;
    GLuint pair_fbo = 0;  // made when a pair is first kept
    gl_programs programs;
    quad_queue<vertex> plain;
    quad_queue<pair_vertex> pairs;
    std::vector<batch> batches;
    int calls_this_frame = 0, calls_last_frame = 0;
    GLuint bound_texture = 0, bound_vao = 0, program = 0;
    int applied_blend = 0;
    std::vector<GLuint> smooth_textures;
};

renderer_state& st() {
    static renderer_state s;
    return s;
}

unsigned generation_counter = 0;
unsigned live = 0;

// The program for a blend mode and a texture; the GL's blend stage changes only with the
// mode.
void apply_blend(int mode, GLuint texture) {
    renderer_state& s = st();
    const gl_program_set& set = texture_smooth(texture) ? s.programs.smooth : s.programs.sharp;
    GLuint program = set.mask;
    if (mode == 2) program = set.plain;
    if (mode == 3 || mode == 5) program = set.blended;
    if (mode == 4) program = set.light;
    if (mode == blend_pair_square) program = set.pair_square;
    if (mode == blend_pair_alone) program = set.pair_alone;
    if (mode == blend_kept) program = s.programs.kept;
    if (mode == 1 && texture == s.alternate_rows) program = s.programs.rows;
    if (program != s.program) {
        glUseProgram(program);
        s.program = program;
    }
    if (mode == s.applied_blend) return;
    switch (mode) {
        case 2:
            glDisable(GL_BLEND);
            break;
        case 3:
        case 5:
            glEnable(GL_BLEND);
            // The back buffer's alpha stays opaque whatever is drawn.
            if (mode == 3)
                glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
            else
                glBlendFuncSeparate(GL_DST_COLOR, GL_ZERO, GL_ZERO, GL_ONE);
            break;
        case 4:
        case blend_pair_square:
        case blend_pair_alone:
        case blend_kept:
            // The programs add their own alpha 0, so the back buffer's alpha stays too.
            glEnable(GL_BLEND);
            glBlendFunc(GL_ONE, GL_ONE);
            break;
        default:
            glDisable(GL_BLEND);
            break;
    }
    s.applied_blend = mode;
}

// A tiny texture that repeats, sampled nearest.
GLuint make_pattern_texture(int width, int height, const std::uint8_t* rgba) {
    GLuint t = 0;
    glGenTextures(1, &t);
    glBindTexture(GL_TEXTURE_2D, t);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return t;
}

bool make_back_buffer(renderer_state& s, std::string& error) {
    glGenTextures(1, &s.colour);
    glBindTexture(GL_TEXTURE_2D, s.colour);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, s.w, s.h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glGenFramebuffers(1, &s.fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, s.fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, s.colour, 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        error = "the back buffer cannot be created";
        return false;
    }
    return true;
}

struct attribute {
    GLint size;
    GLenum type;
    std::size_t offset;
};

// One vertex array per queue; both share the index buffer.
template <typename V>
void make_queue(renderer_state& s, quad_queue<V>& q, std::initializer_list<attribute> attributes) {
    const auto stride = GLsizei(sizeof(V));
    glGenVertexArrays(1, &q.vao);
    glBindVertexArray(q.vao);
    glGenBuffers(1, &q.vbo);
    glBindBuffer(GL_ARRAY_BUFFER, q.vbo);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, s.ibo);
    GLuint at = 0;
    for (const attribute& a : attributes) {
        // Bytes are colours, 0..1.
        glVertexAttribPointer(at, a.size, a.type, a.type == GL_UNSIGNED_BYTE, stride,
                              reinterpret_cast<void*>(a.offset));
        glEnableVertexAttribArray(at++);
    }
}

void make_quad_buffers(renderer_state& s) {
    std::vector<GLushort> idx(max_queued_quads * 6);
    for (std::size_t q = 0; q < max_queued_quads; ++q) {
        const auto b = GLushort(q * 4);
        const GLushort tri[6] = {b, GLushort(b + 1), GLushort(b + 2),
                                 b, GLushort(b + 2), GLushort(b + 3)};
        std::copy(tri, tri + 6, idx.begin() + std::ptrdiff_t(q * 6));
    }
    glGenBuffers(1, &s.ibo);
    make_queue(s, s.plain,
               {{2, GL_FLOAT, offsetof(vertex, x)},
                {2, GL_FLOAT, offsetof(vertex, u)},
                {4, GL_UNSIGNED_BYTE, offsetof(vertex, r)}});
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(idx.size() * sizeof(GLushort)), idx.data(),
                 GL_STATIC_DRAW);
    make_queue(s, s.pairs,
               {{2, GL_FLOAT, offsetof(pair_vertex, x)},
                {4, GL_FLOAT, offsetof(pair_vertex, lu)},
                {4, GL_UNSIGNED_BYTE, offsetof(pair_vertex, lr)},
                {4, GL_UNSIGNED_BYTE, offsetof(pair_vertex, rr)}});
    s.bound_vao = s.pairs.vao;
}

// Room for `quads` more quads at the end of `q`, in the current batch or a new one;
// nullptr when the display is closed.
template <typename V>
V* queue_quads(renderer_state& s, quad_queue<V>& q, unsigned texture, int blend, int quads) {
    if (!s.open || quads <= 0 || std::size_t(quads) > max_queued_quads) return nullptr;
    if (q.used + std::size_t(quads) > max_queued_quads) flush();
    if (s.batches.empty() || s.batches.back().texture != texture || s.batches.back().blend != blend)
        s.batches.push_back({texture, blend, std::uint32_t(q.used), 0});
    s.batches.back().quads += std::uint32_t(quads);
    const std::size_t need = (q.used + std::size_t(quads)) * 4;
    if (need > q.verts.size()) q.verts.resize(std::max(need, q.verts.size() * 2 + 4096));
    V* out = q.verts.data() + q.used * 4;
    q.used += std::size_t(quads);
    return out;
}

frame_aim screen_aim(const renderer_state& s) {
    return {s.w, s.h, s.into_window};
}

// The back buffer, scaled into the window, with black bars around it.
void show_back_buffer(const renderer_state& s) {
    int dw = 0, dh = 0;
    window_drawable_size(dw, dh);
    const letterbox lb = window_letterbox();
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, s.fbo);
    glViewport(0, 0, dw, dh);
    // Black bars where the picture does not reach.
    if (lb.x > 0 || lb.y > 0 || lb.w < dw || lb.h < dh) {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    // The window's rows count from the bottom; the back buffer's from the top.
    glBlitFramebuffer(0, 0, s.w, s.h, lb.x, dh - lb.y, lb.x + lb.w, dh - lb.y - lb.h,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
}

template <typename V>
void upload(quad_queue<V>& q) {
    if (q.used == 0) return;
    glBindBuffer(GL_ARRAY_BUFFER, q.vbo);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(q.used * 4 * sizeof(V)), q.verts.data(),
                 GL_STREAM_DRAW);
}

}  // namespace

unsigned live_generation() {
    return live;
}

bool renderer_open(int width, int height, frame_target target, std::string& error) {
    renderer_close();
    renderer_state& s = st();
    s.w = width;
    s.h = height;
    int dw = 0, dh = 0;
    window_drawable_size(dw, dh);
    s.into_window = target == frame_target::window && dw >= width && dh >= height;
    if (!build_programs(s.programs, screen_aim(s), error)) return false;
    if (!s.into_window && !make_back_buffer(s, error)) {
        delete_programs(s.programs);
        return false;
    }
    make_quad_buffers(s);
    const std::uint8_t white[4] = {255, 255, 255, 255};
    s.white = make_pattern_texture(1, 1, white);
    const std::uint8_t rows[8] = {255, 255, 255, 255, 0, 0, 0, 0};
    s.alternate_rows = make_pattern_texture(1, 2, rows);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glActiveTexture(GL_TEXTURE0);
    glViewport(0, 0, width, height);
    s.open = true;
    live = ++generation_counter;
    s.applied_blend = 0;
    s.program = 0;
    s.bound_texture = 0;
    s.plain.used = s.pairs.used = 0;
    s.batches.clear();
    s.calls_this_frame = s.calls_last_frame = 0;
    clear_back_buffer(0, 0, 0);
    return true;
}

void renderer_close() {
    renderer_state& s = st();
    if (!s.open) return;
    forget_kept_pairs();
    s.batches.clear();
    delete_programs(s.programs);
    glDeleteTextures(1, &s.white);
    glDeleteTextures(1, &s.alternate_rows);
    if (s.colour) glDeleteTextures(1, &s.colour);
    if (s.fbo) glDeleteFramebuffers(1, &s.fbo);
    if (s.pair_fbo) glDeleteFramebuffers(1, &s.pair_fbo);
    for (GLuint vbo : {s.plain.vbo, s.pairs.vbo}) glDeleteBuffers(1, &vbo);
    for (GLuint vao : {s.plain.vao, s.pairs.vao}) glDeleteVertexArrays(1, &vao);
    glDeleteBuffers(1, &s.ibo);
    s = renderer_state{};
    live = 0;
}

bool renderer_is_open() {
    return st().open;
}

bool renderer_draws_into_window() {
    return st().open && st().into_window;
}

unsigned white_texture() {
    return st().white;
}

unsigned alternate_rows_texture() {
    return st().alternate_rows;
}

void texture_binding_changed() {
    st().bound_texture = 0;
}

void texture_is_smooth(GLuint name, bool smooth) {
    std::vector<GLuint>& list = st().smooth_textures;
    list.erase(std::remove(list.begin(), list.end(), name), list.end());
    if (smooth) list.push_back(name);
}

bool texture_smooth(GLuint name) {
    const std::vector<GLuint>& list = st().smooth_textures;
    return std::find(list.begin(), list.end(), name) != list.end();
}

bool draw_pairs_into(const gl_texture& target, GLuint texture, const pair_vertex* quads,
                     int count) {
    renderer_state& s = st();
    if (!s.open || !target.valid()) return false;
    flush();
    if (!s.pair_fbo) glGenFramebuffers(1, &s.pair_fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, s.pair_fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target.name(), 0);
    bool drawn = false;
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) {
        glViewport(0, 0, target.width(), target.height());
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        aim_pair_programs(s.programs, {target.width(), target.height(), false});
        s.program = 0;
        if (pair_vertex* q = push_pair_quads(texture, count, pair_kind::square)) {
            std::memcpy(static_cast<void*>(q), quads, std::size_t(count) * 4 * sizeof(pair_vertex));
            drawn = true;
        }
        flush();
        aim_pair_programs(s.programs, screen_aim(s));
        s.program = 0;
    }
    // Attached, a texture stays alive after it is deleted.
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, s.fbo);
    glViewport(0, 0, s.w, s.h);
    return drawn;
}

vertex* push_quads(unsigned texture, int blend, int quads) {
    renderer_state& s = st();
    return queue_quads(s, s.plain, texture, blend, quads);
}

vertex* push_kept_quads(GLuint picture, int quads) {
    renderer_state& s = st();
    return queue_quads(s, s.plain, picture, blend_kept, quads);
}

pair_vertex* push_pair_quads(unsigned texture, int quads, pair_kind kind) {
    renderer_state& s = st();
    return queue_quads(s, s.pairs, texture, blend_pair_square + int(kind), quads);
}

void flush() {
    renderer_state& s = st();
    if (!s.open || s.batches.empty()) return;
    // A fresh store each time, so the driver never waits for draws still reading the last.
    upload(s.plain);
    upload(s.pairs);
    for (const batch& b : s.batches) {
        apply_blend(b.blend, b.texture);
        const GLuint vao = is_pair(b.blend) ? s.pairs.vao : s.plain.vao;
        if (vao != s.bound_vao) {
            glBindVertexArray(vao);
            s.bound_vao = vao;
        }
        if (b.texture != s.bound_texture) {
            glBindTexture(GL_TEXTURE_2D, b.texture);
            s.bound_texture = b.texture;
        }
        glDrawElements(GL_TRIANGLES, GLsizei(b.quads * 6), GL_UNSIGNED_SHORT,
                       reinterpret_cast<void*>(std::size_t(b.first_quad) * 6 * sizeof(GLushort)));
        ++s.calls_this_frame;
    }
    s.batches.clear();
    s.plain.used = s.pairs.used = 0;
}

void clear_back_buffer(int r, int g, int b) {
    if (!st().open) return;
    flush();
    glClearColor(float(r) / 255.0f, float(g) / 255.0f, float(b) / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void present() {
    renderer_state& s = st();
    if (!s.open) return;
    flush();
    if (!s.into_window) show_back_buffer(s);
    window_swap();
    if (!s.into_window) {
        glBindFramebuffer(GL_FRAMEBUFFER, s.fbo);
        glViewport(0, 0, s.w, s.h);
    }
    s.calls_last_frame = s.calls_this_frame;
    s.calls_this_frame = 0;
    kept_pairs_next_frame();
}

void finish() {
    if (st().open) glFinish();
}

int draw_calls_last_frame() {
    return st().calls_last_frame;
}

void read_back_buffer(int x, int y, int w, int h, std::vector<std::uint8_t>& rgba) {
    renderer_state& s = st();
    rgba.clear();
    if (!s.open || w <= 0 || h <= 0) return;
    flush();
    rgba.assign(std::size_t(w) * std::size_t(h) * 4, 0);
    for (std::size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + w, s.w), y1 = std::min(y + h, s.h);
    if (x0 >= x1 || y0 >= y1) return;
    std::vector<std::uint8_t> part(std::size_t(x1 - x0) * std::size_t(y1 - y0) * 4);
    // WebKit's WebGL can hand back a picture some frames old unless the drawing has finished.
    glFinish();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, s.fbo);
    // The window's rows count from the bottom.
    const int first_row = s.into_window ? s.h - y1 : y0;
    glReadPixels(x0, first_row, x1 - x0, y1 - y0, GL_RGBA, GL_UNSIGNED_BYTE, part.data());
    const std::size_t row = std::size_t(x1 - x0) * 4;
    for (int r = y0; r < y1; ++r) {
        const int from = s.into_window ? y1 - 1 - r : r - y0;
        std::memcpy(&rgba[(std::size_t(r - y) * std::size_t(w) + std::size_t(x0 - x)) * 4],
                    &part[std::size_t(from) * row], row);
    }
}

}  // namespace media::backend
