// UpDater.exe: brings the files beside it in line with the update manifest it is given, then
// starts the launcher again. Its one argument is the manifest location, as the launcher's check
// passes it: a URL or the manifest text itself.
#include <iostream>

#include "platform/updater/Updater.h"
#include "platform/win32/Win32.h"
#include "shell/startup/RunDirectory.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "用法：UpDater.exe <更新清单的地址或清单文本>\n";
    return kUpdaterUsage;
  }
  Updater updater(QbNativePath(RunDir().c_str()), std::cout, std::cerr);
  return updater.run(argv[1]);
}
