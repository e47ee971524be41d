// The back buffer and the batch queue. Draws pile up as vertices on the CPU; a flush
// uploads them in one buffer and issues one draw call per run of texture and blend mode.
#include "media/backend/gl_renderer.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "media/backend/back_buffer.h"
#include "media/backend/gl_internal.h"
#include "media/backend/window.h"

namespace media::backend {

namespace {

// 16-bit indices with a base vertex: one call can take this many quads.
constexpr int max_quads_per_call = 16384;
// A frame this large is sent early rather than growing the queue without end.
constexpr std::size_t max_queued_quads = 1u << 16;

struct batch {
    GLuint texture;
    int blend;
    std::uint32_t first_quad, quads;
};

// A recent draw of the current batch, for merge_repeats.
struct recent_draw {
    std::size_t first_vertex;
    int quads;
};
constexpr int recent_kept = 3;  // the stereo renderer repeats a draw two draws later

struct renderer_state {
    bool open = false;
    int w = 0, h = 0;
    GLuint fbo = 0, colour = 0, vao = 0, vbo = 0, ibo = 0, white = 0;
    gl_programs programs;
    std::vector<vertex> verts;  // sized to capacity; `used` counts the live ones
    std::size_t used = 0;
    std::vector<batch> batches;
    int calls_this_frame = 0, calls_last_frame = 0;
    GLuint bound_texture = 0;
    int applied_blend = 0;
    recent_draw recent[recent_kept] = {};
    int recent_count = 0, recent_next = 0;
};

renderer_state& st() {
    static renderer_state s;
    return s;
}

unsigned generation_counter = 0;
unsigned live = 0;

void apply_blend(int mode) {
    renderer_state& s = st();
    if (mode == s.applied_blend) return;
    switch (mode) {
        case 2:
            glUseProgram(s.programs.plain);
            glDisable(GL_BLEND);
            break;
        case 3:
        case 5:
            glUseProgram(s.programs.blended);
            glEnable(GL_BLEND);
            // The back buffer's alpha stays opaque whatever is drawn.
            if (mode == 3)
                glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
            else
                glBlendFuncSeparate(GL_DST_COLOR, GL_ZERO, GL_ZERO, GL_ONE);
            break;
        case 4:
            // The program adds its own alpha 0, so the back buffer's alpha stays too.
            glUseProgram(s.programs.light);
            glEnable(GL_BLEND);
            glBlendFunc(GL_ONE, GL_ONE);
            break;
        default:
            glUseProgram(s.programs.mask);
            glDisable(GL_BLEND);
            break;
    }
    s.applied_blend = mode;
}

GLuint make_white_texture() {
    GLuint t = 0;
    const std::uint8_t white[4] = {255, 255, 255, 255};
    glGenTextures(1, &t);
    glBindTexture(GL_TEXTURE_2D, t);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
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

void make_quad_buffers(renderer_state& s) {
    glGenVertexArrays(1, &s.vao);
    glBindVertexArray(s.vao);
    glGenBuffers(1, &s.vbo);
    glBindBuffer(GL_ARRAY_BUFFER, s.vbo);
    const auto stride = GLsizei(sizeof(vertex));
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(0));
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(8));
    glVertexAttribPointer(2, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride, reinterpret_cast<void*>(16));
    glVertexAttribPointer(3, 1, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(20));
    for (GLuint a = 0; a < 4; ++a) glEnableVertexAttribArray(a);

    std::vector<GLushort> idx(std::size_t(max_quads_per_call) * 6);
    for (int q = 0; q < max_quads_per_call; ++q) {
        const auto b = GLushort(q * 4);
        const GLushort tri[6] = {b, GLushort(b + 1), GLushort(b + 2),
                                 b, GLushort(b + 2), GLushort(b + 3)};
        std::copy(tri, tri + 6, idx.begin() + q * 6);
    }
    glGenBuffers(1, &s.ibo);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, s.ibo);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(idx.size() * sizeof(GLushort)), idx.data(),
                 GL_STATIC_DRAW);
}

}  // namespace

unsigned live_generation() {
    return live;
}

bool renderer_open(int width, int height, std::string& error) {
    renderer_close();
    renderer_state& s = st();
    s.w = width;
    s.h = height;
    if (!build_programs(s.programs, width, height, error)) return false;
    if (!make_back_buffer(s, error)) {
        delete_programs(s.programs);
        return false;
    }
    make_quad_buffers(s);
    s.white = make_white_texture();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glActiveTexture(GL_TEXTURE0);
    glViewport(0, 0, width, height);
    s.open = true;
    live = ++generation_counter;
    s.applied_blend = 0;
    s.bound_texture = 0;
    s.used = 0;
    s.batches.clear();
    s.calls_this_frame = s.calls_last_frame = 0;
    clear_back_buffer(0, 0, 0);
    return true;
}

