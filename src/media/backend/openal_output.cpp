#include "media/backend/openal_output.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <algorithm>
#include <vector>

namespace media::backend {

namespace {

// Plain values: read safely by sound and channel destructors that run at program exit,
// before or after the device state below has been torn down.
constinit unsigned g_opening = 0;
constinit bool g_ready = false;

struct device_state {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    std::vector<ALuint> sources;  // every source made
    std::vector<ALuint> free_sources;
    std::vector<ALuint> buffers;

    ~device_state() { close(); }

    void close() {
        if (!device) return;
        if (!sources.empty()) {
            alSourceStopv(static_cast<ALsizei>(sources.size()), sources.data());
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
    alDeleteBuffers(1, &b);
    std::erase(g_dev.buffers, b);
}

int buffers_made() {
    return static_cast<int>(g_dev.buffers.size());
}

al_handle take_source() {
    if (!g_ready) return {};
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
    alSourceStop(s);
    alSourcei(s, AL_BUFFER, 0);
    g_dev.free_sources.push_back(s);
}

int sources_made() {
    return static_cast<int>(g_dev.sources.size());
}

void source_cue(al_handle h, al_handle buffer, bool loops, float gain) {
    const ALuint s = id_of(h);
    const ALuint b = id_of(buffer);
    if (!s || !b) return;
    alSourceStop(s);
    alSourcei(s, AL_BUFFER, static_cast<ALint>(b));
    alSourcei(s, AL_LOOPING, loops ? AL_TRUE : AL_FALSE);
    alSourcef(s, AL_GAIN, gain);
    alSourceRewind(s);
}

void source_play(al_handle h) {
    if (const ALuint s = id_of(h)) alSourcePlay(s);
}

void source_pause(al_handle h) {
    if (const ALuint s = id_of(h)) alSourcePause(s);
}

void source_stop(al_handle h) {
    if (const ALuint s = id_of(h)) alSourceStop(s);
}

void source_gain(al_handle h, float gain) {
    if (const ALuint s = id_of(h)) alSourcef(s, AL_GAIN, gain);
}

bool source_finished(al_handle h) {
    const ALuint s = id_of(h);
    if (!s) return true;
    ALint state = AL_STOPPED;
    alGetSourcei(s, AL_SOURCE_STATE, &state);
    return state == AL_STOPPED;
}

}  // namespace media::backend
