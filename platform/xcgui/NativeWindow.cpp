#include "platform/xcgui/NativeWindow.h"

#include "platform/xcgui/DisplayConnection.h"
#include "platform/xcgui/Window.h"

namespace {

class HeadlessWindow : public NativeWindow {
 public:
  explicit HeadlessWindow(Point p) : position_(p) {}
  uint32_t sdlId() const override { return 0; }
  void show(bool) override {}
  void move(Point p) override { position_ = p; }
  void resize(int, int) override {}
  void setMinimumSize(int, int) override {}
  void minimize() override {}
  void toggleMaximized() override {}
  SDL_Surface* surface() override { return nullptr; }
  void present(const std::vector<SDL_Rect>&) override {}
  void setOpacity(int) override {}
  Point position() const override { return position_; }

 private:
  Point position_;
};

class SdlWindow : public NativeWindow {
 public:
  SdlWindow(SDL_Window* window, int captionHeight) : window_(window), captionHeight_(captionHeight) {}

  uint32_t sdlId() const override { return SDL_GetWindowID(window_.get()); }
  void show(bool show) override { show ? SDL_ShowWindow(window_.get()) : SDL_HideWindow(window_.get()); }
  void move(Point p) override { SDL_SetWindowPosition(window_.get(), p.x, p.y); }
  void resize(int w, int h) override { SDL_SetWindowSize(window_.get(), w, h); }
  void setMinimumSize(int w, int h) override { SDL_SetWindowMinimumSize(window_.get(), w, h); }
  void minimize() override { SDL_MinimizeWindow(window_.get()); }
  void toggleMaximized() override {
    if (SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_MAXIMIZED)
      SDL_RestoreWindow(window_.get());
    else
      SDL_MaximizeWindow(window_.get());
  }
  SDL_Surface* surface() override { return SDL_GetWindowSurface(window_.get()); }
  void present(const std::vector<SDL_Rect>& areas) override {
    SDL_UpdateWindowSurfaceRects(window_.get(), areas.data(), int(areas.size()));
  }
  void setOpacity(int alpha) override { SDL_SetWindowOpacity(window_.get(), float(alpha) / 255.0f); }
  Point position() const override {
    Point p;
    SDL_GetWindowPosition(window_.get(), &p.x, &p.y);
    return p;
  }

 private:
  SdlWindowPtr window_;
  int captionHeight_;
};

// How far from a resizable borderless window's edge the pointer grabs the edge.
constexpr int kResizeBorder = 6;

SDL_HitTestResult EdgeAt(SDL_Window* sdl, const SDL_Point* area, int scale) {
  const int border = kResizeBorder * scale;
  if ((SDL_GetWindowFlags(sdl) & (SDL_WINDOW_RESIZABLE | SDL_WINDOW_MAXIMIZED)) != SDL_WINDOW_RESIZABLE)
    return SDL_HITTEST_NORMAL;
  int w = 0, h = 0;
  SDL_GetWindowSize(sdl, &w, &h);
  const bool left = area->x < border, right = area->x >= w - border;
  const bool top = area->y < border, bottom = area->y >= h - border;
  if (top && left) return SDL_HITTEST_RESIZE_TOPLEFT;
  if (top && right) return SDL_HITTEST_RESIZE_TOPRIGHT;
  if (bottom && left) return SDL_HITTEST_RESIZE_BOTTOMLEFT;
  if (bottom && right) return SDL_HITTEST_RESIZE_BOTTOMRIGHT;
  if (top) return SDL_HITTEST_RESIZE_TOP;
  if (bottom) return SDL_HITTEST_RESIZE_BOTTOM;
  if (left) return SDL_HITTEST_RESIZE_LEFT;
  if (right) return SDL_HITTEST_RESIZE_RIGHT;
  return SDL_HITTEST_NORMAL;
}

SDL_HitTestResult HitTest(SDL_Window* sdl, const SDL_Point* area, void* data) {
  auto* window = static_cast<Window*>(data);
  const int scale = window->scale();
  if (SDL_HitTestResult edge = EdgeAt(sdl, area, scale); edge != SDL_HITTEST_NORMAL) return edge;
  return window->inCaption({area->x / scale, area->y / scale}) ? SDL_HITTEST_DRAGGABLE : SDL_HITTEST_NORMAL;
}

}  // namespace

std::unique_ptr<NativeWindow> NativeWindow::create(bool headless, const std::string& title, Rect r,
                                                   const WindowOptions& options, void* owner) {
  if (headless) return std::make_unique<HeadlessWindow>(Point{r.x, r.y});
  const bool borderless = options.borderless, resizable = options.resizable;
  const int captionHeight = options.captionHeight;
  Uint32 flags =
      SDL_WINDOW_HIDDEN | (borderless ? SDL_WINDOW_BORDERLESS : 0) | (resizable ? SDL_WINDOW_RESIZABLE : 0);
  // On X11 a tooltip-type window is override-redirect: the window manager neither focuses nor
  // lists it, and it stays where the program puts it.
  if (options.toolWindow) flags |= SDL_WINDOW_TOOLTIP | SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_ALWAYS_ON_TOP;
  SDL_Window* window = SDL_CreateWindow(title.c_str(), r.x, r.y, r.w, r.h, flags);
  if (!window) return std::make_unique<HeadlessWindow>(Point{r.x, r.y});
  SleepOnTheDisplay(window);
  if (captionHeight > 0 || (borderless && resizable)) SDL_SetWindowHitTest(window, HitTest, owner);
  return std::make_unique<SdlWindow>(window, captionHeight);
}
