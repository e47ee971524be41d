// The round music: G major at 140 beats a minute, 36 bars (just over a
// minute) of drums, sleigh bells, bouncing bass, off-beat harp and a bright
// lead. Form: groove, A, A', B, A''; the last bar turns back to the groove.
#include "instruments.h"
#include "music.h"
#include "song.h"

namespace ag {
namespace {

constexpr int bars = 36;

const char* chords =
    "G Em C D "            // groove
    "G Em C D G Em Am G "  // A  (bar 11: Am then D, see below)
    "G Em C D G Em Am G "  // A'
    "C D Bm Em Am D G G "  // B
    "G Em C D G Em C G";   // A''

// Bars whose second half changes chord.
struct turn {
    int bar;
    const char* name;
};
const turn turns[] = {{10, "D"}, {18, "D"}, {34, "D"}, {35, "D"}};

const char* lead_a =
    "D5/.5 G5/.5 G5/.5 A5/.5 B5/1 G5/1 | E5/.5 G5/.5 B5/.5 A5/.5 G5/1 E5/1 |"
    " E5/.5 G5/.5 C6/1 B5/.5 A5/.5 G5/1 | F#5/1 A5/1 D5/2 |"
    " D5/.5 G5/.5 G5/.5 A5/.5 B5/1 D6/1 | C6/.5 B5/.5 A5/.5 G5/.5 E5/1 G5/1 |"
    " A5/1 C6/1 B5/.5 A5/.5 F#5/1 |";
const char* end_a = " G5/3 r/1 |";
const char* end_a2 = " G5/2 B5/.5 A5/.5 G5/.5 F#5/.5 |";
const char* lead_b =
    " E5/1.5 D5/.5 C5/1 E5/1 | F#5/1.5 E5/.5 D5/1 F#5/1 | B5/1.5 A5/.5 F#5/1 D5/1 |"
    " E5/2 G5/1 B5/1 | C6/1.5 B5/.5 A5/1 E5/1 | F#5/1 A5/1 D6/1 C6/1 | B5/2 A5/1 G5/1 |"
    " D5/.5 E5/.5 F#5/.5 G5/.5 A5/1 r/1 |";
const char* end_a3 = " G5/2 D5/.5 E5/.5 F#5/.5 A5/.5";
const char* hook =
    "G5/.5 B5/.5 D6/.5 B5/.5 G5/1 r/1 | E5/.5 G5/.5 B5/.5 G5/.5 E5/1 r/1 |"
    " C6/.5 B5/.5 G5/.5 E5/.5 C5/1 r/1 | D5/.5 F#5/.5 A5/.5 C6/.5 D6/1 r/1";

}  // namespace

sound make_play_music() {
    bus b(bars * 4, 140, true);
    std::vector<chord> prog = progression(chords, 3);
    auto chord_at = [&](int bar, int beat) {
        for (const turn& t : turns)
            if (t.bar == bar && beat >= 2) return chord_of(t.name, 3);
        return prog[size_t(bar)];
    };

    // Lead: A from bar 4, A' from 12, B from 20, A'' from 28.
    std::string melody = std::string(lead_a) + end_a + lead_a + end_a2 + lead_b + lead_a + end_a3;
    std::vector<note_ev> tune = score(melody, 4 * 4);
    play(b, tune, lead, 0.3f, 0.05f);
    // A soft echo of the tune an octave down in the B part.
    std::vector<note_ev> echo;
    for (const note_ev& n : tune)
        if (n.beat >= 20 * 4 && n.beat < 28 * 4) echo.push_back(n);
    play(b, echo, flute, 0.16f, -0.3f, -12);
    // The glockenspiel hook in the groove and under A'.
    play(b, score(hook), glock, 0.16f, 0.35f);
    play(b, score(hook, 12 * 4), glock, 0.09f, 0.35f);
    play(b, score(hook, 16 * 4), glock, 0.09f, 0.35f);

    for (int bar = 0; bar < bars; ++bar) {
        double t = bar * 4;
        bool b_part = bar >= 20 && bar < 28;
        for (int e = 0; e < 8; ++e) {
            double at = t + 0.5 * e;
            chord c = chord_at(bar, e / 2);
            // Bass: root and octave bouncing on eighths, the fifth on the way.
            int key = c.bass - 12 + (e % 2 ? 12 : 0) + (e == 5 ? 7 - 12 : 0);
            b.put(at, bass(note_hz(float(key)), float(b.secs_of(0.42)), e % 2 ? 0.7f : 0.95f), 0.3f,
                  0);
            // Harp on the off-beats.
            if (e % 2) {
                for (size_t k = 0; k < 3; ++k)
                    b.put(at + 0.01 * double(k),
                          pluck(note_hz(float(c.tones[k] + 12)), 0.2f, 0.55f), 0.11f,
                          k == 0   ? -0.5f
                          : k == 1 ? -0.2f
                                   : 0.1f);
            }
            // Sleigh bells on every eighth, leaning on the beat.
            b.put(at, jingle(e % 2 ? 0.5f : 0.85f, uint32_t(bar * 8 + e)), 0.2f, 0.55f);
            b.put(at + 0.25, hat(0.35f, false), 0.1f, -0.4f);
        }
        // Drums: kick on one and three (and a push before three), snare on two and four.
        b.put(t, kick(1.0f), 0.4f, 0);
        b.put(t + 2, kick(0.9f), 0.4f, 0);
        if (bar % 2) b.put(t + 1.5, kick(0.6f), 0.35f, 0);
        b.put(t + 1, snare(0.8f), 0.24f, 0.05f);
        b.put(t + 3, snare(0.85f), 0.24f, 0.05f);
        if (bar % 4 == 3) b.put(t + 3.5, snare(0.5f), 0.18f, 0.05f);
        if (bar == 0 || bar == 4 || bar == 12 || bar == 20 || bar == 28)
            b.put(t, crash(0.8f), 0.15f, -0.3f);
        // Strings hold the chords under the middle part.
        if (b_part) {
            for (int key : chord_at(bar, 0).tones)
                b.put(t, pad(note_hz(float(key + 12)), float(b.secs_of(3.8)), 0.5f), 0.07f, 0);
        }
    }
    return master_loop(b, 0.18f, 0.7f, -19.0f);
}

}  // namespace ag
