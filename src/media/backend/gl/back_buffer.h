// Reading the 640 x 480 back buffer back to the CPU: grab_image and the runner's shots.
#pragma once

#include <cstdint>
#include <vector>

namespace media::backend {

// RGBA rows from the top of the screen; pixels outside the screen read as opaque black.
// Draws queued so far are sent first. Empty when no display is open.
void read_back_buffer(int x, int y, int w, int h, std::vector<std::uint8_t>& rgba);

}  // namespace media::backend
