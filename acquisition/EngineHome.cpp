#include "acquisition/EngineHome.h"

#include <string>
#include <vector>

#include "acquisition/DeployLog.h"
#include "acquisition/EngineDeployment.h"
#include "platform/win32/Win32.h"

namespace {

const char* Reason(QbPrivateDirectoryResult result) {
  switch (result) {
    case kQbPrivateDirectoryNotMade:
      return "无法创建";
    case kQbPrivateDirectoryNotReal:
      return "是链接或不是文件夹";
    case kQbPrivateDirectoryNotOurs:
      return "属于其他用户";
    case kQbPrivateDirectoryOpen:
      return "其他用户可以访问";
    case kQbPrivateDirectoryNoExec:
      return "所在的文件系统不允许运行程序（noexec）";
    case kQbPrivateDirectoryOk:
      break;
  }
  return "";
}

std::vector<AnsiText> Candidates() {
  const AnsiText name = "quillbay-engine-" + std::to_string(QbCurrentUserId()) + "\\";
  std::vector<AnsiText> candidates;
  if (AnsiText runtime = QbRuntimeDirectory(); !runtime.empty()) candidates.push_back(runtime + name);
  candidates.push_back(TempDir() + name);
  if (AnsiText cache = QbUserCacheDirectory(); !cache.empty()) candidates.push_back(cache + name);
  return candidates;
}

}  // namespace

AnsiText EngineHome(AnsiText* why) {
  AnsiText refused;
  for (const AnsiText& candidate : Candidates()) {
    const QbPrivateDirectoryResult result = QbEnsurePrivateDirectory(candidate.c_str());
    if (result == kQbPrivateDirectoryOk) return candidate;
    const AnsiText line = "下载引擎目录 " + candidate + " " + Reason(result) + "，不使用";
    DeployLog(line, true);
    if (refused.empty()) refused = line;
  }
  if (why) *why = refused;
  return AnsiText();
}
