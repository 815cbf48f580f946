// Downloads one URL with the engine through its C interface, as the launcher does. It asks for
// the task's state every 2 ms, so that a benchmark measures the engine rather than a poll
// interval, and prints progress every 100 ms. Used by the benchmark and by the resume test
// (which kills it mid-download).
//   xldl_get URL DIRECTORY NAME [--quiet]
// Exit status: 0 when the task completed, 2 when it failed (stat and fail_code are printed).
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "platform/xldl/EngineStatus.h"
#include "platform/xldl/TaskBlocks.h"
#include "platform/xldl/XlDownload.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s URL DIRECTORY NAME [--quiet]\n", argv[0]);
    return 64;
  }
  bool quiet = argc > 4 && std::strcmp(argv[4], "--quiet") == 0;
  xldl::TaskParameters parameters;
  parameters.url = argv[1];
  parameters.savePath = argv[2];
  parameters.fileName = argv[3];
  parameters.disableAutoRename = true;
  auto paramBlock = xldl::MakeTaskParamBlock(parameters);
  std::vector<uint8_t> infoBlock(xldl::kInfoBlockSize, 0);
  if (!XL_Init()) return 3;
  XL_TASK task = XL_CreateTask(paramBlock.data());
  XL_StartTask(task);
  xldl::TaskProgress progress;
  int polls = 0;
  do {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    XL_QueryTaskInfoEx(task, infoBlock.data());
    progress = xldl::ReadTaskInfoBlock(infoBlock.data());
    if (!quiet && ++polls % 50 == 0)
      std::printf("stat=%d downloaded=%lld total=%lld percent=%.4f speed=%d sources=%d/%d\n", progress.stat,
                  static_cast<long long>(progress.totalDownload), static_cast<long long>(progress.totalSize),
                  progress.percent, progress.speed, progress.sourcesUsing, progress.sourcesTotal);
    std::fflush(stdout);
  } while (progress.stat != kTaskComplete && progress.stat != kTaskFailed);
  XL_UnInit();
  if (progress.stat == kTaskFailed) {
    std::fprintf(stderr, "failed: stat=%d fail_code=%d http=%d\n", progress.stat, progress.failCode,
                 progress.httpStatus);
    return 2;
  }
  return 0;
}
