// A top-level window: the root of an element tree, a native HWND whose procedure sees key
// messages first, an SDL window (or none without a display) and the frame it is drawn into.
//
// Input arrives as window messages to the HWND (posted by the pump hook from SDL events, or by
// tests); the toolkit's own window procedure hands them to the methods below.
//
// Everything here is in window pixels; on a HiDPI display the frame and the native window have
// `scale` device pixels for each of them, and the native side converts at its edge.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/Win32.h"
#include "platform/xcgui/Element.h"
#include "platform/xcgui/NativeWindow.h"
#include "platform/xcgui/SdlHandles.h"

struct WindowOptions {
  std::string title;
  Rect screenRect{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480};
  bool borderless = false;
  bool resizable = false;
  int captionHeight = 0;
  // Floats over other windows without taking the keyboard focus or a taskbar entry.
  bool toolWindow = false;
  Colour background{0xFF, 0xFF, 0xFF, 255};
};

class Window : public Element {
 public:
  explicit Window(WindowOptions options);
  ~Window() override;
  int objectType() const override { return XC_WINDOW; }

  HWND hwnd() const { return hwnd_; }
  uint32_t sdlId() const { return native_ ? native_->sdlId() : 0; }
  int width() const { return width_; }
  int height() const { return height_; }

  void show(bool show);
  bool isShown() const { return shown_; }
  void move(Point topLeft);
  void setMinimumSize(int width, int height);
  void minimize();
  void toggleMaximized();
  void setTransparentType(int type);
  void setTransparentAlpha(int alpha);
  int transparentAlpha() const { return windowAlpha_; }
  bool inCaption(Point p);

  // Layout of the whole tree in the current client size, then the events that building items
  // queued (templates are announced only once every element has its place).
  void adjustLayout();
  void queueAfterLayout(std::function<void()> event) { afterLayout_.push_back(std::move(event)); }
  // The whole window needs drawing again (and laying out first, with `layout`).
  void markDirty(bool layout);
  // Only `area` (window pixels) needs drawing again.
  void markDirty(const Rect& area);
  bool needsPaint() const { return !dirtyAreas_.empty(); }
  // The bounds of what the last render drew (empty when it had nothing to draw).
  const Rect& lastPainted() const { return lastPainted_; }
  int scale() const { return scale_; }
  bool paintPosted() const { return paintPosted_; }
  void setPaintPosted(bool posted) { paintPosted_ = posted; }
  // Lays out when needed, draws what changed into the frame and shows that part. Returns the
  // frame (device pixels): the window system's own surface of the window when it has one, so
  // nothing is copied to show it; else a surface of the window's own.
  SDL_Surface* render();

  // Window messages 5, 16, 675 (XWnd_RegEventC).
  void registerMessageHandler(int message, XC_EventProc proc);
  bool raiseMessage(int message, WPARAM wParam, LPARAM lParam);

  // ---- input, from the toolkit's window procedure ----
  void mouseMove(Point p);
  void mouseDown(Point p);
  void mouseUp(Point p);
  void wheel(Point p, int delta);
  void mouseLeftWindow();
  void keyDown(int virtualKey);
  void character(char16_t c);
  // Pre-edit text arrives in order with the keys: queued here, handed on as its message comes.
  void queueComposition(std::u16string text) { compositions_.push_back(std::move(text)); }
  void composition(int cursor);
  // Window message 16; destroys the window when no handler took it.
  void requestClose();
  // The window system moved or resized the window (device pixels).
  void nativeMoved(Point topLeft);
  void nativeResized(int width, int height);

  Element* focused() const;
  void setFocus(Element* element);

  static LRESULT CALLBACK_WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void reportScreenRect();
  Rect whole() const { return {0, 0, width_, height_}; }
  void makeFrame();
  SDL_Surface* drawingSurface();
  void updateHover(Element* target);
  std::vector<HXCGUI> chainOf(Element* target) const;

  HWND hwnd_ = nullptr;
  std::unique_ptr<NativeWindow> native_;
  SurfacePtr frame_;                  // only without a window-system surface
  SDL_Surface* drawnInto_ = nullptr;  // what the last render drew into
  Point drawnSize_;
  Colour background_;
  Point screenPos_;
  bool placed_ = false;  // moved by the program since it was made
  int width_, height_;
  int captionHeight_;
  bool shown_ = false;
  int scale_ = 1;
  std::vector<Rect> dirtyAreas_;  // window pixels, at most a few, merged when they overlap
  Rect lastPainted_;
  bool layoutDirty_ = true;
  bool paintPosted_ = false;
  int transparentType_ = 0;
  std::deque<std::u16string> compositions_;
  int windowAlpha_ = 255;
  std::vector<HXCGUI> hoverChain_;  // window first, deepest last
  HXCGUI pressed_ = 0;
  HXCGUI focused_ = 0;
  std::map<int, std::vector<XC_EventProc>> messageHandlers_;
  std::deque<std::function<void()>> afterLayout_;
  bool draining_ = false;
};
