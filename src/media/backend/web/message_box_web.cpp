#include "media/backend/message_box.h"

#include <emscripten.h>

namespace media::backend {

namespace {

// clang-format off
EM_JS(void, show_on_page, (const char* title, const char* message), {
    if (Module.gfShowError) Module.gfShowError(UTF8ToString(title), UTF8ToString(message));
});
// clang-format on

}  // namespace

// A page has no box that blocks: the page shows the message in words over the canvas.
void show_error_box(const std::string& title, const std::string& message) {
    show_on_page(title.c_str(), message.c_str());
}

}  // namespace media::backend
