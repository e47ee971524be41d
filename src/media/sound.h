// Sounds and channels. An effect is a fully decoded Ogg Vorbis file; a looping sound (music)
// is decoded as it plays, so starting it costs a few milliseconds. A channel is one voice.
// With no audio device everything still behaves on the clock, silently. Every operation
// handed no sound or no channel does nothing (channel_playing gives 0).
#pragma once

#include <memory>
#include <string>

namespace media {

struct sound;
struct channel;
using sound_ref = std::shared_ptr<sound>;
using channel_ref = std::shared_ptr<channel>;

// flags 1: loops when played. nullptr when missing, no regular file, over 16 MiB or not
// decodable; a damaged file gives what decodes. Either is logged once per file.
sound_ref load_sound(const std::string& path, int flags);
channel_ref alloc_channel();                  // an idle channel that never plays
channel_ref cue_sound(const sound_ref& snd);  // a new paused channel at the sound's start
void set_channel_volume(const channel_ref& chn, float volume);  // linear gain 0..1
void resume_channel(const channel_ref& chn);
void pause_channel(const channel_ref& chn);
void stop_channel(const channel_ref& chn);    // over at once for the game; heard fading out
int channel_playing(const channel_ref& chn);  // 1 while started and not stopped or finished

// The file name of a sound without folder or extension, e.g. "Present".
const std::string& sound_name(const sound_ref& snd);
// Length of one play of the sound in milliseconds.
int sound_length_ms(const sound_ref& snd);

// Opens the audio device; without one, logs one line and runs silent. `allow_device`
// false (the runner) never opens a device.
void open_audio(bool allow_device);
void close_audio();
bool audio_is_silent();

}  // namespace media
