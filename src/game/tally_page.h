// The lines of the tally screen for the round just ended, as they are drawn: each with its
// height, scale and colour, in order. Kept apart from the drawing so the texts can be read.
#pragma once

#include <string>
#include <vector>

struct tally_line {
    std::string text;
    float y = 0.0f;
    float scale = 1.0f;
    int r = 255, g = 255, b = 255;
};

// Both pages, then the prompt from the 251st frame on (drawn in the last scale and colour).
std::vector<tally_line> tally_page();
