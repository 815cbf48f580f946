#include "shell/main_window/MainWindow.h"

#include "shell/SharedState.h"
#include "shell/startup/RunDirectory.h"
#include "shell/startup/StartUp.h"
#include "shell/startup/UiTextConversion.h"

void BuildMainWindow() {
  MainWindow = XC_LoadLayout(ToUiText(RunDir() + "\\布局文件\\main.xml").c_str(), 0);
  XWnd_RegEventC(MainWindow, XWM_CLOSE, OnMainWindowClose);
  XWnd_AdjustLayout(MainWindow);
  XWnd_ShowWindow(MainWindow, 5);
  XRunXCGUI();
  XExitXCGUI();
}
