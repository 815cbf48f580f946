#include "XcguiTestSupport.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdlib>
#include <fstream>
#include <thread>

#include "platform/xcgui/TextCodec.h"

std::u16string U(const std::string& utf8) {
  return TextCodec::utf8ToUtf16(utf8);
}
std::string Utf8(const char16_t* text) {
  return TextCodec::utf16ToUtf8(text ? text : u"");
}

void WritePng(const std::string& path, int width, int height, uint32_t rgb) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
  SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, (rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
  IMG_SavePNG(s, path.c_str());
  SDL_FreeSurface(s);
}

void WriteFile(const std::string& path, const std::string& contents) {
  std::ofstream out(path, std::ios::binary);
  out << contents;
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    XTest_Pump(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

void XcguiTest::SetUpTestSuite() {
  // The dummy driver gives real SDL windows without a display.
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  XInitXCGUI(u"test");
}

void XcguiTest::TearDown() {
  for (HWINDOW w : windows_) XEle_Destroy(w);
  // Leave an empty queue (a WM_QUIT from a closed window included) for the next test.
  MSG message;
  XTest_Pump(2);
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

HXCGUI XcguiTest::Load(const std::string& name, const std::string& xml, HXCGUI parent) {
  WriteFile(Path(name), xml);
  HXCGUI loaded = XC_LoadLayout(UPath(name).c_str(), parent);
  if (loaded && parent == 0) windows_.push_back(loaded);
  return loaded;
}
