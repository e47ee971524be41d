#include "media/backend/openal/music_stream.h"

#include <AL/al.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "media/backend/decoders/ogg_decode.h"

namespace media::backend {

namespace {

// Six stretches of 4096 frames: over half a second queued at 44.1 kHz, so a busy frame or
// a slow wake of the feeder never runs the music dry. Two are decoded at the cue.
constexpr long stretch_frames = 4096;
constexpr std::size_t queue_length = 6;
constexpr std::size_t primed = 2;
constexpr auto feed_period = std::chrono::milliseconds(25);

}  // namespace

struct music_stream {
    // Set at the cue, then only read.
    ogg_bytes file;
    al_handle source;
    std::array<al_handle, queue_length> buffers{};
    ALenum format = AL_FORMAT_MONO16;
    int channels = 1;
    int rate = 0;

    // The reader and its scratch belong to the cue until the stream is handed to the
    // feeder, and to the feeder after.
    ogg_reader reader;
    std::vector<std::int16_t> pcm;

    // Guards what follows, and every call on the source and the buffers once fed.
    std::mutex lock;
    bool playing = false;  // between play and pause
    bool stopped = false;
    bool damaged = false;
    std::vector<ALuint> idle;  // off the queue, waiting to be filled

    ALuint source_id() const { return source.id; }

    // One stretch into `out`, reading on from the start at the end of the file.
    // -1 when the file will not decode.
    long decode_stretch(std::int16_t* out) {
        long have = 0;
        bool rewound = false;
        while (have < stretch_frames) {
            const long n = reader.read(out + have * channels, stretch_frames - have);
            if (n < 0) return -1;
            if (n > 0) {
                have += n;
                rewound = false;
                continue;
            }
            // A file that gives nothing right after its start would spin here for ever.
            if (rewound || !reader.rewind()) return -1;
            rewound = true;
        }
        return have;
    }

    void queue(ALuint b, const std::int16_t* samples, long frames) {
        alBufferData(b, format, samples, static_cast<ALsizei>(frames * channels * 2), rate);
        alSourceQueueBuffers(source_id(), 1, &b);
    }

    // Takes the buffers the device has played off the queue. Under `lock`.
    void take_heard() {
        ALint done = 0;
        alGetSourcei(source_id(), AL_BUFFERS_PROCESSED, &done);
        for (; done > 0; --done) {
            ALuint b = 0;
            alSourceUnqueueBuffers(source_id(), 1, &b);
            idle.push_back(b);
        }
    }

    // The feeder's pass: refills what has been played. Decodes outside the lock, so the
    // game's calls never wait on the decoder.
    void top_up() {
        std::vector<ALuint> empty;
        {
            const std::lock_guard hold(lock);
            if (stopped || damaged) return;
            take_heard();
            empty.swap(idle);
        }
        if (empty.empty()) return;
        pcm.resize(empty.size() * stretch_frames * channels);
        std::vector<long> got;
        bool bad = false;
        for (std::size_t i = 0; i < empty.size() && !bad; ++i) {
            const long n = decode_stretch(pcm.data() + i * stretch_frames * channels);
            bad = n < 0;
            if (!bad) got.push_back(n);
        }
        const std::lock_guard hold(lock);
        if (stopped) return;  // the buffers are gone with it
        ALint state = AL_STOPPED;
        alGetSourcei(source_id(), AL_SOURCE_STATE, &state);
        // Ran dry: everything still queued has been heard, and playing again would
        // repeat it.
        if (state == AL_STOPPED) take_heard();
        for (std::size_t i = 0; i < got.size(); ++i)
            queue(empty[i], pcm.data() + i * stretch_frames * channels, got[i]);
        idle.insert(idle.end(), empty.begin() + static_cast<std::ptrdiff_t>(got.size()),
                    empty.end());
        if (bad) damaged = true;
        if (state == AL_STOPPED && playing && !got.empty()) alSourcePlay(source_id());
    }
};

namespace {

// A browser build has no threads: its loop feeds the streams, between frames.
#ifdef __EMSCRIPTEN__
constexpr bool feeds_on_a_thread = false;
#else
constexpr bool feeds_on_a_thread = true;
#endif

// The one thread that keeps every stream's queue topped up.
struct stream_feeder {
    std::mutex lock;  // taken before a stream's own lock, never after
    std::condition_variable wake;
    std::vector<music_stream_ref> streams;
    std::thread thread;
    bool quit = false;
    bool fresh = false;  // a stream came in: top it up at once

    ~stream_feeder() { stop(); }

    void add(music_stream_ref s) {
        const std::lock_guard hold(lock);
        streams.push_back(std::move(s));
        fresh = true;
        if (!feeds_on_a_thread) return;  // feed_streams does the thread's work
        if (!thread.joinable()) {
            quit = false;
            thread = std::thread([this] { run(); });
        }
        wake.notify_one();
    }

