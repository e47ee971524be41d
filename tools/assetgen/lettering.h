// Text set in the game's face with FreeType, as coverage for the pictures.
#pragma once

#include <string>
#include <vector>

namespace ag {

struct coverage {
    int w = 0, h = 0;
    std::vector<float> v;  // 0..1 a pixel
    coverage() = default;
    coverage(int w_, int h_) : w(w_), h(h_), v(size_t(w_) * h_, 0.0f) {}
    float at(int x, int y) const {
        if (x < 0 || y < 0 || x >= w || y >= h) return 0;
        return v[size_t(y) * w + x];
    }
};

// Lays `text` into a w x h field with its baseline at `baseline` and its
// left edge at `x`, `px` pixels high (the face's em). Returns false and an
// empty field when the font cannot be read. `advance`, when given, receives
// the width the text takes.
bool set_text(const std::string& font_path, const std::string& text, float px, int w, int h,
              float x, float baseline, coverage& out, float* advance = nullptr,
              float tracking = 0.0f);
// Width `text` takes at `px`, or 0 when the font cannot be read.
float text_width(const std::string& font_path, const std::string& text, float px,
                 float tracking = 0.0f);

// Distance in pixels from each pixel to the nearest covered one (coverage at
// or over one half), capped at `limit`.
std::vector<float> distance_to(const coverage& c, int limit);

}  // namespace ag
