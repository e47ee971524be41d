// The heads-up display: score, best score and seconds left along the top, always flat and
// green, then the snow in front of everything.
#include <cstdlib>
#include <string>

#include "game/globals.h"
#include "game/screens.h"
#include "media/draw_state.h"
#include "media/text.h"

using namespace media;

// "Score: 07": two digits at least, with a minus sign in front ("Time: -05").
std::string hud_caption(const std::string& prefix, int value) {
    const std::string digits = std::to_string(std::abs(static_cast<long long>(value)));
    return prefix + (value < 0 ? "-" : "") + (digits.size() < 2 ? "0" : "") + digits;
}

void hud() {
    // Drawn flat in every mode: the renderer's mode is set aside for the three captions.
    const int saved_mode = draw3d->mode;
    draw3d->mode = 0;
    const std::string score = hud_caption("Score: ", player->score);
    const std::string best = hud_caption("Best: ", player->best_sc);
    const std::string time = hud_caption("Time: ", player->level);
    set_color(20, 255, 80);
    draw3d->sip(blend_alpha, 1.0f, 0, 1.0f, 1.0f);
    draw3d->t3d(score, 10.0f, 0.0f, 1.0f, 0, 2);
    draw3d->sip(blend_alpha, 1.0f, 0, 1.0f, 1.0f);
    draw3d->t3d(best, static_cast<float>(320 - text_width(best) / 2), 0.0f, 1.0f, 0, 2);
    draw3d->sip(blend_alpha, 1.0f, 0, 1.0f, 1.0f);
    draw3d->t3d(time, static_cast<float>(626 - text_width(time)), 0.0f, 1.0f, 0, 2);
    draw3d->mode = saved_mode;
    snow_tag::update_storm();
}
