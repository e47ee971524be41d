// The stereo renderer: draws an image frame or a caption flat, or as an anaglyph pair of
// tinted copies shifted by an eye offset, added onto the back buffer once per pass.
// Flat drawing uses the caller's colour and blend; stereo drawing sets its own (light
// blend, eye tints) but keeps the caller's alpha, rotation and scale. Whether it draws flat
// is its own `mode`, which the game sets from its 3D option (use_pair).
#pragma once

#include <string>

#include "media/image.h"
#include "render/game_object.h"

struct qbdraw_tag : game_object {
    int mode = 0;    // 0 draws flat; 1..4 in the colour pair "M\G", "R\G", "R\C", "R\B"
    int leye_r = 0;  // tint of the copy drawn at x - offs
    int leye_g = 0;
    int leye_b = 0;
    int reye_r = 0;  // tint of the copy drawn at x + offs
    int reye_g = 0;
    int reye_b = 0;
    float txt_xs = 0.0f;  // scale last given to sip, used to centre captions
    float txt_ys = 0.0f;

    // Sets the eye colours.
    int slc(int lr, int lg, int lb, int rr, int rg, int rb);
    // Draws in colour pair 1..4 from now on, or flat for 0; flat keeps the last pair's
    // colours. A value outside 0..4 draws flat.
    int use_pair(int pair);
    // Sets blend, alpha, rotation and scale in one call, and remembers the scale.
    int sip(int blend, float alpha, float rotation, float scale_x, float scale_y);
    // Draws a frame with its handle at (x, y). A non-zero roffs turns the two copies apart
    // and leaves the rotation at its whole-degree part.
    int i3d(const media::image_ref& img, float x, float y, int frame, float offs, float roffs,
            int passes);
    // Draws a caption with its line's top-left at (x, y), or centred there.
    int t3d(const std::string& text, float x, float y, float offs, int centre, int passes);
};
