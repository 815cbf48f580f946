// Where a toolkit window's frames go: an SDL window on a display, or nothing at all when SDL has
// no video (frames then live only in memory, which is enough for layout, events and PNGs).
#pragma once

#include <SDL.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/xcgui/Geometry.h"
#include "platform/xcgui/SdlHandles.h"

struct WindowOptions;

class NativeWindow {
 public:
  virtual ~NativeWindow() = default;
  // 0 when there is no SDL window.
  virtual uint32_t sdlId() const = 0;
  virtual void show(bool show) = 0;
  virtual void move(Point topLeft) = 0;
  virtual void resize(int width, int height) = 0;
  virtual void setMinimumSize(int width, int height) = 0;
  virtual void minimize() = 0;
  virtual void toggleMaximized() = 0;
  // The window system's surface to draw the window into, or nullptr without one. May change
  // after a resize; valid until the next call.
  virtual SDL_Surface* surface() = 0;
  // Shows these parts (device pixels) of what was drawn into surface().
  virtual void present(const std::vector<SDL_Rect>& areas) = 0;
  // The window's opacity (0..255), set through the window system: with a compositor the window
  // really fades; without one it stays opaque.
  virtual void setOpacity(int alpha) = 0;
  // Screen position as the window system reports it (device pixels, as is everything here).
  virtual Point position() const = 0;

  // `captionHeight` pixels at the top drag the window (borderless windows); a borderless window
  // that is resizable is also resized from its edges and corners.
  // `screenRect` and the caption height in `options` are device pixels.
  static std::unique_ptr<NativeWindow> create(bool headless, const std::string& title, Rect screenRect,
                                              const WindowOptions& options, void* owner);
};
