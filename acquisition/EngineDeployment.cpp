#include "acquisition/EngineDeployment.h"

#include <memory>

#include "acquisition/DeployLog.h"
#include "acquisition/Directories.h"
#include "acquisition/EngineHome.h"
#include "acquisition/EngineLibrary.h"
#include "acquisition/ProcessLookup.h"
#include "acquisition/ZipUnpacker.h"
#include "platform/win32/Win32.h"
#include "platform/xldl/EnginePayload.h"
#include "shell/startup/Waits.h"

namespace {

const char* const kEngineProcesses[] = {"XLBugReport.exe", "MiniThunderPlatform.exe"};

struct HandleCloser {
  void operator()(void* handle) const { CloseHandle(handle); }
};

// A fresh file: whatever stood at that name (a link among them) is removed first, and the file is
// created new, so the archive can never be written through a planted link.
bool WriteArchive(const AnsiText& path) {
  DeleteFileA(path.c_str());
  HANDLE handle =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr) return false;
  std::unique_ptr<void, HandleCloser> file(handle);
  EnginePayload archive = EngineArchive();
  DWORD written = 0;
  return WriteFile(handle, archive.data, static_cast<DWORD>(archive.size), &written, nullptr) &&
         written == archive.size;
}

}  // namespace

AnsiText TempDir() {
  char buffer[MAX_PATH * 4] = {};
  DWORD length = GetTempPathA(sizeof buffer, buffer);
  return AnsiText(buffer, length < sizeof buffer ? length : 0);
}

AnsiText EngineDir() {
  const AnsiText home = EngineHome();
  return home.empty() ? AnsiText() : home + "downLoad\\";
}

AnsiText EngineWorkDir() {
  const AnsiText home = EngineHome();
  return home.empty() ? AnsiText() : home + "download\\";
}

bool DeployEngine(AnsiText* failure) {
  for (const char* name : kEngineProcesses) {
    // A process that ended between the two lookups gives no ID: -1 would name our own process.
    if (!ProcessRunning(name)) continue;
    if (const int id = FindProcessId(name); id > 0) KillProcess(id);
  }
  AnsiText why;
  if (EngineHome(&why).empty()) {
    if (failure) *failure = why;
    return false;
  }
  if (UnpackEngine() == 0) {
    if (failure) *failure = "下载引擎没能启动";
    return false;
  }
  if (!IsDirectory(EngineWorkDir()) && !EnsureDirectory(EngineWorkDir())) {
    DeployLog("创建程序工作目录失败", true);
    if (failure) *failure = "无法创建下载引擎的工作目录";
    return false;
  }
  return true;
}

int UnpackEngine() {
  AnsiText directory = EngineDir();
  if (directory.empty() || (!IsDirectory(directory) && !EnsureDirectory(directory))) {
    DeployLog("创建程序下载引擎目录失败", true);
    return 0;
  }
  AnsiText archive = directory + "tmp.zip";
  if (!WriteArchive(archive)) {
    DeployLog("释放程序下载引擎文件失败", true);
    return 0;
  }
  if (UnpackZip(archive, directory) != 1) {
    DeployLog("解压程序下载引擎文件失败", true);
    return 0;
  }
  if (!DeleteFileA(archive.c_str())) {
    DeployLog("清理程序下载引擎残留失败", true);
    return 0;
  }
  DeployLog("释放程序下载引擎文件完成", true);
  const EngineFunctions* engine = LoadEngineLibrary(directory);
  return engine ? engine->XL_Init() : 0;
}
