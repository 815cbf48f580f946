// The real main window, built once per test program from the build's run directory (layouts,
// images) on SDL's dummy video driver, over a scratch copy of the catalogue.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/xcgui/TestHooks.h"
#include "shell/toolkit/xcgui.h"
#include "support/ScratchDirectory.h"

class MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();

  // Pumps until posted input, layout and paint have all been handled.
  static void Settle();
  // Pumps until `done` or `limitMs` milliseconds have passed; returns `done()`.
  static bool PumpUntilFor(const std::function<bool()>& done, int limitMs);
  // Clicks the middle of an element.
  static void ClickElement(HELE element);
  // Scrolls card `item` of the list's first group out of view, so the list drops its elements,
  // and back, so it builds them anew.
  static void ScrollCardAwayAndBack(HELE list, int item);
  // Clicks navigation entry k (1..7).
  static void ChooseEntry(int k);
  // One value read straight from the catalogue copy (UTF-8 SQL).
  static std::string ReadCatalogue(const std::string& sql);
  static RECT RectOf(HXCGUI element);

  static ScratchDirectory* scratch_;
};
