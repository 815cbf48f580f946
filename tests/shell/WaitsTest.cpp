#include "shell/startup/Waits.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>
#include <vector>

namespace {

std::vector<UINT> g_dispatched;
LRESULT Recorder(HWND, UINT message, WPARAM, LPARAM) {
  g_dispatched.push_back(message);
  return 0;
}

class WaitsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    g_dispatched.clear();
    window_ = QbCreateWindow(Recorder, nullptr);
  }
  void TearDown() override { DestroyWindow(window_); }
  HWND window_ = nullptr;
};

TEST_F(WaitsTest, PumpingWaitDispatchesMessagesPostedDuringTheWait) {
  std::thread poster([this] {
    Sleep(20);
    PostMessageA(window_, WM_USER + 1, 0, 0);
    Sleep(20);
    PostMessageA(window_, WM_USER + 2, 0, 0);
  });
  DWORD start = GetTickCount();
  EXPECT_TRUE(PumpingWait(100, 0));
  DWORD elapsed = GetTickCount() - start;
  poster.join();
  EXPECT_EQ(g_dispatched, (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
  EXPECT_GE(elapsed, 99u);  // the wait still lasts its whole interval
}

TEST_F(WaitsTest, PumpingWaitLeavesAPendingQuitMessageQueued) {
  PostMessageA(window_, WM_USER + 3, 0, 0);
  PostQuitMessage(0);
  PostMessageA(window_, WM_USER + 4, 0, 0);
  PumpingWait(30, 0);
  EXPECT_EQ(g_dispatched, (std::vector<UINT>{WM_USER + 3}));
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
}

TEST_F(WaitsTest, UnitsScaleTheInterval) {
  DWORD start = GetTickCount();
  PumpingWait(3, 10);  // any other unit is itself the milliseconds per unit
  EXPECT_GE(GetTickCount() - start, 29u);
}

TEST_F(WaitsTest, PostCloseSendsTheCloseMessage) {
  PostClose(window_);
  ProcessPendingMessages();
  EXPECT_EQ(g_dispatched, (std::vector<UINT>{WM_CLOSE}));
}

TEST(KillProcessTest, EndsAChildProcess) {
  pid_t child = fork();
  if (child == 0) {
    execl("/bin/sleep", "sleep", "30", static_cast<char*>(nullptr));
    _exit(127);
  }
  EXPECT_TRUE(KillProcess(child));
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status));
  EXPECT_FALSE(KillProcess(child));  // reaped: nothing left to open
}

TEST(KillProcessTest, WithoutAnIdEndsTheCallingProcessWithExitCodeZero) {
  EXPECT_EXIT(KillProcess(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
