// Apart from the rest of the toolkit: the X headers' names (Window, None, ...) clash with ours.
#include "platform/xcgui/DisplayConnection.h"

#include <SDL_syswm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>
#endif

void QbSetThreadPumpFd(int fd);  // platform/win32/Win32.h, whose names clash with the X headers'

void SleepOnTheDisplay(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11)
    QbSetThreadPumpFd(ConnectionNumber(info.info.x11.display));
#endif
}

int ScaleForDpi(int dpi, int displayWidth, int displayHeight) {
  int scale = std::clamp((dpi + 24) / 96, 1, 4);
  while (scale > 1 && (displayWidth / scale < 1024 || displayHeight / scale < 640)) --scale;
  return scale;
}

namespace {

// The Xft.dpi value in the X resource string, 0 when it has none.
int XftDpi() {
#if defined(SDL_VIDEO_DRIVER_X11)
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 0;
  int dpi = 0;
  if (const char* resources = XResourceManagerString(display)) {
    for (const char* line = resources; line && *line; line = std::strchr(line, '\n')) {
      if (*line == '\n') ++line;
      static constexpr char kName[] = "Xft.dpi:";
      if (std::strncmp(line, kName, sizeof kName - 1) == 0) {
        dpi = int(std::strtod(line + sizeof kName - 1, nullptr));
        break;
      }
    }
  }
  XCloseDisplay(display);
  return dpi;
#else
  return 0;
#endif
}

}  // namespace

int DisplayScale() {
  SDL_Rect bounds{0, 0, 0, 0};
  if (SDL_GetDisplayBounds(0, &bounds) != 0) return 1;
  const char* driver = SDL_GetCurrentVideoDriver();
  int dpi = driver && std::strcmp(driver, "x11") == 0 ? XftDpi() : 0;
  float diagonal = 0;
  if (dpi <= 0 && SDL_GetDisplayDPI(0, &diagonal, nullptr, nullptr) == 0) dpi = int(diagonal);
  return ScaleForDpi(dpi, bounds.w, bounds.h);
}
