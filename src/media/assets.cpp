#include "media/assets.h"

#include "media/display.h"
#include "media/draw_state.h"
#include "media/log.h"

#include <utility>

using namespace media;

image_ref img_back, img_title, img_pointer, img_mts1, img_mts2, img_grd1, img_grd2;
image_ref img_flake, img_stuff, img_player, img_star;
font_ref game_font;
sound_ref snd_logohit, snd_present, snd_warper, snd_warpin, snd_warpout, snd_bomb, snd_loose,
    snd_chime;
channel_ref music_chn;
float sound_vol = 1.0f;
float music_vol = 1.0f;

namespace {

bool journal_on = false;
std::vector<std::string> started_effects;
std::vector<int> started_music;

image_ref load_embedded_image(const char* name) {
    image_ref img = load_image(name);
    if (!img) fatal_error(std::string("the game's picture ") + name + " is missing or damaged");
    return img;
}

void cut_frames(const image_ref& img, int frames, int x, int y, int dx, int dy) {
    for (int i = 0; i < frames; ++i) grab_image(img, x + dx * i, y + dy * i, i);
}

}  // namespace

void load_assets() {
    game_font = load_image_font("font.ttf", 26, font_smooth);
    if (!game_font) fatal_error("the game's font font.ttf is missing or damaged");
    set_image_font(game_font);

    img_title = load_embedded_image("title.png");
    img_back = load_embedded_image("background.png");
    img_pointer = load_embedded_image("pointer.png");
    img_mts1 = load_embedded_image("mountains1.png");
    img_mts2 = load_embedded_image("mountains2.png");
    img_grd1 = load_embedded_image("ground1.png");
    img_grd2 = load_embedded_image("ground2.png");
    image_ref sheet = load_embedded_image("sprites.png");

    // The sheet goes through the back buffer so the grabs mask its black background.
    clear_screen();
    draw_image(sheet, 0, 0, 0);
    grab_image(img_flake, 408, 1, 0);
    cut_frames(img_player, 5, 1, 1, 0, 83);
    cut_frames(img_stuff, 8, 421, 1, 19, 0);
    cut_frames(img_star, 3, 408, 24, 0, 113);

    snd_logohit = load_sound("Data\\LogoHit.ogg", 0);
    snd_present = load_sound("Data\\Present.ogg", 0);
    snd_warper = load_sound("Data\\Warper.ogg", 0);
    snd_warpin = load_sound("Data\\WarpIn.ogg", 0);
    snd_warpout = load_sound("Data\\WarpOut.ogg", 0);
    snd_bomb = load_sound("Data\\Bomb.ogg", 0);
    snd_loose = load_sound("Data\\Loose.ogg", 0);
    snd_chime = load_sound("Data\\Chime.ogg", 0);

    mid_handle_image(img_title);
}

void play_sound_effect(const sound_ref& snd) {
    channel_ref chn = cue_sound(snd);
    set_channel_volume(chn, sound_vol);
    resume_channel(chn);
    if (journal_on && snd) started_effects.push_back(sound_name(snd));
}

void start_music(int track) {
    static const char* const files[] = {"Data\\intro.ogg", "Data\\play.ogg", "Data\\Win.ogg"};
    if (track < 1 || track > 3) return;
    // The old track stops first: a looping channel dropped while playing would play on
    // under everything, out of reach of the volume and the suspend.
    stop_channel(music_chn);
    sound_ref snd = load_sound(files[track - 1], 1);
    music_chn = cue_sound(snd);
    set_channel_volume(music_chn, music_vol);
    resume_channel(music_chn);
    if (journal_on) started_music.push_back(track);
}

std::vector<std::string> take_started_effects() {
    return std::exchange(started_effects, {});
}
std::vector<int> take_started_music() {
    return std::exchange(started_music, {});
}
void keep_sound_journal(bool on) {
    journal_on = on;
}

void reset_assets() {
    for (auto* img : {&img_back, &img_title, &img_pointer, &img_mts1, &img_mts2, &img_grd1,
                      &img_grd2, &img_flake, &img_stuff, &img_player, &img_star}) {
        img->reset();
    }
    game_font.reset();
    for (auto* snd : {&snd_logohit, &snd_present, &snd_warper, &snd_warpin, &snd_warpout, &snd_bomb,
                      &snd_loose, &snd_chime}) {
        snd->reset();
    }
    music_chn.reset();
    sound_vol = music_vol = 1.0f;
    started_effects.clear();
    started_music.clear();
}
