#include "shell/main_window/Animation.h"

#include "shell/startup/Waits.h"
#include "shell/toolkit/xcgui.h"

float EasedFraction(int step, int steps) {
  return XEase_Expo(static_cast<float>(step) / static_cast<float>(steps), 1);
}

void PumpingPause(int milliseconds) {
  if (milliseconds <= 0) return;
  const DWORD start = GetTickCount();
  for (;;) {
    ProcessPendingMessages();
    ProcessPendingMessages();
    if (GetTickCount() > start + static_cast<DWORD>(milliseconds)) return;
    ProcessPendingMessages();
    ProcessPendingMessages();
  }
}
