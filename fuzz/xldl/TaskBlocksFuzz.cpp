// The engine's reading of the blocks the launcher hands it. The input fills the task-parameter
// block (zeros past its end) and then, from its start, the task-information block. What the
// engine reads from a block must survive being written into a fresh block and read again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/xldl/TaskBlocks.h"

namespace {

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "task blocks fuzz: %s\n", what);
  std::abort();
}

bool Same(const xldl::TaskParameters& a, const xldl::TaskParameters& b) {
  return a.url == b.url && a.refUrl == b.refUrl && a.cookies == b.cookies && a.fileName == b.fileName &&
         a.savePath == b.savePath && a.onlyOriginal == b.onlyOriginal &&
         a.disableAutoRename == b.disableAutoRename && a.resume == b.resume;
}

bool Same(const xldl::TaskProgress& a, const xldl::TaskProgress& b) {
  return a.stat == b.stat && a.failCode == b.failCode && a.fileName == b.fileName &&
         a.totalSize == b.totalSize && a.totalDownload == b.totalDownload &&
         std::memcmp(&a.percent, &b.percent, sizeof a.percent) == 0 && a.sourcesTotal == b.sourcesTotal &&
         a.sourcesUsing == b.sourcesUsing && a.speed == b.speed && a.originUsable == b.originUsable &&
         a.creatingFile == b.creatingFile && a.httpStatus == b.httpStatus;
}

// Exactly `size` bytes (as the launcher's heap block is), so a read past it is caught.
std::vector<uint8_t> Block(const uint8_t* data, size_t given, size_t size) {
  std::vector<uint8_t> block(size, 0);
  std::memcpy(block.data(), data, std::min(given, size));
  return block;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> param = Block(data, size, xldl::kParamBlockSize);
  xldl::TaskParameters read = xldl::ReadTaskParamBlock(param.data());
  Require(Same(read, xldl::ReadTaskParamBlock(xldl::MakeTaskParamBlock(read).data())),
          "the parameters read back differently from a fresh block");
  xldl::NativePath(read.savePath + "\\" + read.fileName);

  std::vector<uint8_t> info = Block(data, size, xldl::kInfoBlockSize);
  xldl::TaskProgress progress = xldl::ReadTaskInfoBlock(info.data());
  std::vector<uint8_t> rewritten(xldl::kInfoBlockSize, 0);
  xldl::WriteTaskInfoBlock(rewritten.data(), progress);
  Require(Same(progress, xldl::ReadTaskInfoBlock(rewritten.data())),
          "the progress reads back differently from a fresh block");
  return 0;
}