void renderer_close() {
    renderer_state& s = st();
    if (!s.open) return;
    s.used = 0;
    s.batches.clear();
    delete_programs(s.programs);
    glDeleteTextures(1, &s.white);
    glDeleteTextures(1, &s.colour);
    glDeleteFramebuffers(1, &s.fbo);
    glDeleteBuffers(1, &s.vbo);
    glDeleteBuffers(1, &s.ibo);
    glDeleteVertexArrays(1, &s.vao);
    s = renderer_state{};
    live = 0;
}

bool renderer_is_open() {
    return st().open;
}

unsigned white_texture() {
    return st().white;
}

void texture_binding_changed() {
    st().bound_texture = 0;
}

vertex* push_quads(unsigned texture, int blend, int quads) {
    renderer_state& s = st();
    if (!s.open || quads <= 0) return nullptr;
    if (s.used / 4 + std::size_t(quads) > max_queued_quads) flush();
    if (s.batches.empty() || s.batches.back().texture != texture ||
        s.batches.back().blend != blend) {
        s.batches.push_back({texture, blend, std::uint32_t(s.used / 4), 0});
        s.recent_count = s.recent_next = 0;
    }
    s.batches.back().quads += std::uint32_t(quads);
    const std::size_t need = s.used + std::size_t(quads) * 4;
    if (need > s.verts.size()) s.verts.resize(std::max(need, s.verts.size() * 2 + 4096));
    vertex* out = s.verts.data() + s.used;
    s.used = need;
    return out;
}

void merge_repeats(int quads) {
    renderer_state& s = st();
    if (s.batches.empty() || s.batches.back().blend != 4 || quads <= 0) return;
    const std::size_t n = std::size_t(quads) * 4, start = s.used - n;
    const auto same = [&](std::size_t a) {
        for (std::size_t i = 0; i < n; ++i) {
            // Everything but the repeat count, which comes last.
            if (std::memcmp(&s.verts[a + i], &s.verts[start + i], offsetof(vertex, repeats)) != 0)
                return false;
        }
        return true;
    };
    for (int k = 0; k < s.recent_count; ++k) {
        const recent_draw& r = s.recent[k];
        if (r.quads != quads || !same(r.first_vertex)) continue;
        for (std::size_t i = 0; i < n; ++i) s.verts[r.first_vertex + i].repeats += 1.0f;
        s.used = start;
        s.batches.back().quads -= std::uint32_t(quads);
        return;
    }
    s.recent[s.recent_next] = {start, quads};
    s.recent_next = (s.recent_next + 1) % recent_kept;
    s.recent_count = std::min(s.recent_count + 1, recent_kept);
}

void flush() {
    renderer_state& s = st();
    if (!s.open || s.batches.empty()) return;
    // A fresh store each time, so the driver never waits for draws still reading the last.
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(s.used * sizeof(vertex)), s.verts.data(),
                 GL_STREAM_DRAW);
    for (const batch& b : s.batches) {
        apply_blend(b.blend);
        if (b.texture != s.bound_texture) {
            glBindTexture(GL_TEXTURE_2D, b.texture);
            s.bound_texture = b.texture;
        }
        for (std::uint32_t done = 0; done < b.quads;) {
            const std::uint32_t n = std::min<std::uint32_t>(b.quads - done, max_quads_per_call);
            glDrawElementsBaseVertex(GL_TRIANGLES, GLsizei(n * 6), GL_UNSIGNED_SHORT, nullptr,
                                     GLint((b.first_quad + done) * 4));
            ++s.calls_this_frame;
            done += n;
        }
    }
    s.batches.clear();
    s.used = 0;
    s.recent_count = s.recent_next = 0;
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
    int dw = 0, dh = 0;
    window_drawable_size(dw, dh);
    const letterbox lb = window_letterbox();
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, s.fbo);
    glViewport(0, 0, dw, dh);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    // The window's rows count from the bottom; the back buffer's from the top.
    glBlitFramebuffer(0, 0, s.w, s.h, lb.x, dh - lb.y, lb.x + lb.w, dh - lb.y - lb.h,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
    window_swap();
    glBindFramebuffer(GL_FRAMEBUFFER, s.fbo);
    glViewport(0, 0, s.w, s.h);
    s.calls_last_frame = s.calls_this_frame;
    s.calls_this_frame = 0;
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
    glBindFramebuffer(GL_READ_FRAMEBUFFER, s.fbo);
    glReadPixels(x0, y0, x1 - x0, y1 - y0, GL_RGBA, GL_UNSIGNED_BYTE, part.data());
    const std::size_t row = std::size_t(x1 - x0) * 4;
    for (int r = y0; r < y1; ++r) {
        std::memcpy(&rgba[(std::size_t(r - y) * std::size_t(w) + std::size_t(x0 - x)) * 4],
                    &part[std::size_t(r - y0) * row], row);
    }
}

}  // namespace media::backend
