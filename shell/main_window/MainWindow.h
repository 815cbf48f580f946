// The main window: system buttons, the navigation column with its seven entries, the seven
// panels, panel switching, the widening and narrowing of the column, re-padding on resize and
// the back control.
#pragma once

#include "shell/toolkit/xcgui.h"

// Loads and dresses the window and builds every panel (steps up to the first layout pass);
// used by BuildMainWindow and by tests that drive the window without its message loop.
void LoadMainWindow();
// LoadMainWindow, then shows the window and runs the toolkit's message loop until it ends.
void BuildMainWindow();

// Event handlers, exposed so tests can drive them.
int OnNavigationItemBuilt(HXCGUI tree, int event, WPARAM wParam, LPARAM lParam, BOOL* handled);
int OnNavigationHover(HXCGUI tree, int event, WPARAM wParam, LPARAM lParam, BOOL* handled);
int OnNavigationLeave(HXCGUI tree, int event, WPARAM wParam, LPARAM lParam, BOOL* handled);
int OnMainWindowSize(HXCGUI window, int event, WPARAM wParam, LPARAM lParam, BOOL* handled);
int OnBackClicked(HXCGUI element, int event, WPARAM wParam, LPARAM lParam, BOOL* handled);

// The navigation column's width at step i of 45 of a widening (true) or narrowing animation.
int NavigationWidthAt(int step, bool widening);
// The left padding offset d for a window whose right edge is at `right`.
int RepadOffset(int right);
