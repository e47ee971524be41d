// PNG files of the game: 8-bit RGB, no alpha, no time stamp, so the same
// picture always gives the same bytes.
#pragma once

#include <string>

#include "canvas.h"

namespace ag {

bool write_png(const std::string& path, const image8& img);
// Reads any PNG as 8-bit RGB (the contact sheet uses it). False on failure.
bool read_png(const std::string& path, image8& img);

}  // namespace ag
