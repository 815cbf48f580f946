// Waits that keep the calling thread's window messages flowing, and process helpers.
#pragma once

#include "platform/win32/Win32.h"

// Dispatches every message already queued for the calling thread. Returns when the queue is
// empty or the next message is WM_QUIT, which stays queued.
void ProcessPendingMessages();

// Waits `interval` units while processing the calling thread's messages; always true.
// Units: 0 ms, 1 s, 2 min, 3 h; any other value is itself the number of milliseconds per unit.
bool PumpingWait(int interval, int unit);

// Terminates a process with exit code 0 (the calling process when no id is given). False when
// the process cannot be opened, else whether termination reported success.
bool KillProcess(int processId = -1);

// Posts WM_CLOSE to the window.
void PostClose(HWND window);
