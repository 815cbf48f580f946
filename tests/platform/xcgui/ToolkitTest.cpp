// The toolkit's life cycle, its UI-thread hand-over, the ease curve and the text conversions.
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "XcguiTestSupport.h"
#include "platform/win32/Win32.h"

namespace {

std::thread::id RanOn;
intptr_t RecordThread(intptr_t data) {
  RanOn = std::this_thread::get_id();
  return data * 2;
}

std::atomic<intptr_t> WorkerResult{0};

// A handler-like step that waits while keeping the thread's messages flowing, like the
// program's pumping waits, until a worker's hand-over has come back or `milliseconds` passed.
// A fixed wait could end before a slow worker even asked, leaving it waiting for this thread.
intptr_t WaitForWorker(intptr_t milliseconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  MSG message;
  while (WorkerResult == 0 && std::chrono::steady_clock::now() < end) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  return 7;
}

int Handled16(HXCGUI, int, WPARAM, LPARAM, BOOL* handled) {
  *handled = TRUE;
  return 0;
}

int CloseCount = 0;
int CountClose(HXCGUI, int, WPARAM, LPARAM, BOOL*) {
  ++CloseCount;
  return 0;
}

const char* kSmallWindow =
    R"(<window width="120" height="80" bkcolor="#102030"><element id="1" x="10" y="10" width="20" height="20" bkcolor="#ff0000"/></window>)";

}  // namespace

using ToolkitTest = XcguiTest;

TEST_F(ToolkitTest, CallUiThreadRunsAtOnceOnTheUiThread) {
  RanOn = {};
  EXPECT_EQ(XC_CallUiThread(RecordThread, 21), 42);
  EXPECT_EQ(RanOn, std::this_thread::get_id());
  EXPECT_EQ(XC_CallUiThread(nullptr, 1), 0);
}

TEST_F(ToolkitTest, CallUiThreadFromWorkersRunsOnTheUiThreadWhileItPumps) {
  std::atomic<int> finished{0}, wrongThread{0}, wrongResult{0};
  std::thread::id ui = std::this_thread::get_id();
  std::vector<std::thread> workers;
  for (int w = 0; w < 4; ++w) {
    workers.emplace_back([&, w] {
      for (int i = 0; i < 25; ++i) {
        intptr_t r = XC_CallUiThread(RecordThread, w * 100 + i);
        if (r != 2 * (w * 100 + i)) ++wrongResult;
        if (RanOn != ui) ++wrongThread;
      }
      ++finished;
    });
  }
  bool done = PumpUntil([&] { return finished == 4; }, std::chrono::seconds(10));
  for (auto& t : workers) t.join();  // joins at once when done; a hang fails the time limit
  EXPECT_TRUE(done);
  EXPECT_EQ(wrongResult, 0);
  EXPECT_EQ(wrongThread, 0);
}

TEST_F(ToolkitTest, CallUiThreadFromAWorkerCompletesWhileTheUiThreadIsInsideAPumpingWait) {
  WorkerResult = 0;
  std::thread worker([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    WorkerResult = XC_CallUiThread(RecordThread, 5);
  });
  // The UI thread is inside a handler-like call that waits while pumping.
  EXPECT_EQ(XC_CallUiThread(WaitForWorker, 10000), 7);
  EXPECT_EQ(WorkerResult, 10);
  // A worker not served yet waits for this thread, which must not join it.
  if (WorkerResult == 0) {
    worker.detach();
  } else {
    worker.join();
  }
}

TEST_F(ToolkitTest, WorkerThreadsMayCallTheToolkitDirectly) {
  HWINDOW w = Load("w.xml", R"(<window width="100" height="40"><shapetext id="3" text="a"/></window>)");
  ASSERT_NE(w, 0);
  HELE text = XC_GetObjectByID(w, 3);
  std::atomic<bool> done{false};
  std::thread worker([&] {
    XShapeText_SetText(text, u"从线程");
    done = true;
  });
  EXPECT_TRUE(PumpUntil([&] { return done.load(); }));
  worker.join();
  EXPECT_EQ(Utf8(XShapeText_GetText(text)), "从线程");
}

