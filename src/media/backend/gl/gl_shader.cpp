// The renderer's small programs. Colour and alpha come per vertex; the screen transform
// is a fixed scale, since rotation and scale are done on the CPU. They keep to what
// GLSL ES 3.00 can say too, so that only the version line differs for WebGL 2.
#include <string>

#include "media/backend/gl/gl_internal.h"

namespace media::backend {

namespace {

// Every vertex program starts with this. Corners land on a 1/16-pixel grid, which every
// rasteriser resolves exactly: finer grids round their own ways, so a pixel centre close
// to an edge would be covered on one GL and not on another.
// to_ndc scales pixels (xy) and moves them (zw) into the target's clip space.
const char* const on_grid_src = R"(uniform vec4 to_ndc;
vec4 on_grid(vec2 pos) {
    return vec4(floor(pos * 16.0 + 0.5) / 16.0 * to_ndc.xy + to_ndc.zw, 0.0, 1.0);
}
)";

const char* const vertex_src = R"(layout(location = 0) in vec2 pos;
layout(location = 1) in vec2 uv_in;
layout(location = 2) in vec4 col_in;
out vec2 uv;
out vec4 col;
void main() {
    uv = uv_in;
    col = col_in;
    gl_Position = on_grid(pos);
}
)";

// Every fragment program starts with one of these. Sharp pictures sample the centre of
// the texel they pick: a pixel centre that falls exactly on a texel edge (a picture
// stretched 1.5 times, or placed on a half pixel) would otherwise get whichever texel the
// GL's rounding of that very quad gives. Within 1/512 of an edge the texel before it wins
// (left, or above), on every GL and in every quad that draws the picture. The float
// arithmetic here is the same on every GL; the samplers' own coordinates are not (WebGL's
// SwiftShader keeps fewer bits of them than llvmpipe). The smooth font is filtered by
// the GL.
const char* const sharp_picture_src = R"(uniform sampler2D tex;
vec4 picture(vec2 uv) {
    vec2 size = vec2(textureSize(tex, 0));
    return texture(tex, (floor(uv * size - 1.0 / 512.0) + 0.5) / size);
}
)";

const char* const smooth_picture_src = R"(uniform sampler2D tex;
vec4 picture(vec2 uv) {
    return texture(tex, uv);
}
)";

const char* const mask_src = R"(in vec2 uv;
in vec4 col;
out vec4 frag;
void main() {
    vec4 c = picture(uv) * col;
    if (c.a < 0.5) discard;
    frag = vec4(c.rgb, 1.0);
}
)";

const char* const plain_src = R"(in vec2 uv;
in vec4 col;
out vec4 frag;
void main() {
    frag = vec4((picture(uv) * col).rgb, 1.0);
}
)";

const char* const blended_src = R"(in vec2 uv;
in vec4 col;
out vec4 frag;
void main() {
    frag = picture(uv) * col;
}
)";

// d + s x a, saturating: s and a in whole steps of 1/255 as the back buffer stores them,
// their product rounded to a whole step, then added. No such product falls exactly
// halfway between two steps, so round() has no tie to break. The back buffer clamps.
const char* const light_src = R"(in vec2 uv;
in vec4 col;
out vec4 frag;
void main() {
    vec4 c = picture(uv) * col;
    vec3 s = round(c.rgb * 255.0);
    float a = round(c.a * 255.0);
    vec3 added = round(s * a / 255.0);
    if (added == vec3(0.0)) discard;
    frag = vec4(added / 255.0, 0.0);
}
)";

// A kept stereo pair's picture, added as it stands: drawn whole, at whole pixels, every
// pixel centre lies in the middle of its texel, where every GL picks the same one.
const char* const kept_src = R"(in vec2 uv;
out vec4 frag;
void main() {
    frag = vec4(picture(uv).rgb, 0.0);
}
)";

// The scan lines' pattern (alternate_rows_texture in mask mode), worked out from v by the
// texel rule instead of sampled: the same rows, and a pass over the whole screen that
// costs the browser's SwiftShader about half as much.
const char* const rows_src = R"(in vec2 uv;
in vec4 col;
out vec4 frag;
void main() {
    if (mod(floor(uv.y * 2.0 - 1.0 / 512.0), 2.0) >= 1.0 || col.a < 0.5) discard;
    frag = vec4(col.rgb, 1.0);
}
)";

// Stereo pairs. Tints, alpha and passes arrive in whole steps.
const char* const pair_vertex_src = R"(layout(location = 0) in vec2 pos;
layout(location = 1) in vec4 uv_in;
layout(location = 2) in vec4 left_in;
layout(location = 3) in vec4 right_in;
out vec4 uv;
flat out vec4 left;
flat out vec4 right;
void main() {
    uv = uv_in;
    left = floor(left_in * 255.0 + 0.5);
    right = floor(right_in * 255.0 + 0.5);
    gl_Position = on_grid(pos);
}
)";

// What one light draw adds, as light_src works it out. Each product lies at least 1/510
// away from a rounding edge, so the order of the operations cannot change a result.
// Saturating adds of non-negative terms do not depend on their order either. A fragment
// that adds nothing is dropped, which spares the blend.
const char* const pair_head = R"(in vec4 uv;
flat in vec4 left;   // tint, alpha
flat in vec4 right;  // tint, passes
out vec4 frag;
vec3 light(vec4 texel, vec3 tint) {
    vec3 s = round(texel.rgb * tint);
    float a = round(texel.a * left.a) * (1.0 / 255.0);
    return round(s * a);
}
void add(vec3 added) {
    if (added == vec3(0.0)) discard;
    frag = vec4(added * (right.a * (1.0 / 255.0)), 0.0);
}
)";

