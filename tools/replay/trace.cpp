#include "trace.h"

#include <string>

#include "game/globals.h"
#include "media/assets.h"

namespace {

// Enough digits for a float to read back exactly.
std::string real(float v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(v));
    return buf;
}

std::string quoted(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + '"';
}

}  // namespace

void write_trace_line(std::FILE* out, int frame, int clock_ms) {
    const player_tag& p = *player;
    std::string sfx;
    for (const std::string& name : take_started_effects()) {
        sfx += (sfx.empty() ? "" : ",") + quoted(name);
    }
    std::string music;
    for (int track : take_started_music()) {
        music += (music.empty() ? "" : ",") + std::to_string(track);
    }
    std::fprintf(out,
                 "{\"f\":%d,\"ms\":%d,\"state\":%d,\"phase\":%d,\"spd\":%d,\"spd_ctr\":%d,"
                 "\"score\":%d,\"best\":%d,\"new_bs\":%d,\"level\":%d,\"lives\":%d,"
                 "\"px\":%s,\"py\":%s,\"rot\":%s,\"pframe\":%d,\"a_ctr\":%d,\"a_tmr\":%d,"
                 "\"done\":%d,\"total\":%d,\"got\":%d,\"stars\":%d,\"glow_ang\":%d,"
                 "\"mode_3d\":%d,\"retro_fx\":%d,\"sound_lvl\":%d,\"music_lvl\":%d,"
                 "\"tally_tmr\":%d,\"tally_won\":%d,\"quit\":%d,\"ptr\":[%d,%d],"
                 "\"sfx\":[%s],\"music\":[%s]}\n",
                 frame, clock_ms, game_state, round_phase, scroll_spd, spd_ctr, p.score, p.best_sc,
                 p.new_bs, p.level, p.lives, real(p.x).c_str(), real(p.y).c_str(),
                 real(p.rotation).c_str(), p.frame, p.a_ctr, p.a_tmr, stuff_done, gifts_total,
                 gifts_got, static_cast<int>(stars.size()), glow_ang, mode_3d, retro_fx, sound_lvl,
                 music_lvl, tally_tmr, tally_won, quit_game, ptr_x, ptr_y, sfx.c_str(),
                 music.c_str());
}
