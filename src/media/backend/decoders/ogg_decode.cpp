#include "media/backend/decoders/ogg_decode.h"

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
    if (n == 0) return 0;  // an empty file has no bytes at all, not even an address
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

constexpr int big_endian = std::endian::native == std::endian::big ? 1 : 0;

constexpr char cut_short[] = "cut short";
constexpr char damaged_inside[] = "damaged in the middle";

struct page_scan {
    std::size_t end = 0;  // just past the last whole page
    std::string damage;
};

// Walks every page once, in linear time. The decoder is handed the file up to the end of
// its last whole page: vorbisfile's search back for the last page rereads the tail at each
// step, which takes quadratic time over junk after the end (a file padded with zeros).
page_scan scan_pages(std::span<const std::uint8_t> file) {
    // Each false "OggS" costs a checksum of up to 64 KB; a file full of them is junk.
    constexpr int most_false_starts = 1024;
    page_scan out;
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    std::size_t fed = 0, at = 0;  // bytes handed to the sync; where it looks now
    bool skipped = false, inside = false, last_eos = false;
    int false_starts = 0;
    std::vector<std::pair<int, long>> last_page_of;  // serial number, page number
    for (;;) {
        ogg_page page;
        const long n = ogg_sync_pageseek(&sync, &page);
        if (n > 0) {
            inside = inside || skipped;
            skipped = false;
            const int serial = ogg_page_serialno(&page);
            const long number = ogg_page_pageno(&page);
            auto seen = std::find_if(last_page_of.begin(), last_page_of.end(),
                                     [&](const auto& p) { return p.first == serial; });
            if (seen == last_page_of.end()) {
                last_page_of.emplace_back(serial, number);
            } else {
                inside = inside || number != seen->second + 1;  // a page gone missing
                seen->second = number;
            }
            last_eos = ogg_page_eos(&page) != 0;
            at += static_cast<std::size_t>(n);
            out.end = at;
        } else if (n < 0) {
            const bool capture = file.size() - at >= 4 && std::memcmp(&file[at], "OggS", 4) == 0;
            if (capture && ++false_starts > most_false_starts) {
                inside = true;
                break;
            }
            skipped = true;
            at += static_cast<std::size_t>(-n);
        } else {
            if (fed == file.size()) break;
            const std::size_t chunk = std::min<std::size_t>(65536, file.size() - fed);
            char* buf = ogg_sync_buffer(&sync, static_cast<long>(chunk));
            std::memcpy(buf, file.data() + fed, chunk);
            ogg_sync_wrote(&sync, static_cast<long>(chunk));
            fed += chunk;
        }
    }
    ogg_sync_clear(&sync);
    if (inside)
        out.damage = damaged_inside;
    else if (!last_eos)
        out.damage = cut_short;
    else if (out.end < file.size())
        out.damage = "junk after its end";
    return out;
}

// `what`, naming the damage when there is some.
std::string with_damage(std::string what, const std::string& damage) {
    return damage.empty() ? what : what + " (" + damage + ")";
}

}  // namespace

struct ogg_reader::impl {
    memory_file src;
    OggVorbis_File vf{};
    bool opened = false;
    int file_channels = 0;
    int rate = 0;
    std::int64_t frames = 0;
    std::vector<std::int16_t> wide;  // a stretch of a file of more than two channels
    std::string damage;

    ~impl() {
        if (opened) ov_clear(&vf);
    }
};

ogg_reader::ogg_reader() : d_(std::make_unique<impl>()) {}
ogg_reader::~ogg_reader() = default;

bool ogg_reader::open(std::span<const std::uint8_t> file, std::string& error) {
    d_ = std::make_unique<impl>();
    if (file.size() < 4 || std::memcmp(file.data(), "OggS", 4) != 0) {
        error = "not an Ogg file";
        return false;
    }
    const page_scan pages = scan_pages(file);
    d_->src.bytes = file.first(pages.end);
    const ov_callbacks callbacks{mem_read, mem_seek, nullptr, mem_tell};
    if (ov_open_callbacks(&d_->src, &d_->vf, nullptr, 0, callbacks) != 0) {
        error = with_damage("not an Ogg Vorbis file", pages.damage);
        d_ = std::make_unique<impl>();
        return false;
    }
    d_->opened = true;
    const vorbis_info* info = ov_info(&d_->vf, 0);
    d_->file_channels = info ? info->channels : 0;
    d_->rate = info ? static_cast<int>(info->rate) : 0;
    bool ok = d_->file_channels > 0 && d_->rate > 0;
    for (long link = 1; ok && link < ov_streams(&d_->vf); ++link) {
        const vorbis_info* li = ov_info(&d_->vf, static_cast<int>(link));
        ok = li && li->channels == d_->file_channels && li->rate == d_->rate;
    }
    d_->frames = ok ? ov_pcm_total(&d_->vf, -1) : 0;
    // The length is read from the last page alone, which damage can make claim anything.
    if (ok && d_->frames / d_->rate > 24 * 3600) ok = false;
    if (!ok || d_->frames <= 0) {
        error =
            ok ? with_damage("no samples in the file", pages.damage) : "damaged Ogg Vorbis data";
        d_ = std::make_unique<impl>();
        return false;
    }
    d_->damage = pages.damage;
    return true;
}

