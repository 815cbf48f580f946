// The launcher's whole run, from the process-wide state to the end of the main loop. The
// executable's entry calls only this, so a test build of the launcher runs the same program.
#pragma once

// Process-wide state, exit clean-up, the toolkit library file, then start-up; the exit code.
int RunLauncher();
