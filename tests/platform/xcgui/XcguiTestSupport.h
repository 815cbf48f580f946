// Shared set-up of the toolkit tests: one toolkit per test process on SDL's dummy video driver
// (no display needed), layout files in a scratch directory, pictures made on the spot, and
// bounded message pumping.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "platform/xcgui/TestHooks.h"
#include "shell/toolkit/xcgui.h"
#include "support/ScratchDirectory.h"

std::u16string U(const std::string& utf8);
std::string Utf8(const char16_t* text);

// Writes a solid-colour PNG (0xRRGGBB) of the given size.
void WritePng(const std::string& path, int width, int height, uint32_t rgb);
void WriteFile(const std::string& path, const std::string& contents);

// Pumps the calling thread's messages until `done` or the time limit; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(5));

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

class XcguiTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void TearDown() override;

  // Writes `xml` as `name` in the scratch directory and loads it.
  HXCGUI Load(const std::string& name, const std::string& xml, HXCGUI parent = 0);
  std::string Path(const std::string& name) const { return scratch_.file(name); }
  std::u16string UPath(const std::string& name) const { return U(Path(name)); }

  ScratchDirectory scratch_;
  std::vector<HWINDOW> windows_;
};
