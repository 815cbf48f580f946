// The real launcher, started from a scratch run directory (its own copy of the executable and
// CONFIG.db, the build's layouts and images) and a separate scratch current directory, on the X
// display the tests run under; driven and watched with xdotool and ImageMagick.
#pragma once

#include <sys/types.h>

#include <string>

#include "support/ScratchDirectory.h"

// The main window's top-left corner on screen, where its layout places it.
constexpr int kLeft = 375;
constexpr int kTop = 140;

class LauncherSession {
 public:
  struct Options {
    bool withCatalogue = true;
    std::string presetToolkitFile;  // contents of an XCGUI.dll already in the current directory
    bool presetToolkit = false;
    std::string program;  // the launcher build to run; the shipped one when empty
    // Layouts and resources copied rather than linked to the build's, for cases that change
    // them (the updater refuses links that lead out of the run directory).
    bool copyResources = false;
  };
  explicit LauncherSession(Options options);
  LauncherSession() : LauncherSession(Options{}) {}
  ~LauncherSession();

  bool start();
  // Starts the launcher, passes the start-up notice (screenshot "notice") and returns the main
  // window's id, or "" when a step does not come.
  std::string openMainWindow();
  // The first visible window of the launcher whose title is `title` (UTF-8), or "".
  std::string waitForWindow(const std::string& title, int timeoutMs = 8000) const;
  // Screen-coordinate input.
  void click(int x, int y) const;
  void moveTo(int x, int y) const;
  void key(const std::string& name) const;
  // Gives a window the input focus and presses Enter there, as a user would.
  void pressEnterIn(const std::string& window) const;
  // Presses Enter in `window` until a window titled `title` shows; returns it, or "" if none came.
  std::string pressEnterUntilWindow(const std::string& window, const std::string& title) const;
  // Presses Enter in `window` until the launcher exits; returns its exit code, -1 if it did not.
  int pressEnterUntilExit(const std::string& window);
  // Waits (about 9 seconds at most) until two screenshots 300 ms apart agree on `region`
  // (WxH+X+Y), so that an animation under load has ended before the next click.
  void waitUntilStill(const std::string& region) const;
  void type(const std::string& utf8) const;
  // Leaves the navigation column (it narrows) and waits until the cards stand still.
  void settleCards() const;
  // With the column narrowed, opens the search box, types `utf8`, presses Enter and waits for the
  // results to settle.
  void search(const std::string& utf8) const;
  // Writes a screenshot of the whole screen; returns its path.
  std::string screenshot(const std::string& name) const;
  // Waits for the launcher to end; its exit code, or -1 on a signal or time-out.
  int waitForExit(int timeoutMs);
  bool running() const;

  std::string runFile(const std::string& name) const { return runDir_.file(name); }
  std::string workFile(const std::string& name) const { return workDir_.file(name); }
  // One value read from the session's CONFIG.db (UTF-8 SQL).
  std::string catalogue(const std::string& sql) const;

 private:
  Options options_;
  ScratchDirectory runDir_;
  ScratchDirectory workDir_;
  pid_t pid_ = -1;
};

// The first visible window, of any process, whose title holds `text` (UTF-8); "" if none came.
std::string WaitForWindowNamed(const std::string& text, int timeoutMs);

// WxH+X+Y of an area of the main window, from its top-left corner.
std::string Area(int width, int height, int x, int y);

// Mean of the pixels of `image` (0..1) that differ from `other` in a region; used to tell
// screens apart without comparing them byte by byte.
double ScreenDifference(const std::string& image, const std::string& other, const std::string& region);
