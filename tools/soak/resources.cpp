#include "resources.h"

#include <dirent.h>
#include <epoxy/gl.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>

namespace {

long resident_kb() {
    long pages = 0, resident = 0;
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) return -1;
    const int n = std::fscanf(f, "%ld %ld", &pages, &resident);
    std::fclose(f);
    return n == 2 ? resident * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

int open_fds() {
    DIR* d = opendir("/proc/self/fd");
    if (!d) return -1;
    int n = 0;
    while (const dirent* e = readdir(d)) {
        if (e->d_name[0] != '.') ++n;
    }
    closedir(d);
    return n - 1;  // the listing's own
}

// GL keeps no count of its objects, so ask about every name up to the highest one handed
// out so far: a name just made and deleted again shows how far that is.
template <typename is_fn>
int count_names(unsigned highest, is_fn is_object) {
    int n = 0;
    for (unsigned name = 1; name <= highest + 64; ++name) n += is_object(name) ? 1 : 0;
    return n;
}

unsigned next_name(void (*gen)(GLsizei, GLuint*), void (*del)(GLsizei, const GLuint*)) {
    GLuint name = 0;
    gen(1, &name);
    del(1, &name);
    return name;
}

}  // namespace

std::string gl_counts::text() const {
    char buf[160];
    std::snprintf(buf, sizeof buf,
                  "textures %d, buffers %d, vertex arrays %d, framebuffers %d, "
                  "renderbuffers %d, programs %d, shaders %d",
                  textures, buffers, vertex_arrays, framebuffers, renderbuffers, programs, shaders);
    return buf;
}

resource_sample take_sample() {
    resource_sample s;
    s.rss_kb = resident_kb();
    // Freed sound buffers stay resident as free heap for a while, by more than a megabyte
    // from one sample to the next; what is left after a trim is what the game holds.
    malloc_trim(0);
    s.trimmed_rss_kb = resident_kb();
    const struct mallinfo2 heap = mallinfo2();
    s.heap_kb = static_cast<long>((heap.uordblks + heap.hblkhd) / 1024);
    s.fds = open_fds();
    gl_counts& g = s.gl;
    g.textures = count_names(next_name(glGenTextures, glDeleteTextures),
                             [](unsigned n) { return glIsTexture(n); });
    g.buffers = count_names(next_name(glGenBuffers, glDeleteBuffers),
                            [](unsigned n) { return glIsBuffer(n); });
    g.vertex_arrays = count_names(next_name(glGenVertexArrays, glDeleteVertexArrays),
                                  [](unsigned n) { return glIsVertexArray(n); });
    g.framebuffers = count_names(next_name(glGenFramebuffers, glDeleteFramebuffers),
                                 [](unsigned n) { return glIsFramebuffer(n); });
    g.renderbuffers = count_names(next_name(glGenRenderbuffers, glDeleteRenderbuffers),
                                  [](unsigned n) { return glIsRenderbuffer(n); });
    // Programs and shaders share one set of names.
    const GLuint probe = glCreateShader(GL_VERTEX_SHADER);
    glDeleteShader(probe);
    g.programs = count_names(probe, [](unsigned n) { return glIsProgram(n); });
    g.shaders = count_names(probe, [](unsigned n) { return glIsShader(n); });
    return s;
}
