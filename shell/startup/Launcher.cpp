#include "shell/startup/Launcher.h"

#include <cstdlib>

#include "catalogue/CatalogueQueries.h"
#include "shell/SharedState.h"
#include "shell/startup/StartUp.h"
#include "shell/startup/ToolkitLibrary.h"

int RunLauncher() {
  TheCatalogDb();  // the process-wide state exists before anything else runs
  LoadedRecords();
  MainWindow = 0;
  ClockRunning = false;
  std::atexit(ExitCleanup);
  EnsureToolkitLibrary();
  return StartUp();
}
