// The chosen stereo colour pair on disk: "Data\anaglyph3d.dat", one 32-bit little-endian
// integer, 0 for flat drawing or a colour pair 1..4.
#pragma once

// The stored choice; `current` when there is no file. A value outside 0..4 (a damaged
// file) loads as 0, so it never picks a colour pair that does not exist.
int load_anaglyph_mode(int current);
void save_anaglyph_mode(int mode);
