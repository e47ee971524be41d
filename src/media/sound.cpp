#include "media/sound.h"

#include <algorithm>
#include <vector>

#include "media/backend/decoders/ogg_decode.h"
#include "media/backend/openal/music_stream.h"
#include "media/backend/openal/openal_output.h"
#include "media/clock.h"
#include "media/files.h"
#include "media/log.h"

namespace media {

namespace {

enum class audio_mode { unopened, silent, device };
audio_mode g_mode = audio_mode::unopened;

// The game's own tracks are under a megabyte; anything this large is no sound of ours, and
// reading it whole would stall every screen that starts it.
constexpr std::size_t max_sound_bytes = std::size_t{16} << 20;

std::string name_of(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

}  // namespace

struct sound {
    std::string name;
    std::string path;
    bool loops = false;
    int length_ms = 0;
    backend::al_handle buffer;
    backend::pcm_sound pcm;  // kept only until a device can take it
    backend::ogg_bytes ogg;  // a looping sound (music) plays from its file as it decodes

    ~sound() { backend::free_buffer(buffer); }

    // The device's copy of the samples, made on first need.
    bool on_device() {
        if (!backend::handle_live(buffer) && !pcm.samples.empty()) {
            buffer = backend::make_buffer(pcm);
            if (backend::handle_live(buffer)) pcm = backend::pcm_sound{};
        }
        return backend::handle_live(buffer);
    }
};

// A channel plays on a device source when it got one; otherwise it keeps its sound's time
// on the game's clock, so a silent game behaves as a loud one.
struct channel {
    enum class state { idle, cued, playing, paused, done };

    sound_ref snd;
    state st = state::idle;
    backend::al_handle source;
    backend::music_stream_ref stream;  // music, fed to the source as it decodes
    float volume = 1.0f;
    int played_ms = 0;   // silent: time played before the current run
    int resumed_at = 0;  // silent: clock when the current run began
    bool listed = false;

    ~channel() {
        backend::stream_stop(stream);
        backend::return_source(source);
    }

    bool uses_clock() const { return source.id == 0; }

    void refresh() {
        if (st != state::playing && st != state::paused) return;
        if (!uses_clock()) {
            // A channel whose device has closed is over; otherwise ask the device. Music
            // loops: its stream plays until stopped, going quiet if the file is damaged.
            if (backend::stream_damaged(stream))
                log_once("sound " + snd->path, "sound",
                         "cannot decode " + snd->path + ": damaged Ogg Vorbis data");
            if (!backend::handle_live(source) ||
                (st == state::playing && !stream && backend::source_finished(source)))
                st = state::done;
            return;
        }
        if (st == state::playing && !snd->loops &&
            played_ms + (millisecs() - resumed_at) >= snd->length_ms)
            st = state::done;
    }
};

namespace {

// Started channels, kept alive here so that effects play out after the game lets go.
std::vector<channel_ref> g_started;

// A channel leaves the list once it is over, or paused with no one left to resume it; the
// last reference then gives its source back to the pool.
void reclaim() {
    backend::settle_fades();
    std::erase_if(g_started, [](const channel_ref& c) {
        c->refresh();
        const bool over = c->st == channel::state::done ||
                          (c->st == channel::state::paused && c.use_count() == 1);
        if (over) c->listed = false;
        return over;
    });
}

}  // namespace

void open_audio(bool allow_device) {
    if (g_mode == audio_mode::device) return;
    std::string error;  // the line below says all the player needs
    if (allow_device && backend::audio_device_open(error)) {
        g_mode = audio_mode::device;
        return;
    }
    if (allow_device) log_line("audio", "no output device, playing silent");
    g_mode = audio_mode::silent;
}

void close_audio() {
    backend::stop_streams();
    for (const channel_ref& c : g_started) c->listed = false;
    g_started.clear();
    backend::audio_device_close();
    g_mode = audio_mode::unopened;
}

bool audio_is_silent() {
    return g_mode != audio_mode::device;
}

sound_ref load_sound(const std::string& path, int flags) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!read_whole_file(path, bytes, max_sound_bytes, "OggS", error)) {
        log_once("sound " + path, "sound", "cannot read " + path + ": " + error);
        return nullptr;
    }
    // A damaged file plays what decodes, as a scratched record would; the player hears the
    // cue, and the line says which file to replace.
    const auto note_damage = [&](const std::string& damage) {
        if (!damage.empty())
            log_once("sound " + path, "sound",
                     path + " is damaged (" + damage + "), playing what decodes");
    };
    auto snd = std::make_shared<sound>();
    snd->name = name_of(path);
    snd->path = path;
    snd->loops = flags & 1;
    if (snd->loops) {
        // Music is only opened here: its length is in the file's last page, and the
        // decoding happens as it plays. A silent game never needs the file again.
        auto file = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
        backend::ogg_reader reader;
        if (!reader.open(*file, error)) {
            log_once("sound " + path, "sound", "cannot decode " + path + ": " + error);
            return nullptr;
        }
        note_damage(reader.damage());
        snd->length_ms = static_cast<int>(reader.frames() * 1000 / reader.rate());
        if (g_mode != audio_mode::silent) snd->ogg = std::move(file);
        return snd;
    }
    std::string damage;
    if (!backend::decode_ogg(bytes, snd->pcm, error, damage)) {
        log_once("sound " + path, "sound", "cannot decode " + path + ": " + error);
        return nullptr;
    }
    note_damage(damage);
    snd->length_ms = static_cast<int>(snd->pcm.frames() * 1000 / snd->pcm.rate);
    // A silent game never needs the samples; before open_audio a device may still come.
    if (g_mode == audio_mode::device) {
        snd->on_device();
    } else if (g_mode == audio_mode::silent) {
        snd->pcm = backend::pcm_sound{};
    }
    return snd;
}