const std::string& ogg_reader::damage() const {
    return d_->damage;
}

int ogg_reader::channels() const {
    return d_->file_channels > 2 ? 1 : d_->file_channels;
}

int ogg_reader::rate() const {
    return d_->rate;
}

std::int64_t ogg_reader::frames() const {
    return d_->frames;
}

long ogg_reader::read(std::int16_t* out, long max_frames) {
    if (!d_->opened) return -1;
    const int in = d_->file_channels;
    // ov_read hands back whole frames of at most one packet; keep its request modest.
    const long want = std::clamp<long>(max_frames, 0, 65536 / in);
    if (want == 0) return 0;
    char* dst = reinterpret_cast<char*>(out);
    if (in > 2) {
        d_->wide.resize(static_cast<std::size_t>(want * in));
        dst = reinterpret_cast<char*>(d_->wide.data());
    }
    const int bytes = static_cast<int>(want * in * 2);
    for (;;) {
        int link = 0;
        const long n = ov_read(&d_->vf, dst, bytes, big_endian, 2, 1, &link);
        if (n == OV_HOLE) {  // a gap in the data; the rest still plays
            if (d_->damage.empty()) d_->damage = damaged_inside;
            continue;
        }
        if (n <= 0) return n == 0 ? 0 : -1;
        const long got = n / (2 * in);
        // Sounds are played as mono or stereo; wider files keep their sum.
        for (long f = 0; in > 2 && f < got; ++f) {
            int sum = 0;
            for (int c = 0; c < in; ++c) sum += d_->wide[static_cast<std::size_t>(f * in + c)];
            out[f] = static_cast<std::int16_t>(sum / in);
        }
        return got;
    }
}

bool ogg_reader::rewind() {
    return d_->opened && ov_pcm_seek(&d_->vf, 0) == 0;
}

bool decode_ogg(std::span<const std::uint8_t> file, pcm_sound& out, std::string& error,
                std::string& damage) {
    out = pcm_sound{};
    damage.clear();
    ogg_reader reader;
    if (!reader.open(file, error)) return false;
    out.channels = reader.channels();
    out.rate = reader.rate();
    // The claimed length only sizes the first allocation, and only up to a long track.
    const std::int64_t claimed = std::min<std::int64_t>(reader.frames(), std::int64_t{1} << 22);
    out.samples.reserve(static_cast<std::size_t>(claimed * out.channels));
    constexpr long stretch = 4096;
    bool broke_off = false;
    for (;;) {
        const std::size_t at = out.samples.size();
        out.samples.resize(at + stretch * out.channels);
        const long n = reader.read(out.samples.data() + at, stretch);
        out.samples.resize(at + static_cast<std::size_t>(std::max(n, 0L) * out.channels));
        if (n == 0) break;
        if (n < 0) {
            broke_off = true;
            break;
        }
    }
    damage = reader.damage();
    if (broke_off && damage.empty()) damage = damaged_inside;
    if (out.frames() == 0) {
        error =
            with_damage(broke_off ? "damaged Ogg Vorbis data" : "no samples in the file", damage);
        out = pcm_sound{};
        return false;
    }
    if (broke_off || damage == cut_short) {
        const std::size_t fade = std::min<std::size_t>(out.frames(), out.rate / 100);
        const std::size_t from = out.frames() - fade;
        for (std::size_t f = 0; f < fade; ++f) {
            for (int c = 0; c < out.channels; ++c) {
                auto& v = out.samples[(from + f) * out.channels + c];
                v = static_cast<std::int16_t>(v * static_cast<long>(fade - 1 - f) /
                                              static_cast<long>(fade));
            }
        }
    }
    return true;
}

bool decode_ogg(std::span<const std::uint8_t> file, pcm_sound& out, std::string& error) {
    std::string damage;
    return decode_ogg(file, out, error, damage);
}

}  // namespace media::backend
