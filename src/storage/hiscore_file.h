// The best score on disk: "data\hiscore.dat", one 32-bit little-endian integer.
// save 0 loads it into player->best_sc (0 when there is no file); any other value writes it.
// A folder under that name is ignored; a save that cannot be written is skipped and logged.
#pragma once

int hiscore_file(int save);
