// The main window: loads it, builds its navigation and panels, runs the toolkit's message loop.
#pragma once

// Returns when the toolkit's message loop has ended and the toolkit has been shut down.
void BuildMainWindow();
