// The toolkit's process-wide state: the UI thread, the hidden call window, SDL, the theme, the
// image cache, the open windows, adapters and elements waiting to be freed.
//
// Everything here is used on the UI thread only; other threads reach it through runOnUiThread.
#pragma once

#include <condition_variable>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/Win32.h"
#include "platform/xcgui/Image.h"
#include "platform/xcgui/Theme.h"

class Element;
class Window;

// Private window messages of the toolkit's windows.
enum : UINT {
  QBM_PAINT = WM_APP + 0x100,    // draw the window now
  QBM_CALL = WM_APP + 0x101,     // lParam: the PendingCall to run (hidden window)
  QBM_COMPOSE = WM_APP + 0x102,  // the input method's pre-edit text changed; wParam: its cursor
  WM_LBUTTONDOWN_ = 0x0201,
  WM_LBUTTONUP_ = 0x0202,
  WM_MOUSEWHEEL_ = 0x020A,
};

// Marks toolkit message handling on the UI thread; elements are freed only at depth 0, when no
// handler of theirs can be on the stack.
struct DispatchScope {
  static inline int depth = 0;
  DispatchScope() { ++depth; }
  ~DispatchScope() { --depth; }
};

class Toolkit {
 public:
  static Toolkit& instance();

  // XInitXCGUI: the calling thread becomes the UI thread. Safe to call again (no effect).
  bool init();
  // XExitXCGUI: closes every window and SDL. Calls waiting from other threads return 0.
  void shutdown();
  bool initialised() const { return initialised_; }
  bool isUiThread() const;
  // True when SDL has no video: windows are drawn into memory only.
  bool headless() const { return headless_; }
  // Device pixels per window pixel on this display (1 when headless), fixed at init.
  int scale() const { return scale_; }

  Theme& theme() { return theme_; }
  ImageCache& images() { return images_; }
  // The directory of the running executable (POSIX path); layout image references are relative to it.
  const std::string& runDirectory();
  void setRunDirectory(std::string directory) { runDirectory_ = std::move(directory); }
  // A path from a layout file: absolute as is, else relative to the run directory.
  std::string resolveResourcePath(const std::string& reference);

  Window* addWindow(std::unique_ptr<Window> window);
  // Destroys the window later (it may be on the stack). Closing the last window through its
  // close message ends the message loop (`quitAfterLast`); destroying it as an element does not.
  void closeWindow(Window* window, bool quitAfterLast);
  Window* windowForHwnd(HWND hwnd) const;
  Window* windowForSdlId(uint32_t id) const;
  const std::vector<std::unique_ptr<Window>>& windows() const { return windows_; }

  template <class T>
  T* keep(std::unique_ptr<T> object) {
    T* raw = object.get();
    kept_.push_back(std::move(object));
    return raw;
  }
  // Frees the element once no event dispatch is running.
  void bury(std::unique_ptr<Element> element);

  void requestPaint(Window* window);

  // Runs `work` on the UI thread and waits for it. On the UI thread (or before init) it runs at
  // once. Returns false without running when the toolkit has shut down.
  bool runOnUiThread(const std::function<void()>& work);

  // The pump hook: SDL events become messages to the windows, pending paints are posted and
  // buried elements freed.
  void pump();
  void translateSdlEvents();

 private:
  struct PendingCall {
    std::function<void()> work;
    bool done = false;
    bool ran = false;
  };
  static LRESULT HiddenWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void finishPending(PendingCall* call, bool ran);
  void translate(const union SDL_Event& event);

  bool initialised_ = false;
  bool headless_ = true;
  int scale_ = 1;
  std::thread::id uiThread_;
  HWND hiddenWindow_ = nullptr;
  Theme theme_;
  ImageCache images_;
  std::string runDirectory_;
  std::vector<std::unique_ptr<Window>> windows_;
  std::vector<std::unique_ptr<Window>> closedWindows_;
  std::vector<std::unique_ptr<Object>> kept_;
  std::vector<std::unique_ptr<Element>> graveyard_;
  bool pumping_ = false;
  Point lastMouse_;

  std::mutex callLock_;
  std::condition_variable callDone_;
  std::list<PendingCall*> pendingCalls_;
  bool accepting_ = false;
};

// Runs `f` on the UI thread and returns its result; the default value when the toolkit is gone.
template <class F>
auto OnUiThread(F&& f) -> decltype(f()) {
  using R = decltype(f());
  if constexpr (std::is_void_v<R>) {
    Toolkit::instance().runOnUiThread([&] { f(); });
  } else {
    R result{};
    Toolkit::instance().runOnUiThread([&] { result = f(); });
    return result;
  }
}
