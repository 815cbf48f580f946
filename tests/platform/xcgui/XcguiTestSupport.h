// Shared set-up of the toolkit tests: one toolkit per test process on SDL's dummy video driver
// (no display needed), layout files in a scratch directory that is also the run directory,
// pictures made on the spot, bounded message pumping, and a log that event handlers write to.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

#include "platform/xcgui/TestHooks.h"
#include "shell/toolkit/xcgui.h"
#include "support/ScratchDirectory.h"

std::u16string U(const std::string& utf8);
std::string Utf8(const char16_t* text);

// Writes a solid-colour PNG (0xRRGGBB) of the given size.
void WritePng(const std::string& path, int width, int height, uint32_t rgb);
// Writes a strip of vertical bands, each `bandWidth` wide, one per colour, left to right.
void WriteBandsPng(const std::string& path, int bandWidth, int height, std::initializer_list<uint32_t> rgbs);
void WriteFile(const std::string& path, const std::string& contents);

// Pumps the calling thread's messages until `done` or the time limit; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(5));

// Runs `work` and returns what it wrote to stderr.
std::string StderrOf(const std::function<void()>& work);

// 0xAARRGGBB pixel helpers.
inline int Red(uint32_t p) {
  return (p >> 16) & 0xFF;
}
inline int Green(uint32_t p) {
  return (p >> 8) & 0xFF;
}
inline int Blue(uint32_t p) {
  return p & 0xFF;
}
inline uint32_t Rgb(uint32_t p) {
  return p & 0xFFFFFF;
}

// The element's rectangle in client pixels (all zero for a bad handle).
RECT RectOf(HXCGUI element);
// The pixel in the middle of the element's rectangle.
uint32_t PixelAtCentre(HWINDOW window, HXCGUI element);
// Pixels inside the rectangle whose channels are all below `threshold`.
int DarkPixels(HWINDOW window, const RECT& area, int threshold = 0x80);

// What event handlers saw. Handlers are plain function pointers, so they report here.
struct EventRecord {
  int tag;  // which handler ran
  HXCGUI self;
  int event;
  WPARAM wParam;
  LPARAM lParam;
  std::thread::id thread;
};
extern std::vector<EventRecord> Events;
std::vector<int> EventTags();
std::vector<int> EventNumbers();
int CountEvents(int event);

// A handler that logs itself with `Tag` and returns 0.
template <int Tag>
int Logged(HXCGUI self, int event, WPARAM wParam, LPARAM lParam, BOOL*) {
  Events.push_back({Tag, self, event, wParam, lParam, std::this_thread::get_id()});
  return 0;
}
// The same, and it sets `handled`.
template <int Tag>
int LoggedAndHandled(HXCGUI self, int event, WPARAM wParam, LPARAM lParam, BOOL* handled) {
  *handled = TRUE;
  return Logged<Tag>(self, event, wParam, lParam, handled);
}

class XcguiTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  // Picture references in layouts resolve against the scratch directory.
  void SetUp() override;
  void TearDown() override;

  // Writes `xml` as `name` in the scratch directory and loads it.
  HXCGUI Load(const std::string& name, const std::string& xml, HXCGUI parent = 0);
  // Loads a file that must be refused; returns the report it wrote to stderr.
  std::string LoadRefused(const std::string& name, const std::string& xml, HXCGUI parent = 0);
  // Loads a layout that must load all the same; returns what it wrote to stderr.
  std::string LoadNoted(const std::string& name, const std::string& xml, HXCGUI* loaded, HXCGUI parent = 0);
  // Input as the window system posts it, handled before returning.
  static void Send(void (*input)(HWINDOW, int, int), HWINDOW window, int x, int y);
  static void MoveTo(HWINDOW window, int x, int y) { Send(XTest_MouseMove, window, x, y); }
  static void ClickAt(HWINDOW window, int x, int y) { Send(XTest_Click, window, x, y); }
  // Writes an item template and returns its path for the API.
  std::u16string Template(const std::string& name, const std::string& xml);
  // Writes a solid picture into the scratch directory and returns its path for the API.
  std::u16string Picture(const std::string& name, uint32_t rgb, int width = 8, int height = 8);
  std::string Path(const std::string& name) const { return scratch_.file(name); }
  std::u16string UPath(const std::string& name) const { return U(Path(name)); }

  ScratchDirectory scratch_;
  std::vector<HWINDOW> windows_;
};
