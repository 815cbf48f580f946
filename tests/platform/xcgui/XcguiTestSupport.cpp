#include "XcguiTestSupport.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/xcgui/TextCodec.h"

std::vector<EventRecord> Events;

std::u16string U(const std::string& utf8) {
  return TextCodec::utf8ToUtf16(utf8);
}
std::string Utf8(const char16_t* text) {
  return TextCodec::utf16ToUtf8(text ? text : u"");
}

namespace {
void CreateParent(const std::string& path) {
  std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent);
}
}  // namespace

void WriteBandsPng(const std::string& path, int bandWidth, int height, std::initializer_list<uint32_t> rgbs) {
  CreateParent(path);
  int width = bandWidth * int(rgbs.size());
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
  int x = 0;
  for (uint32_t rgb : rgbs) {
    SDL_Rect band{x, 0, bandWidth, height};
    SDL_FillRect(s, &band, SDL_MapRGB(s->format, (rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
    x += bandWidth;
  }
  IMG_SavePNG(s, path.c_str());
  SDL_FreeSurface(s);
}

void WritePng(const std::string& path, int width, int height, uint32_t rgb) {
  WriteBandsPng(path, width, height, {rgb});
}

void WriteFile(const std::string& path, const std::string& contents) {
  CreateParent(path);
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

std::string StderrOf(const std::function<void()>& work) {
  ::testing::internal::CaptureStderr();
  work();
  return ::testing::internal::GetCapturedStderr();
}

RECT RectOf(HXCGUI element) {
  RECT r{0, 0, 0, 0};
  XTest_GetRect(element, &r);
  return r;
}

uint32_t PixelAtCentre(HWINDOW window, HXCGUI element) {
  RECT r = RectOf(element);
  return XTest_ReadPixel(window, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

int DarkPixels(HWINDOW window, const RECT& area, int threshold) {
  int dark = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      uint32_t p = XTest_ReadPixel(window, x, y);
      if (Red(p) < threshold && Green(p) < threshold && Blue(p) < threshold) ++dark;
    }
  }
  return dark;
}

std::vector<int> EventTags() {
  std::vector<int> tags;
  for (const EventRecord& e : Events) tags.push_back(e.tag);
  return tags;
}

std::vector<int> EventNumbers() {
  std::vector<int> numbers;
  for (const EventRecord& e : Events) numbers.push_back(e.event);
  return numbers;
}

int CountEvents(int event) {
  int n = 0;
  for (const EventRecord& e : Events) n += e.event == event ? 1 : 0;
  return n;
}

void XcguiTest::SetUpTestSuite() {
  // The dummy driver gives real SDL windows without a display.
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  XInitXCGUI(u"test");
}

void XcguiTest::SetUp() {
  Events.clear();
  XTest_SetRunDirectory(scratch_.path().c_str());
}

void XcguiTest::TearDown() {
  for (HWINDOW w : windows_) XEle_Destroy(w);
  // Leave an empty queue (a WM_QUIT from a closed window included) for the next test.
  MSG message;
  XTest_Pump(2);
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
  XTest_SetRunDirectory(nullptr);  // back to the executable's directory
  Events.clear();
}

HXCGUI XcguiTest::Load(const std::string& name, const std::string& xml, HXCGUI parent) {
  WriteFile(Path(name), xml);
  HXCGUI loaded = XC_LoadLayout(UPath(name).c_str(), parent);
  if (loaded && parent == 0) windows_.push_back(loaded);
  return loaded;
}

std::string XcguiTest::LoadRefused(const std::string& name, const std::string& xml, HXCGUI parent) {
  HXCGUI loaded = 0;
  std::string report = StderrOf([&] { loaded = Load(name, xml, parent); });
  EXPECT_EQ(loaded, 0) << name << " was not refused";
  return report;
}

std::string XcguiTest::LoadNoted(const std::string& name, const std::string& xml, HXCGUI* loaded, HXCGUI parent) {
  std::string report = StderrOf([&] { *loaded = Load(name, xml, parent); });
  EXPECT_NE(*loaded, 0) << name << " was refused: " << report;
  return report;
}

void XcguiTest::Send(void (*input)(HWINDOW, int, int), HWINDOW window, int x, int y) {
  input(window, x, y);
  XTest_Pump(2);
}

std::u16string XcguiTest::Template(const std::string& name, const std::string& xml) {
  WriteFile(Path(name), xml);
  return UPath(name);
}

std::u16string XcguiTest::Picture(const std::string& name, uint32_t rgb, int width, int height) {
  WritePng(Path(name), width, height, rgb);
  return UPath(name);
}
