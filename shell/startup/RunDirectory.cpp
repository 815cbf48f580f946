#include "shell/startup/RunDirectory.h"

#include "platform/win32/Win32.h"

namespace {
AnsiText& Stored() {
  static AnsiText directory = [] {
    char buffer[4096] = {};
    DWORD length = GetModuleDirectoryA(buffer, sizeof buffer);
    return AnsiText(buffer, length < sizeof buffer ? length : 0);
  }();
  return directory;
}
}  // namespace

const AnsiText& RunDir() { return Stored(); }

void SetRunDirForTesting(const AnsiText& directory) { Stored() = directory; }
