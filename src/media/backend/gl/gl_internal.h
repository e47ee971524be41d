// Pieces shared by the files of the GL renderer; nothing outside backend/gl_* uses them.
#pragma once

#include "media/backend/gl/gl_api.h"

#include <string>

namespace media::backend {

// Programs for the blend modes: mask discards low alpha, plain writes opaque colour,
// blended leaves the combining to the GL blend stage, light works out in whole steps what
// a draw adds, and the pair programs add the copies of a stereo pair as separate light
// draws would: both copies on quads cut to their edges, or one copy on its own quad.
struct gl_program_set {
    GLuint mask = 0, plain = 0, blended = 0, light = 0;
    GLuint pair_square = 0, pair_alone = 0;
};
// Each twice: sharp pictures by the renderer's texel rule, the smooth font filtered.
// And one that adds a kept stereo pair's picture as it stands, and one for the scan lines.
struct gl_programs {
    gl_program_set sharp, smooth;
    GLuint kept = 0, rows = 0;
};
// A target's size, and whether it is a window (bottom row first) or a texture.
struct frame_aim {
    int w = 0, h = 0;
    bool window_rows = false;
};
bool build_programs(gl_programs& out, const frame_aim& screen, std::string& error);
// Points the square pair programs at a target.
void aim_pair_programs(const gl_programs& p, const frame_aim& target);
void delete_programs(gl_programs& p);

// Changes with every renderer_open; 0 while no context is open. A texture made under
// another generation belongs to a context that is gone.
unsigned live_generation();
// A texture was bound outside a flush: the next flush binds again.
void texture_binding_changed();
// Smooth textures are drawn with the programs that let the GL filter them.
void texture_is_smooth(GLuint name, bool smooth);
bool texture_smooth(GLuint name);

class gl_texture;
struct pair_vertex;
struct vertex;
// Draws square pair quads into `target`, cleared to black first; false when they could
// not be drawn. The back buffer is the target again afterwards.
bool draw_pairs_into(const gl_texture& target, GLuint texture, const pair_vertex* quads, int count);
// Room for quads that add a kept pair's picture (vertex colours unused).
vertex* push_kept_quads(GLuint picture, int quads);
// A frame has gone up: pictures drawn from in it may make room again.
void kept_pairs_next_frame();
// Kept pairs drawn from a texture that changes or goes, or all of them.
void forget_kept_pairs_of(GLuint texture);
void forget_kept_pairs();

}  // namespace media::backend
