#include "media/backend/session_end.h"

namespace media::backend {

void watch_session_end(SDL_Window*) {}

}  // namespace media::backend
