// The toolkit's frame costs beside the same pixels drawn straight with SDL in the same run:
// a frame while scrolling a 10,000-card list view, a clock's tick over such a list (the text of
// one line changes), and XInitXCGUI to the first drawn frame of a window with 1,000 elements. The peer draws
// what the toolkit's frame shows (fills and text lines at the same places, same font) without an element
// tree, so each ratio is the price of the tree, layout and virtualised list over the drawing itself.
#include <SDL.h>
#include <SDL_ttf.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "bench/support/RatioReporter.h"
#include "platform/xcgui/SdlHandles.h"
#include "platform/xcgui/TestHooks.h"
#include "shell/toolkit/xcgui.h"

namespace {

namespace fs = std::filesystem;

constexpr int kCards = 10000;
constexpr int kWindowWidth = 1200;
constexpr int kWindowHeight = 800;
constexpr int kCardWidth = 320;
constexpr int kCardHeight = 120;
constexpr int kCardGap = 16;
constexpr int kScrollStep = 40;  // one wheel notch
constexpr int kRows = 40;
constexpr int kColumns = 25;  // kRows x kColumns = 1,000 elements
constexpr const char* kFontFile = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";

std::u16string Wide(const std::string& ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

// Layout files for both benchmarks, in a scratch directory removed at exit.
class BenchFiles {
 public:
  BenchFiles() {
    char pattern[] = "/tmp/qb-toolkit-bench-XXXXXX";
    dir_ = mkdtemp(pattern);
    write("list.xml", R"(<window title="bench" width="1200" height="800" layout="vertical" bkcolor="#1E1636">
  <listview id="2" width="fill" height="fill" item-width="320" item-height="120" item-gap="16" template=")" +
                          path("card.xml") + R"("/>
</window>)");
    write("card.xml", R"(<template>
  <fill color="#2A2050"/>
  <fill state="item-stay" color="#3A2E6E"/>
  <layout x="0" y="0" width="fill" height="fill" layout="vertical" padding="14" gap="6">
    <shapetext bind="name" width="fill" height="26" font-size="16" color="#FFFFFF"/>
    <shapetext bind="info" width="fill" height="20" font-size="12" color="#9F97D6"/>
  </layout>
</template>)");
    write("grid.xml", GridLayout());
    write("clock.xml", R"(<window title="clock" width="1200" height="800" layout="vertical" bkcolor="#1E1636">
  <shapetext id="1" width="fill" height="56" font-size="42" color="#FFFFFF"/>
  <listview id="2" width="fill" height="fill" item-width="320" item-height="120" item-gap="16" template=")" +
                           path("card.xml") + R"("/>
</window>)");
  }
  ~BenchFiles() { fs::remove_all(dir_); }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }

 private:
  void write(const std::string& name, const std::string& text) const { std::ofstream(path(name)) << text; }

  // kRows rows of kColumns cells, alternately a filled box and a line of text.
  static std::string GridLayout() {
    std::string xml =
        R"(<window title="grid" width="1200" height="800" layout="vertical" bkcolor="#1E1636">)";
    for (int row = 0; row < kRows; ++row) {
      xml += R"(<layout width="fill" height="20" layout="horizontal">)";
      for (int column = 0; column < kColumns; ++column) {
        xml += column % 2 ? R"(<shapetext width="48" height="20" font-size="12" color="#FFFFFF" text="文字)" +
                                std::to_string(row * kColumns + column) + R"("/>)"
                          : std::string(R"(<element width="48" height="20" bkcolor="#3A2E6E"/>)");
      }
      xml += "</layout>";
    }
    return xml + "</window>";
  }

  fs::path dir_;
};

const BenchFiles& Files() {
  static const BenchFiles files;
  return files;
}

// --- the toolkit ------------------------------------------------------------------------------

struct CardList {
  HWINDOW window = 0;
  HELE list = 0;
  int contentHeight = 0;
};

CardList MakeCardList(const char* layout = "list.xml") {
  CardList cards;
  cards.window = XC_LoadLayout(Wide(Files().path(layout)).c_str(), 0);
  cards.list = static_cast<HELE>(XC_GetObjectByID(cards.window, 2));
  HXCGUI adapter = XAdListView_Create();
  XAdListView_Item_AddColumn(adapter, u"name");
  XAdListView_Item_AddColumn(adapter, u"info");
  XAdListView_Group_AddColumn(adapter, u"name3");
  XListView_BindAdapter(cards.list, adapter);
  XListView_SetGroupHeight(cards.list, 0);
  int group = XListView_Group_AddItemText(cards.list, u"group", -1);
  for (int i = 0; i < kCards; ++i) {
    int item = XListView_Item_AddItemImage(cards.list, group, 0, -1);
    XListView_Item_SetTextEx(cards.list, group, item, u"name", (u"工具 " + Wide(std::to_string(i))).c_str());
    XListView_Item_SetTextEx(cards.list, group, item, u"info", u"本地处理 · 免费使用");
  }
  XWnd_AdjustLayout(cards.window);
  XWnd_ShowWindow(cards.window, 5);
  int perRow = (kWindowWidth + kCardGap) / (kCardWidth + kCardGap);
  cards.contentHeight = (kCards + perRow - 1) / perRow * (kCardHeight + kCardGap);
  return cards;
}

void BM_ScrollFrame_Toolkit(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  XInitXCGUI(u"bench");
  CardList cards = MakeCardList();
  XTest_ReadPixel(cards.window, 0, 0);  // first frame outside the measurement
  int offset = 0;
  for (auto _ : state) {
    offset = (offset + kScrollStep) % (cards.contentHeight - kWindowHeight);
    XTest_ListScrollTo(cards.list, offset);
    benchmark::DoNotOptimize(XTest_ReadPixel(cards.window, 10, 10));  // lays out and draws the frame
  }
  state.counters["built_items"] = XTest_ListBuiltCount(cards.list);
  state.counters["cards"] = XTest_ListItemCount(cards.list);
  XExitXCGUI();
}

// The clock's texts as the home panel writes them, one per second of a day.
std::string ClockText(int tick) {
  int seconds = tick % 86400;
  return std::to_string(seconds / 3600) + ":" + std::to_string(seconds / 60 % 60) + "." +
         std::to_string(seconds % 60);
}

void BM_ClockTick_Toolkit(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  XInitXCGUI(u"bench");
  CardList cards = MakeCardList("clock.xml");
  HELE clock = static_cast<HELE>(XC_GetObjectByID(cards.window, 1));
  XTest_ReadPixel(cards.window, 0, 0);
  int tick = 0;
  for (auto _ : state) {
    XShapeText_SetText(clock, Wide(ClockText(++tick)).c_str());
    benchmark::DoNotOptimize(XTest_ReadPixel(cards.window, 10, 10));  // draws and shows what changed
  }
  XExitXCGUI();
}

void BM_InitToFirstFrame_Toolkit(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  std::u16string grid = Wide(Files().path("grid.xml"));
  for (auto _ : state) {
    XInitXCGUI(u"bench");
    HWINDOW window = XC_LoadLayout(grid.c_str(), 0);
    XWnd_AdjustLayout(window);
    XWnd_ShowWindow(window, 5);
    benchmark::DoNotOptimize(XTest_ReadPixel(window, 10, 10));
    state.PauseTiming();
    XExitXCGUI();
    state.ResumeTiming();
  }
}

// --- the peer: the same pixels straight through SDL ----------------------------------------------

// A software frame with two font sizes, drawn the way a toolkit without a tree would: fill,
// then each text rendered and blitted; finished by showing it in the window, as the toolkit's
// frames are shown.
class DirectFrame {
 public:
  explicit DirectFrame(SDL_Window* window)
      : window_(window),
        frame_(SDL_CreateRGBSurfaceWithFormat(0, kWindowWidth, kWindowHeight, 32, SDL_PIXELFORMAT_ARGB8888)),
        renderer_(SDL_CreateSoftwareRenderer(frame_.get())),
        large_(TTF_OpenFont(kFontFile, 16)),
        small_(TTF_OpenFont(kFontFile, 12)) {}
  bool ok() const { return frame_ && renderer_ && large_ && small_; }

