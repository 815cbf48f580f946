// Windows: the drawn frame (as a PNG and as pixels), window messages 5 (size) and 16 (close),
// showing, moving, and the transparent window's alpha on the screen surface.
#include <SDL.h>
#include <SDL_image.h>

#include <atomic>

#include "XcguiTestSupport.h"

namespace {

const char* kSmall = R"(<window title="small" width="120" height="80" bkcolor="#102030">
  <element id="1" x="10" y="10" width="20" height="20" bkcolor="#ff0000"/>
  <shapetext id="2" x="40" y="40" width="70" height="30" text="文字" color="#000000" font-size="20"/>
  <element id="3" x="0" y="0" width="fill" height="fill" visible="false"/>
</window>
)";

const char* kResizable = R"(<window width="200" height="100" resizable="true" layout="horizontal">
  <element id="1" width="50" height="fill"/>
  <element id="2" width="fill" height="fill"/>
</window>
)";

uint32_t SurfacePixel(SDL_Surface* s, int x, int y) {
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0);
  if (!argb) return 0;
  uint32_t p =
      reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) + y * argb->pitch)[x];
  SDL_FreeSurface(argb);
  return p;
}

SDL_Window* SdlWindowTitled(const char* title) {
  SDL_Window* found = nullptr;
  for (Uint32 id = 1; id < 100000; ++id) {
    SDL_Window* w = SDL_GetWindowFromID(id);
    if (w && std::string(SDL_GetWindowTitle(w)) == title) found = w;  // the newest wins
  }
  return found;
}

// What a size handler saw: the message's packed size and the fill child's width at that moment.
HELE SizeWatched = 0;
LPARAM SizeParam = 0;
int FillWidthSeen = 0;
RECT ScreenRectSeen{};
int OnSize(HXCGUI self, int event, WPARAM wParam, LPARAM lParam, BOOL* handled) {
  SizeParam = lParam;
  RECT r{};
  XTest_GetRect(SizeWatched, &r);
  FillWidthSeen = r.right - r.left;
  GetWindowRect(XWnd_GetHWND(self), &ScreenRectSeen);
  return Logged<1>(self, event, wParam, lParam, handled);
}

}  // namespace

class WindowTest : public XcguiTest {
 protected:
  void Resize(HWINDOW w, int width, int height) {
    PostMessageA(XWnd_GetHWND(w), WM_SIZE, 0, LPARAM(width | (height << 16)));
    XTest_Pump(2);
  }
};

// ---- drawing ----

TEST_F(WindowTest, RenderToPngWritesTheFrameWithFillsAndText) {
  HWINDOW w = Load("w.xml", kSmall);
  ASSERT_TRUE(XTest_RenderToPng(w, Path("frame.png").c_str()));
  SDL_Surface* png = IMG_Load(Path("frame.png").c_str());
  ASSERT_NE(png, nullptr);
  EXPECT_EQ(png->w, 120);
  EXPECT_EQ(png->h, 80);
  EXPECT_EQ(Rgb(SurfacePixel(png, 3, 3)), 0x102030u);    // window fill
  EXPECT_EQ(Rgb(SurfacePixel(png, 20, 20)), 0xFF0000u);  // element fill
  int dark = 0;
  for (int y = 40; y < 70; ++y)
    for (int x = 40; x < 110; ++x) dark += Rgb(SurfacePixel(png, x, y)) == 0 ? 1 : 0;
  EXPECT_GT(dark, 30);  // the glyphs
  SDL_FreeSurface(png);
  EXPECT_FALSE(XTest_RenderToPng(0, Path("none.png").c_str()));
}

TEST_F(WindowTest, PixelsFollowChangesWithoutAnExplicitRedraw) {
  HWINDOW w = Load("w.xml", kSmall);
  EXPECT_EQ(Rgb(XTest_ReadPixel(w, 20, 20)), 0xFF0000u);
  XEle_ShowEle(XC_GetObjectByID(w, 1), FALSE);
  EXPECT_EQ(Rgb(XTest_ReadPixel(w, 20, 20)), 0x102030u);
  EXPECT_EQ(XTest_ReadPixel(w, 120, 0), 0u);  // outside
  EXPECT_EQ(XTest_ReadPixel(w, -1, 0), 0u);
}

