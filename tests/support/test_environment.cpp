// Every test binary that opens the renderer or the sound draws offscreen and plays into
// OpenAL's null output, unless the person running it asked for something else.
#include <cstdlib>

namespace {

struct test_environment {
    test_environment() {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("ALSOFT_DRIVERS", "null", 0);
    }
};
const test_environment environment;

}  // namespace
