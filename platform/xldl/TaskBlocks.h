// The engine's own reading of the task-parameter block and writing of the task-information block.
// The offsets are fixed by the blocks' layouts; the launcher builds the same layouts field by
// field, and a test checks that both sides agree byte by byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace xldl {

constexpr std::size_t kParamBlockSize = 26564;
constexpr std::size_t kInfoBlockSize = 1429;

struct TaskParameters {
  std::string url;       // UTF-8
  std::string refUrl;    // UTF-8, may be empty
  std::string cookies;   // UTF-8, may be empty
  std::string fileName;  // UTF-8
  std::string savePath;  // POSIX directory, UTF-8, ends without a separator
  bool onlyOriginal = false;
  bool disableAutoRename = false;
  bool resume = true;
};

struct TaskProgress {
  int32_t stat = 0;
  int32_t failCode = 0;
  std::string fileName;  // UTF-8
  int64_t totalSize = 0;
  int64_t totalDownload = 0;
  float percent = 0;
  int32_t sourcesTotal = 0;
  int32_t sourcesUsing = 0;
  int32_t speed = 0;
  bool originUsable = false;
  int32_t creatingFile = 0;
  int32_t httpStatus = 0;  // last HTTP status seen; kept in the reserved slot nReserved1
};

TaskParameters ReadTaskParamBlock(const void* block);
void WriteTaskInfoBlock(void* block, const TaskProgress& progress);
// The other direction, for programs that drive the engine without the launcher's records.
std::vector<uint8_t> MakeTaskParamBlock(const TaskParameters& parameters);
TaskProgress ReadTaskInfoBlock(const void* block);

// A Windows-style path as the launcher writes it (backslashes, doubled separators) in POSIX form.
std::string NativePath(const std::string& path);

}  // namespace xldl
