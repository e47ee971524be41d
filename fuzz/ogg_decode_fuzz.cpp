// Sounds as the game's loaders read them: effects decoded whole, music read a stretch at a
// time and looped. A decoded sound is mono or stereo at a real rate with whole frames; a
// failure says why and leaves nothing behind; a stream always reaches its end.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "checksums.h"
#include "fuzz_check.h"
#include "media/backend/decoders/ogg_decode.h"

namespace {

using media::backend::ogg_reader;

void check_decode(std::span<const std::uint8_t> file) {
    media::backend::pcm_sound pcm;
    std::string error;
    if (!media::backend::decode_ogg(file, pcm, error)) {
        FUZZ_CHECK(!error.empty(), "a failed decode gave no reason");
        FUZZ_CHECK(pcm.samples.empty() && pcm.channels == 0, "a failed decode left samples");
        return;
    }
    FUZZ_CHECK(pcm.channels == 1 || pcm.channels == 2, "%d channels", pcm.channels);
    FUZZ_CHECK(pcm.rate > 0, "rate %d", pcm.rate);
    FUZZ_CHECK(pcm.frames() > 0 && pcm.samples.size() % pcm.channels == 0,
               "%zu samples for %d channels", pcm.samples.size(), pcm.channels);
}

// Up to `frames` frames from where the reader stands, in stretches as the stream reads.
std::vector<std::int16_t> read_frames(ogg_reader& reader, long frames, bool& damaged) {
    std::vector<std::int16_t> out;
    std::vector<std::int16_t> buf(1024 * 2);
    while (static_cast<long>(out.size()) < frames * reader.channels()) {
        const long n = reader.read(buf.data(), 1024);
        FUZZ_CHECK(n >= -1 && n <= 1024, "read %ld of 1024 frames", n);
        damaged = damaged || n < 0;
        if (n <= 0) break;
        out.insert(out.end(), buf.begin(), buf.begin() + n * reader.channels());
    }
    out.resize(std::min(out.size(), static_cast<std::size_t>(frames * reader.channels())));
    return out;
}

void check_stream(std::span<const std::uint8_t> file) {
    ogg_reader reader;
    std::string error;
    if (!reader.open(file, error)) {
        FUZZ_CHECK(!error.empty(), "a failed open gave no reason");
        return;
    }
    FUZZ_CHECK(reader.channels() == 1 || reader.channels() == 2, "%d channels", reader.channels());
    FUZZ_CHECK(reader.rate() > 0 && reader.frames() > 0, "rate %d, %lld frames", reader.rate(),
               static_cast<long long>(reader.frames()));
    // To the end, back to the start and on, as the music stream loops; like the stream it
    // stops at damage. However damaged the data, every read ends and stays in range.
    bool damaged = false;
    read_frames(reader, 1 << 20, damaged);
    if (!damaged && reader.rewind()) read_frames(reader, 4096, damaged);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    check_decode(bytes);
    check_stream(bytes);
    if (fuzz::repair_ogg_crcs(bytes)) {
        check_decode(bytes);
        check_stream(bytes);
    }
    return 0;
}
