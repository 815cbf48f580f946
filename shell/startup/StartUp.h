// The two ends of the program's life.
#pragma once

#include "shell/toolkit/xcgui.h"

// Notice, toolkit, resource file, catalogue, main window; returns 0 when the main loop ends.
int StartUp();
// The toolkit, its resource file and the catalogue of the run directory, as start-up opens them.
void OpenToolkitAndCatalogue();
// The main window's close handler: stops the clock, keeps the window up for a second while
// messages flow, then ends the process with exit code 0.
int OnMainWindowClose(HXCGUI self, int event, WPARAM wParam, LPARAM lParam, BOOL* handled);
// Runs at normal process exit: closes the catalogue first, then releases the other state.
void ExitCleanup();