// A clock's tick changes one text of fixed size: only its rectangle is drawn again, and the
// rest of the frame keeps what it showed.
TEST_F(WindowTest, ATextOfFixedSizeThatChangesRepaintsOnlyItsRectangle) {
  HWINDOW w = Load("w.xml", R"(<window width="300" height="200" bkcolor="#102030" layout="vertical">
  <shapetext id="1" width="fill" height="56" font-size="42" color="#FFFFFF" text="9:5.3"/>
  <element id="2" width="fill" height="fill" bkcolor="#ff0000"/>
</window>
)");
  RECT painted{};
  ASSERT_TRUE(XTest_PaintPending(w, &painted));
  XShapeText_SetText(XC_GetObjectByID(w, 1), u"10:15.33");
  ASSERT_TRUE(XTest_PaintPending(w, &painted));
  RECT clock = RectOf(XC_GetObjectByID(w, 1));
  EXPECT_EQ(painted.left, clock.left);
  EXPECT_EQ(painted.top, clock.top);
  EXPECT_EQ(painted.right, clock.right);
  EXPECT_EQ(painted.bottom, clock.bottom);
  int lit = 0;
  for (int y = clock.top; y < clock.bottom; ++y)
    for (int x = 150; x < clock.right; ++x) lit += Red(XTest_ReadPixel(w, x, y)) > 0x80 ? 1 : 0;
  EXPECT_GT(lit, 20) << "the longer text reaches further right";
  EXPECT_EQ(Rgb(XTest_ReadPixel(w, 150, 150)), 0xFF0000u);
  ASSERT_TRUE(XTest_PaintPending(w, &painted));
  EXPECT_EQ(painted.right - painted.left, 0) << "nothing changed, nothing drawn";
  XEle_ShowEle(XC_GetObjectByID(w, 2), FALSE);  // the layout changes: everything again
  ASSERT_TRUE(XTest_PaintPending(w, &painted));
  EXPECT_EQ(painted.right - painted.left, 300);
  EXPECT_EQ(painted.bottom - painted.top, 200);
  EXPECT_EQ(Rgb(XTest_ReadPixel(w, 150, 150)), 0x102030u);
}

// ---- messages ----

TEST_F(WindowTest, SizeMessageComesAfterTheNewLayoutWithThePackedSize) {
  HWINDOW w = Load("w.xml", kResizable);
  SizeWatched = XC_GetObjectByID(w, 2);
  XWnd_Move(w, 375, 140);
  XWnd_RegEventC(w, XWM_SIZE, OnSize);
  Resize(w, 300, 150);
  ASSERT_EQ(CountEvents(XWM_SIZE), 1);
  EXPECT_EQ(SizeParam & 0xFFFF, 300);
  EXPECT_EQ((SizeParam >> 16) & 0xFFFF, 150);
  EXPECT_EQ(FillWidthSeen, 250);
  EXPECT_EQ(ScreenRectSeen.left, 375);
  EXPECT_EQ(ScreenRectSeen.right, 675);
  EXPECT_EQ(ScreenRectSeen.bottom, 290);
  Resize(w, 300, 150);  // no change, no message
  EXPECT_EQ(CountEvents(XWM_SIZE), 1);
}

TEST_F(WindowTest, CloseHandlersRunInOrderThenTheLastWindowClosesAndTheLoopEnds) {
  HWINDOW w = Load("w.xml", kSmall);
  XWnd_RegEventC(w, XWM_CLOSE, Logged<1>);
  XWnd_RegEventC(w, XWM_CLOSE, Logged<2>);
  XTest_Close(w);
  EXPECT_FALSE(XTest_Pump(3));  // stopped at the quit message
  EXPECT_EQ(EventTags(), (std::vector<int>{1, 2}));
  EXPECT_EQ(XC_GetObjectType(w), 0);
  EXPECT_EQ(XC_GetObjectByID(0, 1), 0);
}

TEST_F(WindowTest, CloseTakenByAHandlerStopsLaterHandlersAndKeepsTheWindow) {
  HWINDOW w = Load("w.xml", kSmall);
  XWnd_RegEventC(w, XWM_CLOSE, LoggedAndHandled<1>);
  XWnd_RegEventC(w, XWM_CLOSE, Logged<2>);
  XTest_Close(w);
  EXPECT_TRUE(XTest_Pump(3));
  EXPECT_EQ(EventTags(), (std::vector<int>{1}));
  EXPECT_EQ(XC_GetObjectType(w), XC_WINDOW);
}

