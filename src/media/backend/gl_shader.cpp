// The renderer's three small programs. Colour and alpha come per vertex; the screen
// transform is a fixed scale, since rotation and scale are done on the CPU.
#include <string>

#include "media/backend/gl_internal.h"

namespace media::backend {

namespace {

const char* const vertex_src = R"(#version 330 core
layout(location = 0) in vec2 pos;
layout(location = 1) in vec2 uv_in;
layout(location = 2) in vec4 col_in;
layout(location = 3) in float repeats_in;
uniform vec2 to_ndc;
out vec2 uv;
out vec4 col;
flat out float repeats;
void main() {
    uv = uv_in;
    col = col_in;
    repeats = repeats_in;
    // Row 0 of the back buffer is the top of the screen, so reads need no flipping.
    gl_Position = vec4(pos * to_ndc - 1.0, 0.0, 1.0);
}
)";

const char* const mask_src = R"(#version 330 core
in vec2 uv;
in vec4 col;
uniform sampler2D tex;
out vec4 frag;
void main() {
    vec4 c = texture(tex, uv) * col;
    if (c.a < 0.5) discard;
    frag = vec4(c.rgb, 1.0);
}
)";

const char* const plain_src = R"(#version 330 core
in vec2 uv;
in vec4 col;
uniform sampler2D tex;
out vec4 frag;
void main() {
    frag = vec4((texture(tex, uv) * col).rgb, 1.0);
}
)";

const char* const blended_src = R"(#version 330 core
in vec2 uv;
in vec4 col;
uniform sampler2D tex;
out vec4 frag;
void main() {
    frag = texture(tex, uv) * col;
}
)";

// d + s x a, saturating: s and a in whole steps of 1/255 as the back buffer stores them,
// their product rounded to a whole step, then added `repeats` times.
const char* const light_src = R"(#version 330 core
in vec2 uv;
in vec4 col;
flat in float repeats;
uniform sampler2D tex;
out vec4 frag;
void main() {
    vec4 c = texture(tex, uv) * col;
    vec3 s = floor(c.rgb * 255.0 + 0.5);
    float a = floor(c.a * 255.0 + 0.5);
    vec3 added = floor(s * a / 255.0 + 0.5) * repeats;
    frag = vec4(min(added, 255.0) / 255.0, 0.0);
}
)";

GLuint compile(GLenum kind, const char* src, std::string& error) {
    GLuint s = glCreateShader(kind);
    glShaderSource(s, 1, &src, nullptr);
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
    if (!out.light) {
        delete_programs(out);
        return false;
    }
    return true;
}

void delete_programs(gl_programs& p) {
    for (GLuint* prog : {&p.mask, &p.plain, &p.blended, &p.light}) {
        if (*prog) glDeleteProgram(*prog);
        *prog = 0;
    }
}

}  // namespace media::backend
