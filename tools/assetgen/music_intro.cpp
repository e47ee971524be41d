// The title theme: a gentle waltz in F major on a music box and flute, with
// harp, soft strings and a shimmer of sleigh bells. 24 bars, then round again.
#include "instruments.h"
#include "music.h"
#include "song.h"

namespace ag {

sound make_intro_music() {
    constexpr int bars = 24, beats_per_bar = 3;
    bus b(bars * beats_per_bar, 90, true);
    const char* chords =
        "F F Bb F Dm Gm C7 C7 "
        "F F/A Bb Bbm F/C C7 F F "
        "Dm Am Bb F Gm Am Bb C7";
    const char* tune =
        "C5/2 A4/1 | F5/2 E5/1 | D5/2 F5/1 | C5/3 | D5/1 E5/1 F5/1 | G5/2 F5/1 | E5/1 D5/1 C5/1 |"
        " Bb4/2 C5/1 |"
        " C5/2 A4/1 | F5/2 E5/1 | D5/1 F5/1 Bb5/1 | F5/2 Db5/1 | C5/1 F5/1 A5/1 | G5/2 E5/1 |"
        " F5/3 | r/1 A4/1 C5/1 |"
        " D5/2 E5/1 | C5/2 A4/1 | Bb4/1 C5/1 D5/1 | C5/2 A4/1 | Bb4/1 A4/1 G4/1 | A4/1 C5/1 E5/1 |"
        " D5/2 C5/1 | E5/1 D5/1 Bb4/1";
    std::vector<note_ev> melody = score(tune);
    play(b, melody, celesta, 0.55f, -0.15f);
    // The flute joins for the second half of the tune and the middle part.
    std::vector<note_ev> second;
    for (const note_ev& n : melody)
        if (n.beat >= 8 * beats_per_bar) second.push_back(n);
    play(b, second, flute, 0.22f, 0.2f, -12);

    std::vector<chord> prog = progression(chords, 3);
    for (int bar = 0; bar < bars; ++bar) {
        const chord& c = prog[size_t(bar)];
        double t = bar * beats_per_bar;
        // Oom-pah-pah: bass on one, harp chords on two and three.
        b.put(t, bass(note_hz(float(c.bass - 12)), float(b.secs_of(2.5)), 0.9f), 0.55f, 0);
        for (int beat = 1; beat < 3; ++beat) {
            for (size_t k = 0; k < 3; ++k) {
                int key = c.tones[k] + 12;
                b.put(t + beat + 0.02 * double(k), pluck(note_hz(float(key)), 0.4f, 0.6f), 0.16f,
                      k == 0   ? -0.4f
                      : k == 1 ? 0.1f
                               : 0.45f);
            }
        }
        for (int key : c.tones)
            b.put(t, pad(note_hz(float(key + 12)), float(b.secs_of(3)), 0.5f), 0.06f, 0);
        // Sleigh bells, softly, on the second and third beats.
        b.put(t + 1, jingle(0.6f, uint32_t(bar * 3 + 1)), 0.6f, 0.5f);
        b.put(t + 2, jingle(0.4f, uint32_t(bar * 3 + 2)), 0.5f, -0.3f);
        // A glockenspiel twinkle at the end of each phrase.
        if (bar % 4 == 3) {
            for (int k = 0; k < 4; ++k) {
                int key = c.tones[size_t(k % 3)] + 24 + (k == 3 ? 12 : 0);
                b.put(t + 1 + 0.5 * k, glock(note_hz(float(key)), 0.3f, 0.6f), 0.2f, 0.3f);
            }
        }
    }
    return master_loop(b, 0.3f, 0.84f, -20.0f);
}

}  // namespace ag
