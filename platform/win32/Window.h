// Native window records: owner thread, procedure, parent and children, properties, screen
// rectangle. The procedures themselves always run outside the record lock.
#pragma once

#include "platform/win32/Win32.h"

// Calls the window's current procedure; 0 for a window that does not exist.
LRESULT CallCurrentWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The thread that made the window; false when the window does not exist.
bool WindowOwnerThread(HWND window, DWORD* thread);
