// What a long session could leak, read from the running game: resident memory, open file
// descriptors and live GL objects of the current context.
#pragma once

#include <string>

struct gl_counts {
    int textures = 0, buffers = 0, vertex_arrays = 0, framebuffers = 0, renderbuffers = 0,
        programs = 0, shaders = 0;

    bool operator==(const gl_counts&) const = default;
    std::string text() const;
};

struct resource_sample {
    long rss_kb = 0;
    long trimmed_rss_kb = 0;  // after the allocator gave its free pages back
    long heap_kb = 0;         // what the allocator has handed out and not had back
    int fds = 0;
    gl_counts gl;
};

resource_sample take_sample();
