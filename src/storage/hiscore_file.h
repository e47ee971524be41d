// The best score on disk: "data\hiscore.dat", one 32-bit little-endian integer. A missing
// file, or a folder under that name, reads as 0; a save that cannot be written is skipped
// and logged.
#pragma once

int load_hiscore();
void save_hiscore(int best);