TEST_F(ToolkitTest, EaseExpoOutIsExactAtTheEnds) {
  EXPECT_EQ(XEase_Expo(1.0f, 1), 1.0f);
  EXPECT_EQ(XEase_Expo(0.0f, 1), 0.0f);
  EXPECT_NEAR(XEase_Expo(0.5f, 1), 1.0f - std::pow(2.0f, -5.0f), 1e-6);
  EXPECT_NEAR(XEase_Expo(1.0f / 45, 1), 1.0f - std::pow(2.0f, -10.0f / 45), 1e-6);
  // The navigation column's first animation step: 55 + 95 * f, truncated.
  EXPECT_EQ(int(XEase_Expo(1.0f / 45, 1) * 95 + 55), 68);
}

TEST_F(ToolkitTest, AnsiToUnicodeFollowsTheTwoCallPattern) {
  const char* gbk = "\xca\xd3\xc6\xc1\xb4\xa6\xc0\xed";  // 视屏处理
  int n = XC_AnsiToUnicode(gbk, -1, nullptr, 0);
  EXPECT_EQ(n, 5);  // four characters and the NUL
  std::u16string out(size_t(n), u'\0');
  EXPECT_EQ(XC_AnsiToUnicode(gbk, -1, out.data(), n), 5);
  EXPECT_EQ(out, std::u16string(u"视屏处理") + u'\0');
}

TEST_F(ToolkitTest, UnicodeToAnsiAndWtoaGiveCodePage936) {
  int n = XC_UnicodeToAnsi(u"中文", -1, nullptr, 0);
  EXPECT_EQ(n, 5);
  std::string out(size_t(n), '\0');
  XC_UnicodeToAnsi(u"中文", -1, out.data(), n);
  EXPECT_EQ(out, std::string("\xd6\xd0\xce\xc4") + '\0');
  EXPECT_STREQ(XC_wtoa(u"中文"), "\xd6\xd0\xce\xc4");
  EXPECT_STREQ(XC_wtoa(nullptr), "");
}

TEST_F(ToolkitTest, CloseTakenByAHandlerKeepsTheWindow) {
  HWINDOW w = Load("w.xml", kSmallWindow);
  XWnd_RegEventC(w, XWM_CLOSE, Handled16);
  XTest_Close(w);
  XTest_Pump(3);
  EXPECT_EQ(XC_GetObjectType(w), XC_WINDOW);
}

TEST_F(ToolkitTest, ClosingTheLastWindowDestroysItAndEndsTheLoop) {
  HWINDOW w = Load("w.xml", kSmallWindow);
  windows_.clear();
  CloseCount = 0;
  XWnd_RegEventC(w, XWM_CLOSE, CountClose);
  XWnd_ShowWindow(w, SW_SHOW);
  XTest_Close(w);
  // XRunXCGUI must return on its own; a watchdog ends a hang as a failure.
  std::atomic<bool> returned{false};
  DWORD ui = GetCurrentThreadId();
  std::thread watchdog([&] {
    for (int i = 0; i < 500 && !returned; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!returned) PostThreadMessageA(ui, WM_QUIT, 0, 0);
  });
  auto started = std::chrono::steady_clock::now();
  XRunXCGUI();
  returned = true;
  watchdog.join();
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  EXPECT_EQ(CloseCount, 1);
  EXPECT_EQ(XC_GetObjectType(w), 0);
}

TEST_F(ToolkitTest, MissingResourceFileIsNotAnError) {
  EXPECT_TRUE(XC_LoadResource(UPath("none.res").c_str()));
}

TEST_F(ToolkitTest, ResourceFileColoursAreUsableInLayouts) {
  WriteFile(Path("r.res"), R"(<resource><color name="brand" value="#00ff00"/></resource>)");
  ASSERT_TRUE(XC_LoadResource(UPath("r.res").c_str()));
  HWINDOW w = Load("w.xml", R"(<window width="40" height="40" bkcolor="@brand"/>)");
  ASSERT_NE(w, 0);
  EXPECT_EQ(XTest_ReadPixel(w, 5, 5) & 0xFFFFFF, 0x00FF00u);
  WriteFile(Path("bad.res"), "<resource>");
  EXPECT_FALSE(XC_LoadResource(UPath("bad.res").c_str()));
}
