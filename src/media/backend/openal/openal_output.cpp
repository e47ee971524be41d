#include "media/backend/openal/openal_output.h"

#include <AL/al.h>
#include <AL/alc.h>
#ifndef __EMSCRIPTEN__
#include <AL/alext.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

namespace media::backend {

namespace {

#ifdef __EMSCRIPTEN__
// The browser's OpenAL has no device clock (and no header for it): the mix clock is the
// wall clock there.
using ALCint64SOFT = std::int64_t;
using LPALCGETINTEGER64VSOFT = void (*)(ALCdevice*, ALCenum, ALCsizei, ALCint64SOFT*);
constexpr ALCenum ALC_DEVICE_CLOCK_SOFT = 0x1600;
#endif

// Plain values: read safely by sound and channel destructors that run at program exit,
// before or after the device state below has been torn down.
constinit unsigned g_opening = 0;
constinit bool g_ready = false;

// A stopped source still sounding while its gain ramps to 0.
struct fade {
    ALuint source = 0;
    std::int64_t silent_at = 0;  // on the mix clock
    bool returned = false;       // to the pool once silent
    std::vector<ALuint> plays;   // buffers it may still read
    std::vector<ALuint> then_free;
};

std::int64_t steady_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct device_state {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    std::vector<ALuint> sources;  // every source made
    std::vector<ALuint> free_sources;
    std::vector<ALuint> buffers;
    std::vector<fade> fades;
    LPALCGETINTEGER64VSOFT device_clock = nullptr;
    std::int64_t fade_ns = 0;  // from a gain change until the mix has surely ramped it

    ~device_state() { close(); }

    // The time of the mix: the samples the device has mixed, where it says; else the
    // wall clock, which the mix follows.
    std::int64_t mix_clock() const {
        if (!device_clock) return steady_ns();
        ALCint64SOFT ns = 0;
        device_clock(device, ALC_DEVICE_CLOCK_SOFT, 1, &ns);
        return ns;
    }

    void start_clock() {
        if (alcIsExtensionPresent(device, "ALC_SOFT_device_clock"))
            device_clock = reinterpret_cast<LPALCGETINTEGER64VSOFT>(
                alcGetProcAddress(device, "alcGetInteger64vSOFT"));
        ALCint rate = 0, refresh = 0;
        alcGetIntegerv(device, ALC_FREQUENCY, 1, &rate);
        alcGetIntegerv(device, ALC_REFRESH, 1, &refresh);
        if (rate <= 0) rate = 44100;
        // A gain change takes effect from the mix after the one under way and is ramped
        // across that one (at most 2048 frames), so wait out a few of either.
        const std::int64_t update = refresh > 0 ? rate / refresh : 1024;
        const std::int64_t frames = std::max<std::int64_t>(4 * update, 4 * 2048);
        fade_ns = frames * 1'000'000'000 / rate;
    }

    fade* fading(ALuint s) {
        auto f =
            std::find_if(fades.begin(), fades.end(), [s](const fade& x) { return x.source == s; });
        return f == fades.end() ? nullptr : &*f;
    }

    void delete_buffer(ALuint b) {
        alDeleteBuffers(1, &b);
        std::erase(buffers, b);
    }

    // `all`: the device is closing, whatever the mix has reached.
    void settle(bool all) {
        if (fades.empty()) return;
        const std::int64_t now = mix_clock();
        std::erase_if(fades, [&](const fade& f) {
            if (!all && now < f.silent_at) return false;
            alSourceStop(f.source);
            alSourcei(f.source, AL_BUFFER, 0);
            for (const ALuint b : f.then_free) delete_buffer(b);
            if (f.returned) free_sources.push_back(f.source);
            return true;
        });
    }

    void close() {
        if (!device) return;
        // Let the fades be heard to their end; a stalled device cannot hold the exit up.
        for (const std::int64_t give_up = steady_ns() + 4 * fade_ns + 100'000'000;
             !fades.empty() && steady_ns() < give_up;) {
            settle(false);
            if (!fades.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        fades.clear();
        if (!sources.empty()) {
            // One by one: the browser's alSourceStopv fails on any list (Emscripten 3.1.6).
            for (const ALuint s : sources) alSourceStop(s);
            alDeleteSources(static_cast<ALsizei>(sources.size()), sources.data());
        }
        if (!buffers.empty()) alDeleteBuffers(static_cast<ALsizei>(buffers.size()), buffers.data());
        sources.clear();
        free_sources.clear();
        buffers.clear();
        alcMakeContextCurrent(nullptr);
        if (context) alcDestroyContext(context);
        alcCloseDevice(device);
        context = nullptr;
        device = nullptr;
        device_clock = nullptr;
        g_ready = false;
        ++g_opening;
    }
};

device_state g_dev;

ALuint id_of(al_handle h) {
    return handle_live(h) ? h.id : 0;
}

}  // namespace

bool audio_device_open(std::string& error) {
    if (g_ready) return true;
    g_dev.device = alcOpenDevice(nullptr);
    if (!g_dev.device) {
        error = "no output device";
        return false;
    }
    g_dev.context = alcCreateContext(g_dev.device, nullptr);
    if (!g_dev.context || alcMakeContextCurrent(g_dev.context) != ALC_TRUE) {
        error = "the output device gave no context";
        if (g_dev.context) alcDestroyContext(g_dev.context);
        alcCloseDevice(g_dev.device);
        g_dev.context = nullptr;
        g_dev.device = nullptr;
        return false;
    }
    g_dev.start_clock();
    ++g_opening;
    g_ready = true;
    return true;
}

void audio_device_close() {
    g_dev.close();
}

bool audio_device_ready() {
    return g_ready;
}

bool handle_live(al_handle h) {
    return g_ready && h.id != 0 && h.device == g_opening;
}

al_handle make_empty_buffer() {
    if (!g_ready) return {};
    alGetError();
    ALuint b = 0;
    alGenBuffers(1, &b);
    if (alGetError() != AL_NO_ERROR) return {};
    g_dev.buffers.push_back(b);
    return {b, g_opening};
}

al_handle make_buffer(const pcm_sound& pcm) {
    if (!g_ready || pcm.frames() == 0) return {};
    alGetError();
    ALuint b = 0;
    alGenBuffers(1, &b);
    if (alGetError() != AL_NO_ERROR) return {};
    const ALenum format = pcm.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
    const auto bytes = static_cast<ALsizei>(pcm.samples.size() * sizeof(std::int16_t));
    alBufferData(b, format, pcm.samples.data(), bytes, pcm.rate);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &b);
        return {};
    }
    g_dev.buffers.push_back(b);
    return {b, g_opening};
}

void free_buffer(al_handle buffer) {
    const ALuint b = id_of(buffer);
    if (!b) return;
    for (fade& f : g_dev.fades) {
        if (std::erase(f.plays, b) > 0) {
            f.then_free.push_back(b);  // still heard, going quiet
            return;
        }
    }
    g_dev.delete_buffer(b);
}

int buffers_made() {
    return static_cast<int>(g_dev.buffers.size());
}

al_handle take_source() {
    if (!g_ready) return {};
    g_dev.settle(false);
    if (!g_dev.free_sources.empty()) {
        const ALuint s = g_dev.free_sources.back();
        g_dev.free_sources.pop_back();
        return {s, g_opening};
    }
    alGetError();
    ALuint s = 0;
    alGenSources(1, &s);
    if (alGetError() != AL_NO_ERROR) return {};
    // Sounds play flat, never placed in space.
    alSourcei(s, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(s, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcef(s, AL_ROLLOFF_FACTOR, 0.0f);
    g_dev.sources.push_back(s);
    return {s, g_opening};
}

void return_source(al_handle h) {
    const ALuint s = id_of(h);
    if (!s) return;
    if (fade* f = g_dev.fading(s)) {
        f->returned = true;
        return;
    }
    alSourceStop(s);
    alSourcei(s, AL_BUFFER, 0);
    g_dev.free_sources.push_back(s);
}

int sources_made() {
    return static_cast<int>(g_dev.sources.size());
}

namespace {

// The source of a handle that plays for the game: not stale, not fading.
ALuint usable(al_handle h) {
    const ALuint s = id_of(h);
    return s && !g_dev.fading(s) ? s : 0;
}

}  // namespace

void source_cue(al_handle h, al_handle buffer, bool loops, float gain) {
    const ALuint s = usable(h);
    const ALuint b = id_of(buffer);
    if (!s || !b) return;
    alSourceStop(s);
    alSourcei(s, AL_BUFFER, static_cast<ALint>(b));
    alSourcei(s, AL_LOOPING, loops ? AL_TRUE : AL_FALSE);
    alSourcef(s, AL_GAIN, gain);
    alSourceRewind(s);
}

void source_play(al_handle h) {
    if (const ALuint s = usable(h)) alSourcePlay(s);
}

void source_pause(al_handle h) {
    if (const ALuint s = usable(h)) alSourcePause(s);
}

void source_stop(al_handle h, std::span<const al_handle> plays) {
    const ALuint s = usable(h);
    if (!s) return;
    g_dev.settle(false);
    ALint state = AL_STOPPED;
    alGetSourcei(s, AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING) {  // silent already: nothing to fade
        alSourceStop(s);
        alSourcei(s, AL_BUFFER, 0);
        return;
    }
    fade f;
    f.source = s;
    alSourcef(s, AL_GAIN, 0.0f);
    f.silent_at = g_dev.mix_clock() + g_dev.fade_ns;
    for (const al_handle& b : plays)
        if (const ALuint id = id_of(b)) f.plays.push_back(id);
    ALint attached = 0;
    alGetSourcei(s, AL_BUFFER, &attached);
    if (attached > 0) f.plays.push_back(static_cast<ALuint>(attached));
    g_dev.fades.push_back(std::move(f));
}

void source_gain(al_handle h, float gain) {
    if (const ALuint s = usable(h)) alSourcef(s, AL_GAIN, gain);
}

bool source_finished(al_handle h) {
    const ALuint s = usable(h);
    if (!s) return true;
    ALint state = AL_STOPPED;
    alGetSourcei(s, AL_SOURCE_STATE, &state);
    return state == AL_STOPPED;
}

void settle_fades() {
    if (g_ready) g_dev.settle(false);
}

int fading_sources() {
    return static_cast<int>(g_dev.fades.size());
}

std::int64_t mix_clock_ns() {
    return g_ready ? g_dev.mix_clock() : steady_ns();
}

}  // namespace media::backend
