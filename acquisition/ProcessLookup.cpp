#include "acquisition/ProcessLookup.h"

#include <memory>

#include "platform/win32/Win32.h"

namespace {

struct SnapshotCloser {
  void operator()(void* handle) const { CloseHandle(handle); }
};
using Snapshot = std::unique_ptr<void, SnapshotCloser>;

// The first snapshot entry whose file name equals `name`; false when none matches.
bool FindFirst(DWORD flags, const AnsiText& name, bool caseSensitive, PROCESSENTRY32& found) {
  HANDLE handle = CreateToolhelp32Snapshot(flags, 0);
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr) return false;
  Snapshot snapshot(handle);
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(handle, &entry); more; more = Process32Next(handle, &entry)) {
    int difference =
        caseSensitive ? lstrcmpA(entry.szExeFile, name.c_str()) : lstrcmpiA(entry.szExeFile, name.c_str());
    if (difference == 0) {
      found = entry;
      return true;
    }
  }
  return false;
}

}  // namespace

bool ProcessRunning(const AnsiText& name, bool caseSensitive) {
  PROCESSENTRY32 entry{};
  return FindFirst(TH32CS_SNAPALL, name, caseSensitive, entry);
}

int FindProcessId(const AnsiText& name, bool caseSensitive) {
  PROCESSENTRY32 entry{};
  return FindFirst(TH32CS_SNAPPROCESS, name, caseSensitive, entry) ? static_cast<int>(entry.th32ProcessID)
                                                                   : -1;
}
