// The home panel: its two sample trees, the clock (time and date with weekday, once a second on
// a thread of its own) and the start of the one-time weather refresh.
#pragma once

#include <ctime>

#include "shell/SharedTypes.h"
#include "shell/toolkit/xcgui.h"

struct ClockTexts {
  AnsiText time;  // "H:M.S", no leading zeros: 9:5.7
  AnsiText date;  // "Y年M月D日  星期X"
};

// Loads the panel into the content host (hidden), sets up its trees, starts the clock thread
// and the weather thread; returns the panel's root element.
HELE BuildHomePanel();
// The clock thread: updates the texts once a second until ClockRunning is cleared.
void ClockLoop();
// Both texts from one reading of the date and time, so they always agree with each other.
ClockTexts FormatClock(const std::tm& moment);
