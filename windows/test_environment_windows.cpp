// The unit tests play into OpenAL's null output, unless the person running them asked for
// something else.
#include <cstdlib>

namespace {

struct test_environment {
    test_environment() {
        if (!std::getenv("ALSOFT_DRIVERS")) _putenv_s("ALSOFT_DRIVERS", "null");
    }
};
const test_environment environment;

}  // namespace
