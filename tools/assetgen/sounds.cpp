#include "sounds.h"

#include "music.h"

namespace ag {

const std::vector<sound_job>& sound_jobs() {
    // The longest first, so two workers finish together.
    static const std::vector<sound_job> jobs = {
        {"play.ogg", 0x47460001, make_play_music}, {"intro.ogg", 0x47460002, make_intro_music},
        {"Win.ogg", 0x47460003, make_win_music},   {"LogoHit.ogg", 0x47460010, make_logo_hit},
        {"Present.ogg", 0x47460011, make_present}, {"Warper.ogg", 0x47460012, make_warper},
        {"WarpIn.ogg", 0x47460013, make_warp_in},  {"WarpOut.ogg", 0x47460014, make_warp_out},
        {"Bomb.ogg", 0x47460015, make_bomb},       {"Loose.ogg", 0x47460016, make_loose},
        {"Chime.ogg", 0x47460017, make_chime},
    };
    return jobs;
}

}  // namespace ag
