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
