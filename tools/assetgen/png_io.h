// PNG files of the game: 8-bit RGB, no alpha, no time stamp, so the same
// picture always gives the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "canvas.h"

namespace ag {

bool write_png(const std::string& path, const image8& img);
// 8-bit RGBA from the canvas's colour and coverage, for pictures seen outside the game.
bool write_png_rgba(const std::string& path, const canvas& c);
// The same file's bytes, for containers such as the Windows icon; empty on failure.
std::vector<uint8_t> png_rgba_bytes(const canvas& c);
// Writes all of `bytes`, or fails; empty `bytes` fail too (an encoder failed).
bool write_file(const std::string& path, const std::vector<uint8_t>& bytes);
// Reads any PNG as 8-bit RGB (the contact sheet uses it). False on failure.
bool read_png(const std::string& path, image8& img);

}  // namespace ag
