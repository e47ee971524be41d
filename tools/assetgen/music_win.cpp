// The tally fanfare: brass in C major over timpani, cymbals and sleigh bells.
// Eight bars that lead back into their own beginning.
#include "instruments.h"
#include "music.h"
#include "song.h"

namespace ag {

sound make_win_music() {
    constexpr int bars = 8;
    bus b(bars * 4, 120, true);
    const char* tune =
        "G4/.5 G4/.5 G4/.5 C5/2.5! | A4/1 C5/1 F5/1 E5/1 | D5/.5 D5/.5 D5/.5 G5/2.5! |"
        " E5/1.5 D5/.5 C5/2 | A5/1.5 G5/.5 F5/1 A5/1 | G5/1.5 F5/.5 E5/1 D5/1 |"
        " E5/1 G5/1 C6/2! | A5/1 F5/1 G5/1 B4/1";
    play(b, score(tune), brass, 0.42f, 0.0f);
    play(b, score(tune), glock, 0.05f, 0.4f, 12);
    // Harmony: chords on each half bar, in a lower brass section.
    const char* halves = "C C F C G G C C F F G G C Am F G";
    std::vector<chord> prog = progression(halves, 3);
    for (size_t h = 0; h < prog.size(); ++h) {
        double t = double(h) * 2;
        const chord& c = prog[h];
        for (size_t k = 0; k < 3; ++k)
            b.put(t, brass(note_hz(float(c.tones[k] + 12)), float(b.secs_of(1.7)), 0.6f), 0.1f,
                  k == 0   ? -0.5f
                  : k == 1 ? 0.5f
                           : -0.1f);
        b.put(t, bass(note_hz(float(c.bass - 12)), float(b.secs_of(0.9)), 0.9f), 0.5f, 0);
        b.put(t + 1, bass(note_hz(float(c.bass - 5)), float(b.secs_of(0.9)), 0.8f), 0.4f, 0);
        b.put(t, timpani(note_hz(float(c.bass - 12)), h % 2 ? 0.6f : 0.9f), 0.4f, -0.2f);
    }
    for (int bar = 0; bar < bars; ++bar) {
        double t = bar * 4;
        if (bar % 4 == 0) b.put(t, crash(0.8f), 0.16f, 0.3f);
        for (int e = 0; e < 8; ++e)
            b.put(t + 0.5 * e, jingle(e % 2 ? 0.45f : 0.8f, uint32_t(bar * 8 + e)), 0.14f, 0.45f);
        b.put(t + 1, snare(0.5f), 0.18f, 0.1f);
        b.put(t + 3, snare(0.6f), 0.18f, 0.1f);
    }
    return master_loop(b, 0.25f, 0.8f, -19.0f);
}

}  // namespace ag