    void stop() {
        {
            const std::lock_guard hold(lock);
            quit = true;
        }
        wake.notify_one();
        if (thread.joinable()) thread.join();
        const std::lock_guard hold(lock);
        streams.clear();
    }

    // One round of the thread's work: every stream topped up, the stopped ones let go.
    void feed_once() {
        std::vector<music_stream_ref> now;
        {
            const std::lock_guard hold(lock);
            now = streams;
        }
        for (const music_stream_ref& s : now) s->top_up();
        const std::lock_guard hold(lock);
        std::erase_if(streams, [](const music_stream_ref& s) {
            const std::lock_guard s_hold(s->lock);
            return s->stopped;
        });
    }

    void run() {
        std::unique_lock hold(lock);
        while (!quit) {
            fresh = false;
            std::vector<music_stream_ref> now = streams;
            hold.unlock();
            for (const music_stream_ref& s : now) s->top_up();
            now.clear();
            hold.lock();
            std::erase_if(streams, [](const music_stream_ref& s) {
                const std::lock_guard s_hold(s->lock);
                return s->stopped;
            });
            wake.wait_for(hold, feed_period, [this] { return quit || fresh; });
        }
    }
};

// Made on the first cue, so it goes before the device at exit: the thread never outlives
// the device it calls.
stream_feeder& feeder() {
    static stream_feeder f;
    return f;
}

}  // namespace

music_stream_ref stream_cue(al_handle source, ogg_bytes file, float gain, std::string& error) {
    if (!handle_live(source) || !file) {
        error = "no voice";
        return nullptr;
    }
    auto s = std::make_shared<music_stream>();
    s->file = std::move(file);
    s->source = source;
    if (!s->reader.open(*s->file, error)) return nullptr;
    s->channels = s->reader.channels();
    s->format = s->channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
    s->rate = s->reader.rate();
    for (al_handle& b : s->buffers) {
        b = make_empty_buffer();
        if (!handle_live(b)) {
            error = "the device refused buffers";
            for (const al_handle& made : s->buffers) free_buffer(made);
            return nullptr;
        }
        s->idle.push_back(b.id);
    }

    const ALuint src = s->source_id();
    alSourceStop(src);
    alSourcei(src, AL_BUFFER, 0);
    alSourcei(src, AL_LOOPING, AL_FALSE);
    alSourcef(src, AL_GAIN, gain);
    alSourceRewind(src);
    s->pcm.resize(stretch_frames * s->channels);
    for (std::size_t i = 0; i < primed; ++i) {
        const long n = s->decode_stretch(s->pcm.data());
        if (n < 0) {
            error = "damaged Ogg Vorbis data";
            alSourcei(src, AL_BUFFER, 0);
            for (const al_handle& b : s->buffers) free_buffer(b);
            return nullptr;
        }
        s->queue(s->idle.back(), s->pcm.data(), n);
        s->idle.pop_back();
    }
    feeder().add(s);
    return s;
}

void stream_play(const music_stream_ref& s) {
    if (!s) return;
    const std::lock_guard hold(s->lock);
    if (s->stopped || !handle_live(s->source)) return;
    s->playing = true;
    ALint state = AL_STOPPED;
    alGetSourcei(s->source_id(), AL_SOURCE_STATE, &state);
    if (state == AL_STOPPED) s->take_heard();  // ran dry: what is queued has been heard
    ALint queued = 0;
    alGetSourcei(s->source_id(), AL_BUFFERS_QUEUED, &queued);
    if (queued > 0) alSourcePlay(s->source_id());  // else the feeder starts it
}

void stream_pause(const music_stream_ref& s) {
    if (!s) return;
    const std::lock_guard hold(s->lock);
    s->playing = false;
    if (!s->stopped && handle_live(s->source)) alSourcePause(s->source_id());
}

void stream_gain(const music_stream_ref& s, float gain) {
    if (!s) return;
    const std::lock_guard hold(s->lock);
    if (!s->stopped && handle_live(s->source)) alSourcef(s->source_id(), AL_GAIN, gain);
}

void stream_stop(const music_stream_ref& s) {
    if (!s) return;
    const std::lock_guard hold(s->lock);
    if (s->stopped) return;
    s->stopped = true;
    s->playing = false;
    if (!handle_live(s->source)) return;  // the device took the buffers when it closed
    // Fades out; the buffers it still plays are freed once it is quiet.
    source_stop(s->source, s->buffers);
    for (const al_handle& b : s->buffers) free_buffer(b);
}

bool stream_damaged(const music_stream_ref& s) {
    if (!s) return false;
    const std::lock_guard hold(s->lock);
    return s->damaged;
}

int streams_fed() {
    stream_feeder& f = feeder();
    const std::lock_guard hold(f.lock);
    return static_cast<int>(f.streams.size());
}

void stop_streams() {
    feeder().stop();
}

void feed_streams() {
    feeder().feed_once();
}

}  // namespace media::backend
