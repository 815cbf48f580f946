#include "shell/startup/Waits.h"

#include <cstdio>

void ProcessPendingMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
    if (msg.message == WM_QUIT) return;  // the loop that owns the thread takes it
    PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

namespace {

double MillisecondsPerUnit(int unit) {
  switch (unit) {
    case 0:
      return 1;
    case 1:
      return 1000;
    case 2:
      return 60000;
    case 3:
      return 3600000;
    default:
      return unit;
  }
}

// Without a timer the wait could never end, so it falls back to sleeping in short slices while
// still processing messages.
void PumpingSleep(double milliseconds) {
  const DWORD start = GetTickCount();
  do {
    ProcessPendingMessages();
    Sleep(1);
  } while (GetTickCount() - start < milliseconds);
}

}  // namespace

bool PumpingWait(int interval, int unit) {
  const double milliseconds = interval * MillisecondsPerUnit(unit);
  LARGE_INTEGER due{};
  due.QuadPart = static_cast<int64_t>(-(milliseconds * 10000.0));
  HANDLE timer = CreateWaitableTimerA(nullptr, FALSE, nullptr);
  if (timer == nullptr || !SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
    if (timer) CloseHandle(timer);
    PumpingSleep(milliseconds);
    return true;
  }
  while (MsgWaitForMultipleObjects(1, &timer, FALSE, INFINITE, 0xFF) != WAIT_OBJECT_0) {
    ProcessPendingMessages();
  }
  CloseHandle(timer);
  return true;
}

bool KillProcess(int processId) {
  DWORD id = processId < 0 ? GetCurrentProcessId() : static_cast<DWORD>(processId);
  HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, id);
  if (process == nullptr) return false;
  BOOL ended = TerminateProcess(process, 0);
  CloseHandle(process);
  return ended != FALSE;
}

void PostClose(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }
