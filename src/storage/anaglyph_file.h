// The chosen stereo colour pair on disk: "Data\anaglyph3d.dat", one 32-bit little-endian
// integer holding mode_3d. Action 1 loads, 2 saves, anything else only applies the eye
// colours of mode_3d to draw3d. A stored value outside 0..4 loads as 0.
#pragma once

int anaglyph_file(int action);

// The eye colours of colour pair 1..4: left r, g, b then right r, g, b.
void apply_eye_colours(int mode);
