#include <gtest/gtest.h>

#include <thread>

#include "platform/win32/Win32.h"

namespace {

LARGE_INTEGER RelativeMs(int ms) {
  LARGE_INTEGER due{};
  due.QuadPart = -static_cast<int64_t>(ms) * 10000;
  return due;
}

TEST(WaitsTest, TimerSignalsAfterItsDueTimeAndAutoResets) {
  HANDLE timer = CreateWaitableTimerA(nullptr, FALSE, nullptr);
  LARGE_INTEGER due = RelativeMs(30);
  ASSERT_TRUE(SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE));
  DWORD start = GetTickCount();
  EXPECT_EQ(WaitForSingleObject(timer, 5000), WAIT_OBJECT_0);
  EXPECT_GE(GetTickCount() - start, 29u);
  EXPECT_EQ(WaitForSingleObject(timer, 0), WAIT_TIMEOUT);  // consumed
  EXPECT_TRUE(CloseHandle(timer));
  EXPECT_FALSE(CloseHandle(timer));
}

TEST(WaitsTest, MsgWaitReturnsCountForInputPostedDuringTheWait) {
  HANDLE timer = CreateWaitableTimerA(nullptr, FALSE, nullptr);
  LARGE_INTEGER due = RelativeMs(10000);
  SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE);
  DWORD self = GetCurrentThreadId();
  std::thread poster([self] {
    Sleep(20);
    PostThreadMessageA(self, WM_USER, 0, 0);
  });
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &timer, FALSE, 5000, QS_ALLINPUT), 1u);
  poster.join();
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  CloseHandle(timer);
}

TEST(WaitsTest, InputAlreadySeenDoesNotWakeTheNextWait) {
  PostThreadMessageA(GetCurrentThreadId(), WM_QUIT, 0, 0);
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT), 0u);
  // The quit message stays queued but is no longer new: the wait runs to its timeout.
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 30, QS_ALLINPUT), WAIT_TIMEOUT);
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
}

TEST(WaitsTest, EventSetFromAnotherThreadReleasesTheWaiter) {
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  std::thread setter([event] {
    Sleep(10);
    SetEvent(event);
  });
  EXPECT_EQ(WaitForSingleObject(event, 5000), WAIT_OBJECT_0);
  setter.join();
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  CloseHandle(event);
}

TEST(WaitsTest, WaitOnAnInvalidHandleFails) {
  int notAHandle = 0;
  HANDLE bogus = &notAHandle;
  EXPECT_EQ(WaitForSingleObject(bogus, 0), WAIT_FAILED);
}

}  // namespace
