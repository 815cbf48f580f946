#include "acquisition/EngineDeployment.h"

#include <memory>

#include "acquisition/DeployLog.h"
#include "acquisition/Directories.h"
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

bool WriteArchive(const AnsiText& path) {
  HANDLE handle =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
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
  return TempDir() + "\\downLoad\\";
}

AnsiText EngineWorkDir() {
  return TempDir() + "download\\";
}

void DeployEngine() {
  for (const char* name : kEngineProcesses) {
    if (ProcessRunning(name)) KillProcess(FindProcessId(name));
  }
  if (UnpackEngine() != 0 && !IsDirectory(EngineWorkDir()) && !EnsureDirectory(EngineWorkDir()))
    DeployLog("创建程序工作目录失败", true);
}

int UnpackEngine() {
  AnsiText directory = EngineDir();
  if (!IsDirectory(directory) && !EnsureDirectory(directory)) {
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
