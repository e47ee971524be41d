// Runner scripts: one input event a line, "FRAME EVENT ARGS...", '#' starts a comment.
// An event tagged F is seen by the game's input queries after its F-th presented frame.
#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "media/platform.h"

// Fingers are numbered 0 to max_finger, as the game tells ten apart.
constexpr int max_finger = 9;

struct script_event {
    int frame = 0;
    bool is_suspend = false;  // focus lost, given back after `suspend_asks` questions
    int suspend_asks = 0;
    media::platform_event event;
};

struct script_error {
    int line = 0;
    std::string message;
};

// The events in the order they become visible (by frame, then by line). On a malformed
// line, `error` names it and nothing is returned.
std::optional<std::vector<script_event>> parse_script(std::istream& in, script_error& error);

// Reads and parses the script file at `path` (a pipe will do). When the file cannot be
// read, `error` says why with line 0.
constexpr std::size_t max_script_bytes = 64u << 20;
std::optional<std::vector<script_event>> load_script(const std::string& path, script_error& error);
