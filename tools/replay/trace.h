// One JSON object per presented frame with the game's state at the moment of presenting.
#pragma once

#include <cstdio>

void write_trace_line(std::FILE* out, int frame, int clock_ms);
