// Ogg Vorbis files as 16-bit samples, the form every sound is played in: decoded whole
// (effects), or read a stretch at a time (music, which plays as it decodes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
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

// An open file read from its start, a stretch at a time. It reads the caller's bytes in
// place: they must outlive it. Files of more than two channels are read as one.
class ogg_reader {
  public:
    ogg_reader();
    ~ogg_reader();
    ogg_reader(const ogg_reader&) = delete;
    ogg_reader& operator=(const ogg_reader&) = delete;

    // False, with `error` set, when the bytes are no Ogg Vorbis stream, hold no samples, or
    // change their channels or rate part-way. Reads the headers and checks every page once;
    // bytes after the last whole page are left out.
    bool open(std::span<const std::uint8_t> file, std::string& error);
    // Empty while the file is whole; else what is wrong with it ("cut short", "junk after
    // its end", "damaged in the middle"). Gaps met while reading count too.
    const std::string& damage() const;
    int channels() const;         // 1 or 2
    int rate() const;             // frames per second
    std::int64_t frames() const;  // the length of one play
    // Up to `max_frames` frames into `out` (channels() samples a frame). 0 at the end of
    // the file, -1 on damaged data. Gaps in the data are skipped.
    long read(std::int16_t* out, long max_frames);
    bool rewind();  // back to the very first sample

  private:
    struct impl;
    std::unique_ptr<impl> d_;
};

// False, with `error` set, when the bytes are no Ogg Vorbis stream or hold no samples.
// More than two channels are mixed down to one. A damaged file gives what decodes, with
// `damage` saying what is wrong (empty for a whole file); a sound cut off is faded out over
// its last 10 ms rather than ending in a click.
bool decode_ogg(std::span<const std::uint8_t> file, pcm_sound& out, std::string& error,
                std::string& damage);
bool decode_ogg(std::span<const std::uint8_t> file, pcm_sound& out, std::string& error);

}  // namespace media::backend