channel_ref alloc_channel() {
    return std::make_shared<channel>();
}

channel_ref cue_sound(const sound_ref& snd) {
    if (!snd) return nullptr;
    reclaim();
    auto c = std::make_shared<channel>();
    c->snd = snd;
    c->st = channel::state::cued;
    if (g_mode != audio_mode::device || (!snd->ogg && !snd->on_device())) return c;
    c->source = backend::take_source();
    if (!backend::handle_live(c->source)) {
        c->source = {};
        log_once("audio voices", "audio", "out of voices, extra sounds play silent");
        return c;
    }
    if (!snd->ogg) {
        backend::source_cue(c->source, snd->buffer, snd->loops, c->volume);
        return c;
    }
    std::string error;
    c->stream = backend::stream_cue(c->source, snd->ogg, c->volume, error);
    if (!c->stream) {
        // Plays silent on the clock, as a channel with no voice does.
        backend::return_source(c->source);
        c->source = {};
        log_once("sound " + snd->path, "sound", "cannot play " + snd->path + ": " + error);
    }
    return c;
}

void set_channel_volume(const channel_ref& chn, float volume) {
    if (!chn) return;
    chn->volume = std::clamp(volume, 0.0f, 1.0f);
    if (chn->stream)
        backend::stream_gain(chn->stream, chn->volume);
    else
        backend::source_gain(chn->source, chn->volume);
}

void resume_channel(const channel_ref& chn) {
    if (!chn) return;
    chn->refresh();
    if (chn->st != channel::state::cued && chn->st != channel::state::paused) return;
    chn->st = channel::state::playing;
    if (chn->uses_clock()) chn->resumed_at = millisecs();
    if (chn->stream)
        backend::stream_play(chn->stream);
    else
        backend::source_play(chn->source);
    if (!chn->listed) {
        reclaim();
        chn->listed = true;
        g_started.push_back(chn);
    }
}

void pause_channel(const channel_ref& chn) {
    if (!chn) return;
    chn->refresh();
    if (chn->st != channel::state::playing) return;
    chn->st = channel::state::paused;
    if (chn->uses_clock()) chn->played_ms += millisecs() - chn->resumed_at;
    if (chn->stream)
        backend::stream_pause(chn->stream);
    else
        backend::source_pause(chn->source);
}

void stop_channel(const channel_ref& chn) {
    if (!chn || chn->st == channel::state::idle) return;
    chn->st = channel::state::done;
    backend::stream_stop(chn->stream);
    backend::source_stop(chn->source);
}

int channel_playing(const channel_ref& chn) {
    if (!chn) return 0;
    chn->refresh();
    return chn->st == channel::state::playing || chn->st == channel::state::paused ? 1 : 0;
}

const std::string& sound_name(const sound_ref& snd) {
    static const std::string none;
    return snd ? snd->name : none;
}

int sound_length_ms(const sound_ref& snd) {
    return snd ? snd->length_ms : 0;
}

}  // namespace media
