// The instruments of the game's music and effects. Each renders one note:
// `hz` its pitch, `len` how long it is held in seconds, `vel` 0..1. The
// returned buffer includes the release, so it may be longer than `len`.
#pragma once

#include "synth.h"

namespace ag {

mono celesta(float hz, float len, float vel);  // music-box bell, the title lead
mono glock(float hz, float len, float vel);    // glockenspiel sparkle
mono flute(float hz, float len, float vel);    // soft breathy lead
mono lead(float hz, float len, float vel);     // bright pulse lead for play
mono pad(float hz, float len, float vel);      // warm string pad
mono bass(float hz, float len, float vel);     // round, soft bass
mono pluck(float hz, float len, float vel);    // harp-like plucked string
mono brass(float hz, float len, float vel);    // fanfare brass
mono kick(float vel);
mono snare(float vel);
mono hat(float vel, bool open);
mono jingle(float vel, uint32_t seed);  // one shake of sleigh bells
mono crash(float vel);
mono timpani(float hz, float vel);

}  // namespace ag
