// Decodes a whole Ogg Vorbis file into 16-bit samples, the form every sound is kept in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace media::backend {

struct pcm_sound {
    std::vector<std::int16_t> samples;  // interleaved, `channels` per frame
    int channels = 0;                   // 1 or 2
    int rate = 0;                       // frames per second

    std::size_t frames() const { return channels ? samples.size() / channels : 0; }
};

// False, with `error` set, when the bytes are no Ogg Vorbis stream or hold no samples.
// More than two channels are mixed down to one.
bool decode_ogg(std::span<const std::uint8_t> file, pcm_sound& out, std::string& error);

}  // namespace media::backend
