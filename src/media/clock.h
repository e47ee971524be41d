// The clock, random numbers and arithmetic. The clock goes through the platform: the real
// clock in the game, a virtual one in the runner and tests.
#pragma once

#include <cstdint>

namespace media {

int millisecs();
void delay(int ms);               // a negative value does nothing
[[noreturn]] void end_program();  // orderly teardown, exit status 0

// Park-Miller minimal standard generator, bit for bit.
void seed_random(int seed);
double random_float(double low, double high);  // [min, max) whichever order the bounds come
std::int32_t random_state();

// Of an angle in degrees, with the same bits on every platform (media/portable_math.h).
double sin_deg(double degrees);
double cos_deg(double degrees);

}  // namespace media
