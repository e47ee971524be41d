// The renderer's small programs. Colour and alpha come per vertex; the screen transform
// is a fixed scale, since rotation and scale are done on the CPU. They keep to what
// GLSL ES 3.00 can say too, so that only the version line differs for WebGL 2.
#include <string>

#include "media/backend/gl/gl_internal.h"

namespace media::backend {

namespace {

// Corners land on a 1/16-pixel grid, which every rasteriser resolves exactly: finer grids
// round their own ways, so a pixel centre close to an edge would be covered on one GL and
// not on another. The pair programs' corners snap alike.
const char* const vertex_src = R"(layout(location = 0) in vec2 pos;
layout(location = 1) in vec2 uv_in;
layout(location = 2) in vec4 col_in;
uniform vec2 to_ndc;
out vec2 uv;
out vec4 col;
void main() {
    uv = uv_in;
    col = col_in;
    // Row 0 of the back buffer is the top of the screen, so reads need no flipping.
    gl_Position = vec4(floor(pos * 16.0 + 0.5) / 16.0 * to_ndc - 1.0, 0.0, 1.0);
}
)";

const char* const mask_src = R"(in vec2 uv;
in vec4 col;
uniform sampler2D tex;
out vec4 frag;
void main() {
    vec4 c = texture(tex, uv) * col;
    if (c.a < 0.5) discard;
    frag = vec4(c.rgb, 1.0);
}
)";

const char* const plain_src = R"(in vec2 uv;
in vec4 col;
uniform sampler2D tex;
out vec4 frag;
void main() {
    frag = vec4((texture(tex, uv) * col).rgb, 1.0);
}
)";

const char* const blended_src = R"(in vec2 uv;
in vec4 col;
uniform sampler2D tex;
out vec4 frag;
void main() {
    frag = texture(tex, uv) * col;
}
)";

// d + s x a, saturating: s and a in whole steps of 1/255 as the back buffer stores them,
// their product rounded to a whole step, then added. No such product falls exactly
// halfway between two steps, so round() has no tie to break. The back buffer clamps.
const char* const light_src = R"(in vec2 uv;
in vec4 col;
uniform sampler2D tex;
out vec4 frag;
void main() {
    vec4 c = texture(tex, uv) * col;
    vec3 s = round(c.rgb * 255.0);
    float a = round(c.a * 255.0);
    vec3 added = round(s * a / 255.0);
    if (added == vec3(0.0)) discard;
    frag = vec4(added / 255.0, 0.0);
}
)";

// Stereo pairs. Tints, alpha and passes arrive in whole steps.
const char* const pair_vertex_src = R"(layout(location = 0) in vec2 pos;
layout(location = 1) in vec4 uv_in;
layout(location = 2) in vec4 left_in;
layout(location = 3) in vec4 right_in;
uniform vec2 to_ndc;
out vec4 uv;
flat out vec4 left;
flat out vec4 right;
void main() {
    uv = uv_in;
    left = floor(left_in * 255.0 + 0.5);
    right = floor(right_in * 255.0 + 0.5);
    gl_Position = vec4(floor(pos * 16.0 + 0.5) / 16.0 * to_ndc - 1.0, 0.0, 1.0);
}
)";

// What one light draw adds, as light_src works it out. Each product lies at least 1/510
// away from a rounding edge, so the order of the operations cannot change a result.
// Saturating adds of non-negative terms do not depend on their order either. A fragment
// that adds nothing is dropped, which spares the blend.
const char* const pair_head = R"(in vec4 uv;
flat in vec4 left;   // tint, alpha
flat in vec4 right;  // tint, passes
uniform sampler2D tex;
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
    add(light(texture(tex, uv.xy), left.rgb) + light(texture(tex, uv.zw), right.rgb));
}
)";

// One copy on its own quad, the very quad its light draw would have: turned copies, whose
// edges cross the 1/16-pixel grid at angles, cover exactly the pixels those draws cover.
const char* const pair_alone_src = R"(
void main() {
    add(light(texture(tex, uv.xy), left.rgb));
}
)";

// Each source gets the version line of the GL in use.
GLuint compile(GLenum kind, const char* src, std::string& error) {
    GLuint s = glCreateShader(kind);
    const char* parts[2] = {glsl_version_line, src};
    glShaderSource(s, 2, parts, nullptr);
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

GLuint link(GLuint vs, const char* fragment, int screen_w, int screen_h, std::string& error) {
    GLuint fs = compile(GL_FRAGMENT_SHADER, fragment, error);
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
    glUseProgram(p);
    glUniform2f(glGetUniformLocation(p, "to_ndc"), 2.0f / float(screen_w), 2.0f / float(screen_h));
    glUniform1i(glGetUniformLocation(p, "tex"), 0);
    return p;
}

}  // namespace

bool build_programs(gl_programs& out, int screen_w, int screen_h, std::string& error) {
    GLuint vs = compile(GL_VERTEX_SHADER, vertex_src, error);
    if (!vs) return false;
    out.mask = link(vs, mask_src, screen_w, screen_h, error);
    if (out.mask) out.plain = link(vs, plain_src, screen_w, screen_h, error);
    if (out.plain) out.blended = link(vs, blended_src, screen_w, screen_h, error);
    if (out.blended) out.light = link(vs, light_src, screen_w, screen_h, error);
    glDeleteShader(vs);
    if (out.light) {
        GLuint pair_vs = compile(GL_VERTEX_SHADER, pair_vertex_src, error);
        const std::string square = std::string(pair_head) + pair_square_src;
        const std::string alone = std::string(pair_head) + pair_alone_src;
        if (pair_vs) out.pair_square = link(pair_vs, square.c_str(), screen_w, screen_h, error);
        if (out.pair_square)
            out.pair_alone = link(pair_vs, alone.c_str(), screen_w, screen_h, error);
        if (pair_vs) glDeleteShader(pair_vs);
    }
    if (!out.pair_alone) {
        delete_programs(out);
        return false;
    }
    return true;
}

void delete_programs(gl_programs& p) {
    for (GLuint* prog : {&p.mask, &p.plain, &p.blended, &p.light, &p.pair_square, &p.pair_alone}) {
        if (*prog) glDeleteProgram(*prog);
        *prog = 0;
    }
}

}  // namespace media::backend
