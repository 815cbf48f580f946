// Task states and failure codes the engine reports in the task-information block. These numbers
// are part of the engine's interface: new values may be added, none is ever renumbered.
#pragma once

#include <stdint.h>

// `stat`
enum XlTaskState : int32_t {
  kTaskCreated = 0,      // created, not started
  kTaskConnecting = 1,   // asking the server for the file
  kTaskDownloading = 2,  // bytes are flowing (also what a fresh information block holds)
  kTaskStopped = 3,      // stopped by XL_UnInit before the end; a later task resumes it
  kTaskComplete = 4,     // the whole file is on disk under its final name, synced
  kTaskFailed = 5,       // ended without the file; `fail_code` says why
};

// `fail_code`, meaningful when `stat` is kTaskFailed (0 otherwise).
enum XlFailCode : int32_t {
  kFailNone = 0,
  kFailBadParameters = 1,  // the URL, file name or save path is unusable
  kFailFileIo = 2,         // the file or its state could not be created, written or synced
  kFailHttpStatus = 3,     // the server answered with an error page (4xx, 5xx after retries)
  kFailRangeRefused = 4,   // the server answered 416 to a range the file should have
  kFailShortBody = 5,      // the body kept ending before its announced length
  kFailLengthChanged = 6,  // the server's length or range disagrees with the file's
  kFailNetwork = 7,        // connections kept failing (refused, reset, timed out)
  kFailTooManyRedirects = 8,
  kFailTls = 9,  // the secure connection could not be set up or verified
  kFailErrorPage = 10,      // the answer was an HTML page, not the file (a 200 error page)
  kFailSourceChanged = 11,  // the file changed on the server during the download, twice
};

// What a failure code means, in a sentence (UTF-8), as the engine's callers tell it: every code
// above has one, and one that a newer engine might add reads as unknown.
inline const char* XlFailCodeText(int32_t code) {
  switch (code) {
    case kFailNone: return "没有错误";
    case kFailBadParameters: return "下载地址、文件名或保存位置不可用";
    case kFailFileIo: return "无法创建或写入下载的文件";
    case kFailHttpStatus: return "服务器返回了错误（4xx/5xx）";
    case kFailRangeRefused: return "服务器拒绝了续传的范围（416）";
    case kFailShortBody: return "服务器发送的数据总是不完整";
    case kFailLengthChanged: return "服务器上文件的长度与已下载的不一致";
    case kFailNetwork: return "网络连接一再失败（被拒绝、中断或超时）";
    case kFailTooManyRedirects: return "重定向次数过多";
    case kFailTls: return "无法建立或验证安全连接";
    case kFailErrorPage: return "服务器返回的是网页而不是文件";
    case kFailSourceChanged: return "下载期间服务器上的文件一再改变";
  }
  return "未知的下载错误";
}
