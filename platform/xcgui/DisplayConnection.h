// The display connection as the UI thread's event source: once a window is on the display, the
// thread sleeps until the connection has input (or a message or a timer is due) instead of
// polling for events every few milliseconds.
#pragma once

#include <SDL.h>

void SleepOnTheDisplay(SDL_Window* window);

// Device pixels per window pixel for a display of `dpi` dots per inch and this size in device
// pixels: whole steps of 96 dpi, rounded down unless within a quarter step of the next, and
// never so large that less than 1024 x 640 window pixels fit on the display.
int ScaleForDpi(int dpi, int displayWidth, int displayHeight);
// The scale of the first display: its Xft.dpi resource when the X server has one (what desktop
// settings write), else SDL's idea of the display's DPI. Needs SDL video.
int DisplayScale();
