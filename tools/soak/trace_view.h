// One runner trace line, read back by key: the soak checks what a bug report would show.
#pragma once

#include <cstdlib>
#include <string>

// The screens as the trace's "state" numbers them.
namespace screen {
constexpr int intro = 0, play = 2, paused = 3, title = 4, tally = 5;
}

struct trace_view {
    std::string line;

    // The number after "key": (0 when the key is missing; `has` tells).
    double num(const char* key) const {
        const auto at = find(key);
        return at == std::string::npos ? 0.0 : std::strtod(line.c_str() + at, nullptr);
    }
    int integer(const char* key) const { return static_cast<int>(num(key)); }
    bool has(const char* key) const { return find(key) != std::string::npos; }

  private:
    std::size_t find(const char* key) const {
        const std::string tag = std::string("\"") + key + "\":";
        const auto at = line.find(tag);
        return at == std::string::npos ? at : at + tag.size();
    }
};
