#include "media/backend/ogg_decode.h"

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>

namespace media::backend {

namespace {

struct memory_file {
    std::span<const std::uint8_t> bytes;
    std::size_t pos = 0;
};

std::size_t mem_read(void* dst, std::size_t size, std::size_t count, void* src) {
    auto* f = static_cast<memory_file*>(src);
    if (size == 0) return 0;
    const std::size_t n = std::min(count, (f->bytes.size() - f->pos) / size);
    std::memcpy(dst, f->bytes.data() + f->pos, n * size);
    f->pos += n * size;
    return n;
}

int mem_seek(void* src, ogg_int64_t offset, int whence) {
    auto* f = static_cast<memory_file*>(src);
    ogg_int64_t base = 0;
    if (whence == SEEK_CUR) base = static_cast<ogg_int64_t>(f->pos);
    if (whence == SEEK_END) base = static_cast<ogg_int64_t>(f->bytes.size());
    const ogg_int64_t to = base + offset;
    if (to < 0 || to > static_cast<ogg_int64_t>(f->bytes.size())) return -1;
    f->pos = static_cast<std::size_t>(to);
    return 0;
}

long mem_tell(void* src) {
    return static_cast<long>(static_cast<memory_file*>(src)->pos);
}

// Sounds are played as mono or stereo; wider files keep their sum.
void mix_to_mono(pcm_sound& s, int channels) {
    const std::size_t frames = s.samples.size() / channels;
    for (std::size_t f = 0; f < frames; ++f) {
        int sum = 0;
        for (int c = 0; c < channels; ++c) sum += s.samples[f * channels + c];
        s.samples[f] = static_cast<std::int16_t>(sum / channels);
    }
    s.samples.resize(frames);
    s.channels = 1;
}

}  // namespace

bool decode_ogg(std::span<const std::uint8_t> file, pcm_sound& out, std::string& error) {
    out = pcm_sound{};
    memory_file src{file};
    const ov_callbacks callbacks{mem_read, mem_seek, nullptr, mem_tell};
    OggVorbis_File vf;
    if (ov_open_callbacks(&src, &vf, nullptr, 0, callbacks) != 0) {
        error = "not an Ogg Vorbis file";
        return false;
    }
    const vorbis_info* info = ov_info(&vf, -1);
    const int channels = info ? info->channels : 0;
    out.rate = info ? static_cast<int>(info->rate) : 0;

    const int big_endian = std::endian::native == std::endian::big ? 1 : 0;
    char buf[8192];
    int link = 0;
    bool ok = channels > 0 && out.rate > 0;
    while (ok) {
        const long n = ov_read(&vf, buf, sizeof buf, big_endian, 2, 1, &link);
        if (n == 0) break;
        if (n == OV_HOLE) continue;  // a gap in the data; the rest still plays
        const vorbis_info* li = ov_info(&vf, link);
        if (n < 0 || !li || li->channels != channels || li->rate != out.rate) {
            ok = false;
            break;
        }
        const std::size_t at = out.samples.size();
        out.samples.resize(at + static_cast<std::size_t>(n) / 2);
        std::memcpy(out.samples.data() + at, buf, static_cast<std::size_t>(n));
    }
    ov_clear(&vf);

    out.channels = channels;
    if (ok && channels > 2) mix_to_mono(out, channels);
    if (!ok || out.frames() == 0) {
        error = ok ? "no samples in the file" : "damaged Ogg Vorbis data";
        out = pcm_sound{};
        return false;
    }
    return true;
}

}  // namespace media::backend
