// The game from start-up to shutdown: the program's whole run on an installed platform.
#pragma once

struct game_options {
    void (*register_files)() = nullptr;  // registers the embedded pictures and font
    bool audio_device = true;            // false: never open a device, play silent
};

// Runs start-up, the main loop and shutdown; ends the process with status 0.
[[noreturn]] void run_game(const game_options& options);

// The pieces of one run, for tests that drive them separately.
void start_up(const game_options& options);
void main_loop_pass();
void shut_down();  // stops the music and saves both files (does not end the process)

void draw_backdrop();
void draw_scanlines(int shade);
void check_keys();
void check_suspend();
