#include "shell/startup/StartUpFailure.h"

#include <cstdio>
#include <cstdlib>

#include "platform/win32/Win32.h"
#include "shell/startup/CodePageText.h"

void StopWithMessage(const AnsiText& message) {
  WriteDiagnosticLine(message);
  MessageBoxA(nullptr, message.c_str(), "错误", MB_OK | MB_ICONERROR | MB_TASKMODAL);
  // Worker threads may still be running: no exit handlers, and nothing is half-written by now.
  std::_Exit(1);
}
