#include "media/clock.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

#include "media/display.h"
#include "media/platform.h"
#include "media/portable_math.h"
#include "media/sound.h"

namespace media {

int millisecs() {
    return current_platform().millisecs();
}

void delay(int ms) {
    if (ms >= 0) current_platform().sleep_ms(ms);
}

void end_program() {
    close_audio();
    close_graphics();
    std::exit(0);
}

namespace {

constexpr std::int32_t unseeded_state = 4660;
std::int32_t g_state = unseeded_state;

// One step of the Park-Miller minimal standard generator (Schrage's method, so the
// products stay inside 32 bits).
std::int32_t next_state() {
    std::int32_t s = (g_state % 44488) * 48271 - (g_state / 44488) * 3399;
    if (s < 0) s += 2147483647;
    g_state = s;
    return s;
}

}  // namespace

void seed_random(int seed) {
    std::int32_t s = seed & 0x7FFFFFFF;
    g_state = (s == 0 || s == 0x7FFFFFFF) ? unseeded_state : s;
}

double random_float(double low, double high) {
    const std::int32_t s1 = next_state();
    const std::int32_t s2 = next_state();
    const double u = ((s1 & 0x1FFFFFFC) + (s2 & 0x1FFFFFF8) / 134217728.0) / 536870912.0;
    const double lo = std::fmin(low, high);
    const double hi = std::fmax(low, high);
    const double r = lo + u * (hi - lo);
    // u stays below 1, but adding it to a large bound can round up onto the bound itself.
    if (r >= hi && hi > lo) return std::nextafter(hi, lo);
    return r;
}

std::int32_t random_state() {
    return g_state;
}

double sin_deg(double degrees) {
    return portable_sin(degrees * (std::numbers::pi / 180.0));
}
double cos_deg(double degrees) {
    return portable_cos(degrees * (std::numbers::pi / 180.0));
}

}  // namespace media
