// The launcher's process entry: process-wide state, exit clean-up, the toolkit library file,
// then the start-up routine.
#include <cstdlib>

#include "catalogue/CatalogueQueries.h"
#include "shell/SharedState.h"
#include "shell/startup/StartUp.h"
#include "shell/startup/ToolkitLibrary.h"

int main() {
  TheCatalogDb();  // the process-wide state exists before anything else runs
  LoadedRecords();
  MainWindow = 0;
  ClockRunning = false;
  std::atexit(ExitCleanup);
  EnsureToolkitLibrary();
  return StartUp();
}
