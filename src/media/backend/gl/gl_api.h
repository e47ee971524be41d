// The OpenGL API the renderer is written against: OpenGL 3.3 core on the desktop, through
// libepoxy; WebGL 2 (OpenGL ES 3.0) in the browser, whose headers Emscripten brings. The
// renderer keeps to what both have.
#pragma once

#ifdef __EMSCRIPTEN__
#include <GLES3/gl3.h>
#else
#include <epoxy/gl.h>
#endif

namespace media::backend {

// GLSL sources start "#version 330 core"; this is the first line that the API takes for
// them: the same on the desktop, "#version 300 es" with full float precision in WebGL 2.
#ifdef __EMSCRIPTEN__
inline constexpr const char* glsl_version_line =
    "#version 300 es\nprecision highp float;\nprecision highp int;\nprecision highp sampler2D;\n";
#else
inline constexpr const char* glsl_version_line = "#version 330 core\n";
#endif

}  // namespace media::backend
