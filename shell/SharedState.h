// Process-wide state shared by the subsystems. Plain values, touched on the UI thread except
// ClockRunning, which the clock thread reads once a cycle.
#pragma once

#include <atomic>

#include "shell/toolkit/xcgui.h"

// The main window's toolkit handle, 0 until it is loaded.
inline HWINDOW MainWindow = 0;
// 1..7, the navigation entry chosen last.
inline int CurrentNavIndex = 1;
// 1 while the navigation column is wide (cards 320 x 120), 0 while narrow (370 x 160).
inline int NavigationExpanded = 1;
// The card-list element of the catalogue panel being shown, 0 at start.
inline HELE CurrentCardList = 0;
// Set by the clock when it starts; cleared at close so the clock loop ends.
inline std::atomic<bool> ClockRunning{false};
