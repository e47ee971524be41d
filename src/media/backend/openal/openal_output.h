// The audio device on OpenAL Soft: one context, sample buffers, and a pool of sources (the
// voices channels play on). Handles from a device that has since closed are stale and
// every call ignores them, so a sound or channel may outlive the device.
// A stopped source fades out rather than click: it goes quiet over the mixer's next update
// (OpenAL Soft ramps a gain change across it) and is only really stopped, emptied and
// pooled once the mix has passed that point. Meanwhile every call but return_source
// ignores it, and buffers it plays are freed once it is silent.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "media/backend/decoders/ogg_decode.h"

namespace media::backend {

struct al_handle {
    unsigned id = 0;
    unsigned device = 0;  // which opening of the device made it
};

// Opens the default device. False, with `error` set, when there is none.
bool audio_device_open(std::string& error);
void audio_device_close();  // lets fading sources go quiet, then deletes everything it made
bool audio_device_ready();
bool handle_live(al_handle h);  // made by the device that is open now

al_handle make_buffer(const pcm_sound& pcm);  // a null handle when the device refuses
al_handle make_empty_buffer();                // for a stream to fill; null when refused
void free_buffer(al_handle buffer);
int buffers_made();  // buffers the device holds

al_handle take_source();          // a pooled or new source; null when the device has no more
void return_source(al_handle s);  // stopped, emptied and pooled for the next channel
int sources_made();               // sources the device holds, pooled or in use

void source_cue(al_handle s, al_handle buffer, bool loops, float gain);  // at the start
void source_play(al_handle s);
void source_pause(al_handle s);
// Ends playback for good, fading out; `plays` names buffers queued on it (a stream's),
// which free_buffer then keeps until it is silent.
void source_stop(al_handle s, std::span<const al_handle> plays = {});
void source_gain(al_handle s, float gain);
bool source_finished(al_handle s);  // played to its end (or stopped)
void settle_fades();                // stops the sources whose fade the mix has passed
int fading_sources();
// How far the open device has mixed, in nanoseconds from an arbitrary start; the wall clock
// where it cannot say. Tests wait on it: a busy machine slows the mix, not the sound.
std::int64_t mix_clock_ns();

}  // namespace media::backend
