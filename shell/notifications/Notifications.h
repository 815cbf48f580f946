// The notification window: opened beside the pointer by the notifications button, it fades and
// rises into place, and fades away and closes when the pointer leaves it.
#pragma once

#include "platform/win32/Win32.h"
#include "shell/toolkit/xcgui.h"

// The window opened last, 0 when none is open.
inline HWINDOW NotificationWindow = 0;
// 1 while a fade runs.
inline int NotificationAnimating = 0;

// Click on element 101. While a notification window is open a further click is ignored.
int OnNotificationsClicked(HXCGUI self, int event, WPARAM wParam, LPARAM lParam, BOOL* handled);
void OpenNotifications();
intptr_t FadeInNotifications(intptr_t unused);
intptr_t FadeOutNotifications(intptr_t unused);

// Alpha and vertical offset at step i of 45 of the fades.
int FadeInAlpha(int step);
int FadeInOffset(int step);
int FadeOutAlpha(int step);
int FadeOutOffset(int step);
// Top-left corner for a window of the given size opened for the pointer at `pointer`: 50 left of
// and 10 below it. Only a window that would stick out of the screen is moved, by the least that
// brings it back; when that would put it under the pointer, it goes to the nearest on-screen
// place just beside the pointer instead.
POINT NotificationPosition(POINT pointer, int width, int height, int screenWidth, int screenHeight);
