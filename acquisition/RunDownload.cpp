#include "acquisition/RunDownload.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "acquisition/CardFrame.h"
#include "acquisition/EngineLibrary.h"
#include "acquisition/TaskInfoRecord.h"
#include "acquisition/TaskParamRecord.h"
#include "platform/win32/Win32.h"
#include "platform/xldl/EngineStatus.h"
#include "shell/startup/CodePageText.h"

int ProgressImageNumber(float fraction) {
  TaskInfoRecord info;
  info.build();
  info.setFPercent(fraction);
  // The whole-number part of the percentage as the text shows it.
  int percent = std::atoi(info.percentText().c_str());
  // An out-of-range report never picks an image outside the progress range.
  return std::clamp(20 + static_cast<int>(percent / 2.5), 20, 60);
}

bool RunDownload(const AnsiText& url, const AnsiText& fileName, const AnsiText& saveDirectory,
                 const CardLocation& card, int stallSeconds, AnsiText* failure) {
  AnsiText reason;
  const EngineFunctions* engine = CurrentEngine();
  if (!engine) {
    SetCardFrame(card, 1);
    if (failure) *failure = "下载组件没有加载";
    return false;
  }
  TaskParamRecord parameters;
  parameters.build(url, "", "", fileName, saveDirectory, false, true, true);
  XL_TASK task = engine->XL_CreateTask(parameters.address());
  if (task) engine->XL_StartTask(task);
  TaskInfoRecord info;
  info.build();

  bool complete = false;
  std::int64_t lastBytes = -1;
  DWORD lastProgress = GetTickCount();
  while (task) {
    engine->XL_QueryTaskInfoEx(task, info.address());
    SetCardFrame(card, ProgressImageNumber(info.fPercent()));
    if (info.stat() == kTaskComplete) {
      complete = true;
      break;
    }
    if (info.stat() == kTaskFailed) {
      reason = Utf8ToAnsiText(XlFailCodeText(info.fail_code())) + "（错误码 " + std::to_string(info.fail_code()) + "）";
      break;
    }
    if (info.nTotalDownload() != lastBytes) {
      lastBytes = info.nTotalDownload();
      lastProgress = GetTickCount();
    } else if (GetTickCount() - lastProgress >= static_cast<DWORD>(stallSeconds) * 1000u) {
      reason = std::to_string(stallSeconds) + " 秒没有收到任何数据";
      break;
    }
    Sleep(1000);
  }
  if (!task) reason = "下载任务没能创建";
  engine->XL_UnInit();
  if (!complete) SetCardFrame(card, 1);
  if (!complete && failure) *failure = reason;
  return complete;
}
