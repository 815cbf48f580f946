// The display connection as the UI thread's event source: once a window is on the display, the
// thread sleeps until the connection has input (or a message or a timer is due) instead of
// polling for events every few milliseconds.
#pragma once

#include <SDL.h>

void SleepOnTheDisplay(SDL_Window* window);
