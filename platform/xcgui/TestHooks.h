// Hooks for tests and benchmarks of the toolkit library: drawing a window into a PNG, reading
// its pixels, injecting input as the window system would, pumping messages, and looking at
// what lists built. Exported by the library but not part of the toolkit interface.
#pragma once

#include "platform/win32/Win32.h"
#include "shell/toolkit/xcgui.h"

extern "C" {

// Lays out and draws the window now and writes the frame as a PNG. FALSE on failure.
BOOL XTest_RenderToPng(HWINDOW window, const char* path);
// The drawn frame's pixel as 0xAARRGGBB (draws first when the window changed); 0 outside.
uint32_t XTest_ReadPixel(HWINDOW window, int x, int y);

// Input, posted to the window's HWND as the pump hook posts what SDL reports, so it passes
// through the window's current procedure. Coordinates are client pixels.
void XTest_MouseMove(HWINDOW window, int x, int y);
void XTest_MouseDown(HWINDOW window, int x, int y);
void XTest_MouseUp(HWINDOW window, int x, int y);
void XTest_Click(HWINDOW window, int x, int y);
void XTest_Wheel(HWINDOW window, int x, int y, int notches);
void XTest_MouseLeave(HWINDOW window);
void XTest_KeyDown(HWINDOW window, int virtualKey);
// One WM_CHAR per UTF-16 unit, as SDL text input produces.
void XTest_TypeText(HWINDOW window, const char16_t* text);
void XTest_Close(HWINDOW window);
// The input method's pre-edit text, as SDL reports it (empty: the composition ended).
void XTest_Compose(HWINDOW window, const char16_t* text, int cursor);

// Dispatches the calling thread's queued messages, `rounds` times over (each round also runs
// the pump hook, so paints and SDL events are handled). Stops early at WM_QUIT, which stays
// queued; returns FALSE then.
BOOL XTest_Pump(int rounds);

// Elements a list view holds for items right now.
int XTest_ListBuiltCount(HELE list);
void XTest_ListScrollTo(HELE list, int offset);
int XTest_ListScrollOffset(HELE list);
// The element's rectangle in client pixels.
BOOL XTest_GetRect(HXCGUI element, RECT* rect);
BOOL XTest_IsWindowShown(HWINDOW window);
int XTest_WindowAlpha(HWINDOW window);
// Draws what is pending and gives the bounds of what that drawing covered (client pixels; all
// zero when nothing needed drawing). FALSE for a bad handle.
BOOL XTest_PaintPending(HWINDOW window, RECT* painted);
// The element that has the keyboard focus in the window, or 0.
HELE XTest_Focused(HWINDOW window);
// Whether an element and all its ancestors are visible.
BOOL XTest_IsElementShown(HELE element);
// Items held by a list view's adapter (built or not).
int XTest_ListItemCount(HELE list);
BOOL XTest_ButtonChecked(HELE button);
// Resolves layout picture references against `directory` (UTF-8) instead of the executable's.
void XTest_SetRunDirectory(const char* directory);

}  // extern "C"
