// Ogg Vorbis writing with libvorbisenc. A fixed stream serial and no comment
// fields that change keep the files the same from build to build.
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "sounds.h"

namespace ag {
namespace {

// Writes the pages that are ready (all of them when flushing); sets `eos`
// once the last page of the stream has gone out.
bool write_pages(FILE* f, ogg_stream_state& os, bool flush, bool& eos) {
    ogg_page og;
    while (flush ? ogg_stream_flush(&os, &og) : ogg_stream_pageout(&os, &og)) {
        if (std::fwrite(og.header, 1, size_t(og.header_len), f) != size_t(og.header_len))
            return false;
        if (std::fwrite(og.body, 1, size_t(og.body_len), f) != size_t(og.body_len)) return false;
        if (ogg_page_eos(&og)) eos = true;
    }
    return true;
}

}  // namespace

bool write_ogg(const std::string& path, const sound& s, uint32_t serial) {
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!f) return false;
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, s.channels, sample_rate, 0.4f) != 0) {
        vorbis_info_clear(&vi);
        return false;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "TITLE", path.substr(path.find_last_of('/') + 1).c_str());
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, int(serial));

    ogg_packet header, header_comm, header_code;
    vorbis_analysis_headerout(&vd, &vc, &header, &header_comm, &header_code);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &header_comm);
    ogg_stream_packetin(&os, &header_code);
    bool eos = false;
    bool ok = write_pages(f.get(), os, true, eos);

    const size_t chunk = 4096;
    size_t frames = s.frames(), done = 0;
    while (ok && !eos) {
        size_t n = std::min(chunk, frames - done);
        if (n == 0) {
            vorbis_analysis_wrote(&vd, 0);  // end of stream
        } else {
            float** buf = vorbis_analysis_buffer(&vd, int(n));
            for (size_t i = 0; i < n; ++i)
                for (int c = 0; c < s.channels; ++c)
                    buf[c][i] = s.data[(done + i) * size_t(s.channels) + size_t(c)];
            vorbis_analysis_wrote(&vd, int(n));
            done += n;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet op;
            while (vorbis_bitrate_flushpacket(&vd, &op)) {
                ogg_stream_packetin(&os, &op);
                ok = ok && write_pages(f.get(), os, false, eos);
            }
        }
    }
    ok = ok && write_pages(f.get(), os, true, eos);
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return ok;
}

}  // namespace ag
