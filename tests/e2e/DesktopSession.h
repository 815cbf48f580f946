// A desktop of its own for a test: a private Xvfb of the given size (kept from resetting, so
// root-window resources survive clients coming and going), openbox as its window
// manager and, when asked, xcompmgr as its compositor; DISPLAY points at it until it goes. An
// Xft.dpi resource makes it a HiDPI desktop as desktop settings would.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

class DesktopSession {
 public:
  struct Options {
    int width = 1920, height = 1200;
    bool compositor = false;
    int xftDpi = 0;  // 0: no Xft.dpi resource
  };
  explicit DesktopSession(Options options);
  ~DesktopSession();
  DesktopSession(const DesktopSession&) = delete;
  DesktopSession& operator=(const DesktopSession&) = delete;

  // True when the server, the window manager and the compositor all came up.
  bool ready() const { return ready_; }
  // What did not come up, when not ready.
  const std::string& failure() const { return failure_; }

 private:
  bool startServer(const Options& options);
  // Its stderr goes to `log`.
  pid_t spawn(const std::vector<std::string>& command, const std::string& log = "/dev/null");

  std::vector<pid_t> children_;  // server first
  std::string previousDisplay_;
  bool hadDisplay_ = false;
  bool ready_ = false;
  std::string failure_;
};

// Geometry of a window as xdotool reports it (all -1 when the window is unknown).
struct WindowGeometry {
  int x = -1, y = -1, width = -1, height = -1;
};
WindowGeometry GeometryOf(const std::string& window);
