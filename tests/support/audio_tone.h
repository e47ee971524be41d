// Ogg Vorbis files for the sound tests: a sine tone of an exact length, encoded on the spot
// so each test states the sound it plays.
#pragma once

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include "media/backend/openal/openal_output.h"

namespace test_support {

inline std::vector<std::uint8_t> encode_tone(int rate, int channels, int frames,
                                             float amplitude = 0.5f, float hertz = 440.0f) {
    std::vector<std::uint8_t> out;
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, rate, 0.1f) != 0) {
        vorbis_info_clear(&vi);
        return out;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 1);

    ogg_page page;
    auto put = [&out](const ogg_page& p) {
        out.insert(out.end(), p.header, p.header + p.header_len);
        out.insert(out.end(), p.body, p.body + p.body_len);
    };
    ogg_packet head, comments, books;
    vorbis_analysis_headerout(&vd, &vc, &head, &comments, &books);
    ogg_stream_packetin(&os, &head);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &books);
    while (ogg_stream_flush(&os, &page)) put(page);

    int done = 0;
    for (bool last = false; !last;) {
        const int n = std::min(1024, frames - done);
        last = n <= 0;
        if (!last) {
            float** buf = vorbis_analysis_buffer(&vd, n);
            for (int i = 0; i < n; ++i) {
                const double t = static_cast<double>(done + i) / rate;
                const auto v =
                    static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * hertz * t));
                for (int c = 0; c < channels; ++c) buf[c][i] = v;
            }
            done += n;
        }
        vorbis_analysis_wrote(&vd, last ? 0 : n);
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page)) put(page);
            }
        }
    }
    while (ogg_stream_flush(&os, &page)) put(page);

    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

// Waits until the open device has mixed `ms` more milliseconds: sound that plays for a
// stretch is timed by the mix, which a busy machine slows down along with the test. False
// when a minute of wall time passes first.
inline bool wait_for_mix(int ms) {
    const std::int64_t until = media::backend::mix_clock_ns() + std::int64_t{ms} * 1'000'000;
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (media::backend::mix_clock_ns() < until) {
        if (std::chrono::steady_clock::now() > give_up) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

inline void write_bytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

}  // namespace test_support