// Square to the screen: the quads are cut where the copies begin and end, so every
// fragment lies in the copies whose tints it carries (a copy it misses has tint 0).
const char* const pair_square_src = R"(
void main() {
    add(light(picture(uv.xy), left.rgb) + light(picture(uv.zw), right.rgb));
}
)";

// One copy on its own quad, the very quad its light draw would have: turned copies, whose
// edges cross the 1/16-pixel grid at angles, cover exactly the pixels those draws cover.
const char* const pair_alone_src = R"(
void main() {
    add(light(picture(uv.xy), left.rgb));
}
)";

// Each source gets the version line of the GL in use, and a head: the corner grid for
// vertex programs, the way of sampling pictures for fragment programs.
GLuint compile(GLenum kind, const char* src, const char* head, std::string& error) {
    GLuint s = glCreateShader(kind);
    const char* parts[3] = {glsl_version_line, head, src};
    glShaderSource(s, 3, parts, nullptr);
    glCompileShader(s);
    GLint ok = 0;
    glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[512] = {};
        glGetShaderInfoLog(s, sizeof log, nullptr, log);
        error = std::string("shader does not compile: ") + log;
        glDeleteShader(s);
        return 0;
    }
    return s;
}

// Row 0 of a texture target is the top of the screen, so reads need no flipping; a
// window shows its last row at the top.
void aim(GLuint program, const frame_aim& at) {
    const float down = at.window_rows ? -1.0f : 1.0f;
    glUseProgram(program);
    glUniform4f(glGetUniformLocation(program, "to_ndc"), 2.0f / float(at.w),
                down * 2.0f / float(at.h), -1.0f, -down);
}

GLuint link(GLuint vs, const char* fragment, const char* picture, const frame_aim& screen,
            std::string& error) {
    GLuint fs = compile(GL_FRAGMENT_SHADER, fragment, picture, error);
    if (!fs) return 0;
    GLuint p = glCreateProgram();
    glAttachShader(p, vs);
    glAttachShader(p, fs);
    glLinkProgram(p);
    glDeleteShader(fs);
    GLint ok = 0;
    glGetProgramiv(p, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[512] = {};
        glGetProgramInfoLog(p, sizeof log, nullptr, log);
        error = std::string("shader does not link: ") + log;
        glDeleteProgram(p);
        return 0;
    }
    aim(p, screen);
    glUniform1i(glGetUniformLocation(p, "tex"), 0);
    return p;
}

bool build_set(gl_program_set& out, const char* picture, const frame_aim& screen,
               std::string& error) {
    GLuint vs = compile(GL_VERTEX_SHADER, vertex_src, on_grid_src, error);
    if (!vs) return false;
    const auto make = [&](GLuint shader, const char* src) {
        return link(shader, src, picture, screen, error);
    };
    out.mask = make(vs, mask_src);
    if (out.mask) out.plain = make(vs, plain_src);
    if (out.plain) out.blended = make(vs, blended_src);
    if (out.blended) out.light = make(vs, light_src);
    glDeleteShader(vs);
    if (out.light) {
        GLuint pair_vs = compile(GL_VERTEX_SHADER, pair_vertex_src, on_grid_src, error);
        const std::string square = std::string(pair_head) + pair_square_src;
        const std::string alone = std::string(pair_head) + pair_alone_src;
        if (pair_vs) out.pair_square = make(pair_vs, square.c_str());
        if (out.pair_square) out.pair_alone = make(pair_vs, alone.c_str());
        if (pair_vs) glDeleteShader(pair_vs);
    }
    return out.pair_alone != 0;
}

void delete_set(gl_program_set& p) {
    for (GLuint* prog : {&p.mask, &p.plain, &p.blended, &p.light, &p.pair_square, &p.pair_alone}) {
        if (*prog) glDeleteProgram(*prog);
        *prog = 0;
    }
}

}  // namespace

bool build_programs(gl_programs& out, const frame_aim& screen, std::string& error) {
    if (build_set(out.sharp, sharp_picture_src, screen, error) &&
        build_set(out.smooth, smooth_picture_src, screen, error)) {
        GLuint vs = compile(GL_VERTEX_SHADER, vertex_src, on_grid_src, error);
        if (vs) out.kept = link(vs, kept_src, smooth_picture_src, screen, error);
        if (out.kept) out.rows = link(vs, rows_src, sharp_picture_src, screen, error);
        if (vs) glDeleteShader(vs);
        if (out.rows) return true;
    }
    delete_programs(out);
    return false;
}

void aim_pair_programs(const gl_programs& p, const frame_aim& target) {
    for (GLuint program : {p.sharp.pair_square, p.smooth.pair_square}) aim(program, target);
}

void delete_programs(gl_programs& p) {
    delete_set(p.sharp);
    delete_set(p.smooth);
    for (GLuint* prog : {&p.kept, &p.rows}) {
        if (*prog) glDeleteProgram(*prog);
        *prog = 0;
    }
}

}  // namespace media::backend
