// Music that plays as it decodes. A stream feeds its source from a short queue of buffers;
// one feeding thread tops every queue up, so starting a track costs the decoding of its
// first stretch only. At the end of the file the stream reads on from its start: the loop
// joins sample for sample. Called from the game's thread only; a stream made by a device
// that has since closed ignores every call.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/backend/openal/openal_output.h"

namespace media::backend {

struct music_stream;
using music_stream_ref = std::shared_ptr<music_stream>;
using ogg_bytes = std::shared_ptr<const std::vector<std::uint8_t>>;

// The file cued on `source` at its start, at `gain`; it shares the bytes. Null, with
// `error` set, when the device refuses buffers or the file does not decode.
music_stream_ref stream_cue(al_handle source, ogg_bytes file, float gain, std::string& error);
void stream_play(const music_stream_ref& s);
void stream_pause(const music_stream_ref& s);
void stream_gain(const music_stream_ref& s, float gain);
// Ends it for good, fading out (source_stop): the source ends up stopped and empty, and
// the buffers are freed.
void stream_stop(const music_stream_ref& s);
// The file turned out damaged part-way; the stream has gone quiet.
bool stream_damaged(const music_stream_ref& s);
int streams_fed();  // streams the feeding thread holds

// Ends the feeding thread; before the device closes.
void stop_streams();
// Tops every stream up once. Where there are no threads (the browser build) the feeding
// thread does not run, and the loop calls this between frames instead.
void feed_streams();

}  // namespace media::backend
