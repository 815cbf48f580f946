// The launcher's own update check: once per start, on a thread of its own, so that fetching the
// manifest and reading every listed file never holds up the window. A difference is shown on
// the UI thread, over the main window; then the updater starts and the launcher ends.
#pragma once

void StartUpdateCheck();
