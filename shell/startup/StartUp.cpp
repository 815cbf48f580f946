#include "shell/startup/StartUp.h"

#include "catalogue/CatalogueQueries.h"
#include "net/WeatherReport.h"
#include "shell/SharedState.h"
#include "shell/main_window/MainWindow.h"
#include "shell/startup/RunDirectory.h"
#include "shell/startup/UiTextConversion.h"
#include "shell/startup/Waits.h"

int StartUp() {
  MessageBoxA(nullptr, "由于刚研发，功能只有视频压缩和OCR两个功能！", "信息：", MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
  OpenToolkitAndCatalogue();
  BuildMainWindow();
  return 0;
}

void OpenToolkitAndCatalogue() {
  XInitXCGUI(ToUiText("f").c_str());
  XC_LoadResource(ToUiText(RunDir() + "\\资源文件\\resource.res").c_str());
  TheCatalogDb().open(RunDir() + "\\CONFIG.db");
}

int OnMainWindowClose(HXCGUI, int, WPARAM, LPARAM, BOOL*) {
  ClockRunning = false;
  PumpingWait(1, 1);
  KillProcess();
  return 0;
}

void ExitCleanup() {
  TheCatalogDb().close();
  ReleaseWeatherState();
  ReleaseCatalogueState();
}
