#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/win32/Win32.h"

namespace {

std::vector<UINT> g_seen;

LRESULT RecordingProc(HWND, UINT message, WPARAM wParam, LPARAM) {
  g_seen.push_back(message);
  return static_cast<LRESULT>(wParam) * 2;
}

void DrainQueue() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

class ThreadQueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DrainQueue();
    g_seen.clear();
    window_ = QbCreateWindow(RecordingProc, nullptr);
  }
  void TearDown() override {
    DestroyWindow(window_);
    DrainQueue();
  }
  HWND window_ = nullptr;
};

TEST_F(ThreadQueueTest, PostedMessagesAreDispatchedInOrderToTheWindowProcedure) {
  PostMessageA(window_, WM_USER + 1, 0, 0);
  PostMessageA(window_, WM_USER + 2, 0, 0);
  DrainQueue();
  EXPECT_EQ(g_seen, (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
}

TEST_F(ThreadQueueTest, MessagePostedFromAnotherThreadReachesTheOwningThread) {
  std::thread poster([this] { PostMessageA(window_, WM_USER + 7, 0, 0); });
  poster.join();
  DrainQueue();
  EXPECT_EQ(g_seen, (std::vector<UINT>{WM_USER + 7}));
}

TEST_F(ThreadQueueTest, PostingToADestroyedWindowFails) {
  HWND gone = QbCreateWindow(RecordingProc, nullptr);
  DestroyWindow(gone);
  EXPECT_FALSE(PostMessageA(gone, WM_USER, 0, 0));
}

TEST_F(ThreadQueueTest, PeekWithoutRemoveLeavesTheMessageQueued) {
  PostMessageA(window_, WM_USER + 3, 0, 0);
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER + 3u);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(ThreadQueueTest, GetMessageReturnsFalseForQuit) {
  PostQuitMessage(3);
  MSG msg{};
  EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 3);
}

TEST_F(ThreadQueueTest, SendFromAnotherThreadRunsOnTheOwnerAndReturnsTheResult) {
  std::atomic<LRESULT> result{0};
  std::thread sender([&] { result = SendMessageA(window_, WM_USER + 9, 21, 0); });
  MSG msg;
  for (int i = 0; i < 2000 && result == 0; ++i) {
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    Sleep(1);
  }
  sender.join();
  EXPECT_EQ(result, 42);
  EXPECT_EQ(g_seen, (std::vector<UINT>{WM_USER + 9}));
}

int g_hookCalls = 0;
HWND g_hookTarget = nullptr;
void PostingHook() {
  if (++g_hookCalls == 3) PostMessageA(g_hookTarget, WM_USER + 5, 0, 0);
}

TEST_F(ThreadQueueTest, PumpHookIsPolledDuringWaitsAndItsMessagesWakeTheWait) {
  g_hookCalls = 0;
  g_hookTarget = window_;
  QbSetThreadPumpHook(PostingHook);
  DWORD result = MsgWaitForMultipleObjects(0, nullptr, FALSE, 5000, QS_ALLINPUT);
  QbSetThreadPumpHook(nullptr);
  EXPECT_EQ(result, WAIT_OBJECT_0);
  DrainQueue();
  EXPECT_EQ(g_seen, (std::vector<UINT>{WM_USER + 5}));
}

}  // namespace