  void fill(const SDL_Rect& rect, uint8_t r, uint8_t g, uint8_t b) {
    SDL_SetRenderDrawColor(renderer_.get(), r, g, b, 255);
    SDL_RenderFillRect(renderer_.get(), &rect);
  }
  void text(const std::string& utf8, int x, int y, bool large) {
    SurfacePtr line(
        TTF_RenderUTF8_Blended(large ? large_.get() : small_.get(), utf8.c_str(), {255, 255, 255, 255}));
    if (!line) return;
    TexturePtr texture(SDL_CreateTextureFromSurface(renderer_.get(), line.get()));
    SDL_Rect to{x, y, line->w, line->h};
    SDL_RenderCopy(renderer_.get(), texture.get(), nullptr, &to);
  }
  uint32_t finish() {
    SDL_RenderPresent(renderer_.get());
    if (SDL_Surface* screen = window_ ? SDL_GetWindowSurface(window_) : nullptr) {
      SDL_BlitSurface(frame_.get(), nullptr, screen, nullptr);
      SDL_UpdateWindowSurface(window_);
    }
    return static_cast<const uint32_t*>(frame_->pixels)[10];
  }

 private:
  SDL_Window* window_;
  SurfacePtr frame_;
  RendererPtr renderer_;
  FontPtr large_;
  FontPtr small_;
};

// The cards a list scrolled to `offset` shows, drawn directly.
void DrawVisibleCards(DirectFrame& frame, int offset) {
  frame.fill({0, 0, kWindowWidth, kWindowHeight}, 0x1E, 0x16, 0x36);
  int perRow = (kWindowWidth + kCardGap) / (kCardWidth + kCardGap);
  int pitch = kCardHeight + kCardGap;
  for (int row = offset / pitch; row * pitch - offset < kWindowHeight; ++row) {
    for (int column = 0; column < perRow; ++column) {
      int index = row * perRow + column;
      if (index >= kCards) return;
      SDL_Rect card{column * (kCardWidth + kCardGap), row * pitch - offset, kCardWidth, kCardHeight};
      frame.fill(card, 0x2A, 0x20, 0x50);
      frame.text("工具 " + std::to_string(index), card.x + 14, card.y + 14, true);
      frame.text("本地处理 · 免费使用", card.x + 14, card.y + 46, false);
    }
  }
}

void BM_ScrollFrame_DirectSdl(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");  // as the toolkit's windows are shown
  SDL_Init(SDL_INIT_VIDEO);
  TTF_Init();
  SDL_Window* window = SDL_CreateWindow("list", 0, 0, kWindowWidth, kWindowHeight, SDL_WINDOW_SHOWN);
  {
    DirectFrame frame(window);
    if (!frame.ok()) state.SkipWithError("cannot open the font or make a frame");
    int perRow = (kWindowWidth + kCardGap) / (kCardWidth + kCardGap);
    int contentHeight = (kCards + perRow - 1) / perRow * (kCardHeight + kCardGap);
    int offset = 0;
    for (auto _ : state) {
      offset = (offset + kScrollStep) % (contentHeight - kWindowHeight);
      DrawVisibleCards(frame, offset);
      benchmark::DoNotOptimize(frame.finish());
    }
  }
  SDL_DestroyWindow(window);
  TTF_Quit();
  SDL_Quit();
}

// The least a program drawing straight with SDL does for a tick: the clock's band filled, the
// new line rendered and blitted, and that band shown.
void BM_ClockTick_DirectSdl(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_Init(SDL_INIT_VIDEO);
  TTF_Init();
  SDL_Window* window = SDL_CreateWindow("clock", 0, 0, kWindowWidth, kWindowHeight, SDL_WINDOW_SHOWN);
  SDL_Surface* screen = SDL_GetWindowSurface(window);
  FontPtr font(TTF_OpenFont(kFontFile, 42));
  if (!screen || !font) state.SkipWithError("cannot open the font or make a window");
  {
    DirectFrame frame(window);
    DrawVisibleCards(frame, 0);
    frame.finish();
    SDL_Rect band{0, 0, kWindowWidth, 56};
    int tick = 0;
    for (auto _ : state) {
      if (!screen || !font) break;
      SDL_FillRect(screen, &band, SDL_MapRGB(screen->format, 0x1E, 0x16, 0x36));
      SurfacePtr line(TTF_RenderUTF8_Blended(font.get(), ClockText(++tick).c_str(), {255, 255, 255, 255}));
      SDL_Rect to{0, (band.h - line->h) / 2, line->w, line->h};
      SDL_BlitSurface(line.get(), nullptr, screen, &to);
      SDL_UpdateWindowSurfaceRects(window, &band, 1);
    }
  }
  font.reset();
  SDL_DestroyWindow(window);
  TTF_Quit();
  SDL_Quit();
}

void BM_InitToFirstFrame_DirectSdl(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");  // as the toolkit's windows are shown
  for (auto _ : state) {
    SDL_Init(SDL_INIT_VIDEO);
    TTF_Init();
    SDL_Window* window = SDL_CreateWindow("grid", 0, 0, kWindowWidth, kWindowHeight, SDL_WINDOW_SHOWN);
    {
      DirectFrame frame(window);
      frame.fill({0, 0, kWindowWidth, kWindowHeight}, 0x1E, 0x16, 0x36);
      for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
          if (column % 2)
            frame.text("文字" + std::to_string(row * kColumns + column), column * 48, row * 20, false);
          else
            frame.fill({column * 48, row * 20, 48, 20}, 0x3A, 0x2E, 0x6E);
        }
      }
      benchmark::DoNotOptimize(frame.finish());
    }
    state.PauseTiming();
    SDL_DestroyWindow(window);
    TTF_Quit();
    SDL_Quit();
    state.ResumeTiming();
  }
}

}  // namespace

BENCHMARK(BM_ScrollFrame_Toolkit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollFrame_DirectSdl)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClockTick_Toolkit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClockTick_DirectSdl)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InitToFirstFrame_Toolkit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InitToFirstFrame_DirectSdl)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  return RunWithRatios(argc, argv,
                       {{"BM_ScrollFrame_Toolkit", "BM_ScrollFrame_DirectSdl"},
                        {"BM_ClockTick_Toolkit", "BM_ClockTick_DirectSdl"},
                        {"BM_InitToFirstFrame_Toolkit", "BM_InitToFirstFrame_DirectSdl"}});
}
