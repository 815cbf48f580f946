// Apart from the rest of the toolkit: the X headers' names (Window, None, ...) clash with ours.
#include "platform/xcgui/DisplayConnection.h"

#include <SDL_syswm.h>
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
