// Writing music down: a tiny score language, chord names, and a stereo bus
// that notes are mixed into. A looping bus wraps whatever runs past its end
// round to the beginning, so the last bar rings on into the first.
#pragma once

#include <string>
#include <vector>

#include "synth.h"

namespace ag {

struct note_ev {
    double beat, len;       // start and length in beats
    std::vector<int> keys;  // MIDI numbers; empty for a rest
    float vel;
};

// Notes as "E5/1.5 D5/.5 C5+E5/2 r/1 | ...": name and octave (# or b after
// the letter), '+' joins a chord, '/' gives the length in beats (kept until
// changed), '!' after the length accents it, '|' is only for the eye.
std::vector<note_ev> score(const std::string& text, double start_beat = 0);

// Chord tones from a name such as "G", "Em", "D7", "Fmaj7", "Bb", "C/E"
// (the part after the slash is the bass): root first, within `octave`.
struct chord {
    int bass;
    std::vector<int> tones;
};
chord chord_of(const std::string& name, int octave);
// One chord name per bar, space separated.
std::vector<chord> progression(const std::string& names, int octave);

struct bus {
    mono l, r;
    double samples_per_beat;
    bool loop;
    bus(double beats, double bpm, bool looping);
    // Mixes `v` in at `beat`, panned -1 (left) .. 1 (right).
    void put(double beat, const mono& v, float gain, float pan);
    size_t frames() const { return l.size(); }
    double secs_of(double beats) const { return beats * samples_per_beat / sample_rate; }
};

template <class Inst>
void play(bus& b, const std::vector<note_ev>& notes, Inst inst, float gain, float pan,
          int transpose = 0) {
    for (const note_ev& n : notes) {
        for (int k : n.keys) {
            mono v = inst(note_hz(float(k + transpose)), float(b.secs_of(n.len)), n.vel);
            b.put(n.beat, v, gain, pan);
        }
    }
}

// Finishes a loop: reverb round the circle, then the level and a ceiling.
sound master_loop(bus& b, float reverb_mix, float room, float rms_db);

}  // namespace ag
