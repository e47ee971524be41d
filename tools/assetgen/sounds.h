// Every sound and music file of the game, synthesised by code.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ag {

constexpr int sample_rate = 44100;

// Interleaved samples in -1..1; one or two channels.
struct sound {
    int channels = 1;
    std::vector<float> data;
    size_t frames() const { return data.size() / size_t(channels); }
};

struct sound_job {
    const char* file;  // name in Data/
    uint32_t serial;   // fixed Ogg stream serial, so the files never change
    std::function<sound()> make;
};

const std::vector<sound_job>& sound_jobs();

// Ogg Vorbis at 44.1 kHz; false when the file cannot be written.
bool write_ogg(const std::string& path, const sound& s, uint32_t serial);

}  // namespace ag