TEST_F(WindowTest, CloseButtonRaisesTheCloseMessage) {
  HWINDOW w = Load("w.xml", R"(<window width="100" height="50">
  <button id="4" x="60" y="10" width="31" height="26" action="close"/>
</window>
)");
  XWnd_RegEventC(w, XWM_CLOSE, LoggedAndHandled<1>);
  XTest_Click(w, 70, 20);
  XTest_Pump(3);
  EXPECT_EQ(EventNumbers(), (std::vector<int>{XWM_CLOSE}));
}

TEST_F(WindowTest, MessagesAWorkerCausesAreHandledOnTheUiThread) {
  HWINDOW w = Load("w.xml", kResizable);
  XWnd_RegEventC(w, XWM_CLOSE, LoggedAndHandled<1>);
  XWnd_RegEventC(w, XWM_MOUSELEAVE, Logged<2>);
  XWnd_RegEventC(w, XWM_SIZE, Logged<3>);
  std::atomic<bool> posted{false};
  std::thread worker([&] {
    XTest_Close(w);
    XTest_MouseLeave(w);
    PostMessageA(XWnd_GetHWND(w), WM_SIZE, 0, LPARAM(250 | (120 << 16)));
    posted = true;
  });
  EXPECT_TRUE(PumpUntil([&] { return posted && Events.size() == 3; }));
  worker.join();
  EXPECT_EQ(EventNumbers(), (std::vector<int>{XWM_CLOSE, XWM_MOUSELEAVE, XWM_SIZE}));
  for (const EventRecord& e : Events) EXPECT_EQ(e.thread, std::this_thread::get_id());
}

TEST_F(WindowTest, WindowMessageRegistrationNeedsAWindow) {
  HWINDOW w = Load("w.xml", kSmall);
  EXPECT_FALSE(XWnd_RegEventC(XC_GetObjectByID(w, 1), XWM_CLOSE, Logged<1>));
  EXPECT_FALSE(XWnd_RegEventC(w, XWM_CLOSE, nullptr));
  EXPECT_TRUE(XWnd_RegEventC(w, XWM_MOUSELEAVE, Logged<1>));
}

// ---- placement and visibility ----

TEST_F(WindowTest, ShowHideAndMoveAreReflectedInTheNativeWindow) {
  HWINDOW w = Load("w.xml", kSmall);
  EXPECT_FALSE(XTest_IsWindowShown(w));
  XWnd_ShowWindow(w, SW_SHOW);
  EXPECT_TRUE(XTest_IsWindowShown(w));
  XWnd_Move(w, 50, 60);
  RECT r{};
  ASSERT_TRUE(GetWindowRect(XWnd_GetHWND(w), &r));
  EXPECT_EQ(r.left, 50);
  EXPECT_EQ(r.top, 60);
  EXPECT_EQ(r.right, 170);
  EXPECT_EQ(r.bottom, 140);
  XWnd_ShowWindow(w, SW_HIDE);
  EXPECT_FALSE(XTest_IsWindowShown(w));
  EXPECT_EQ(XWnd_GetHWND(0), nullptr);
}

// The window's alpha goes to the window system as its opacity; the pixels that reach the screen
// are the frame's own, never darkened over black (without a compositor the window is opaque).
TEST_F(WindowTest, TransparentAlphaIsTheWindowsOpacityNotDarkenedPixels) {
  HWINDOW w = Load("w.xml", R"(<window title="alpha-window" width="60" height="40" bkcolor="#ffffff"/>)");
  XWnd_SetTransparentAlpha(w, 128);
  XWnd_SetTransparentType(w, 1);
  EXPECT_EQ(XTest_WindowAlpha(w), 128);
  XWnd_ShowWindow(w, SW_SHOW);
  SDL_Window* native = SdlWindowTitled("alpha-window");
  ASSERT_NE(native, nullptr) << "no SDL window; is the dummy video driver in use?";
  XTest_Pump(3);
  EXPECT_EQ(Rgb(SurfacePixel(SDL_GetWindowSurface(native), 30, 20)), 0xFFFFFFu);
  EXPECT_EQ(Rgb(XTest_ReadPixel(w, 30, 20)), 0xFFFFFFu);
}
