#include <SDL.h>

#include <cstdlib>
#include <cstring>

#include "platform/win32/Win32.h"

namespace {

// The drivers that show windows to the user rather than drawing them in memory.
bool OnScreen(const char* driver) {
  return driver && (std::strcmp(driver, "x11") == 0 || std::strcmp(driver, "wayland") == 0);
}

}  // namespace

int QbInitSdlVideo() {
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  bool expectScreen = std::getenv("SDL_VIDEODRIVER") == nullptr && ((display && *display) || (wayland && *wayland));
  // Window frames are drawn in memory and copied to the display; an OpenGL texture for that copy
  // would map a whole graphics driver into the process. Software unless the user asks otherwise
  // (SDL_FRAMEBUFFER_ACCELERATION in the environment wins over this default).
  SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
  constexpr int kAttempts = 40;  // about two seconds
  for (int attempt = 1;; ++attempt) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return -1;
    if (!expectScreen || OnScreen(SDL_GetCurrentVideoDriver())) return 0;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (attempt == kAttempts) {
      SDL_SetError("the display refused every connection");
      return -1;
    }
    SDL_Delay(50);
  }
}
