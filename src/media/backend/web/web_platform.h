// The game's platform in a browser page: SDL's Emscripten events and the real clock, as on
// the desktop, but every wait yields to the page (the build uses ASYNCIFY, so the game's
// loop keeps its shape) and tops the music streams up, since the page has no threads.
// Saves live in memory until the page copies them to IndexedDB (Module.gfPersist).
#pragma once

#include "media/backend/sdl/sdl_platform.h"

namespace media::backend {

class web_platform final : public sdl_platform {
  public:
    // A page being hidden first asks for the saves (see index.html), and its Pause button
    // for one press of Escape (Module.gfEscapeAsked); then SDL's events.
    bool poll_event(platform_event& ev) override;
    void wait_event(int ms) override;
    void sleep_ms(int ms) override;
    // Waits for the page's next animation frame, or the one after while the clock's time
    // is still more than half a frame away, so that the frame is drawn, and shown, in
    // step with the browser's own: two presents between animation frames would show one.
    void wait_for_frame(int ms) override;
    // Presents never block in a page: there is no retrace to find.
    bool may_probe_retrace() override { return false; }
    // Tells the page (Module.gfFramePresented), which counts frames and times the first.
    void frame_presented(int frame) override;
    // The page keeps its saves in IndexedDB; this copies them there.
    void file_saved(const std::string& path) override;

  private:
    bool escape_to_release_ = false;
};

}  // namespace media::backend
