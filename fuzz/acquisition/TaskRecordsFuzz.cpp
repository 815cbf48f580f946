// The two engine records as both sides see them. The input's first 1,429 bytes are what the
// engine left in the task-information block; the launcher's reading of it must agree with the
// engine's own, field by field. The rest gives the task-parameter texts (separated by 0xFF
// bytes) and flags; the engine must read back what the launcher laid out.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "FuzzInput.h"
#include "acquisition/TaskInfoRecord.h"
#include "acquisition/TaskParamRecord.h"
#include "platform/xldl/TaskBlocks.h"

namespace {

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "task records fuzz: %s\n", what);
  std::abort();
}

void CheckInformation(FuzzInput& input) {
  TaskInfoRecord info;
  if (!info.build()) return;
  std::string bytes = input.bytes(TaskInfoRecord::kSize);
  std::memcpy(info.address(), bytes.data(), bytes.size());
  xldl::TaskProgress engine = xldl::ReadTaskInfoBlock(info.address());
  float percent = info.fPercent();
  Require(info.stat() == engine.stat && info.fail_code() == engine.failCode &&
              info.nTotalSize() == engine.totalSize && info.nTotalDownload() == engine.totalDownload &&
              std::memcmp(&percent, &engine.percent, sizeof percent) == 0 &&
              info.nSrcTotal() == engine.sourcesTotal && info.nSrcUsing() == engine.sourcesUsing &&
              info.nSpeed() == engine.speed && info.bIsOriginUsable() == engine.originUsable &&
              info.IsCreatingFile() == engine.creatingFile,
          "the launcher reads the information block differently from the engine");
  info.szFilename();
  info.percentText();
  info.speedText();
  info.sizeText();
  info.sourcesText();
}

// Printable ASCII that fits its field with the terminating zero reads back unchanged.
bool ComesBackWhole(const AnsiText& text, std::size_t fieldSize) {
  return (text.size() + 1) * 2 <= fieldSize &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

void CheckParameters(FuzzInput& input) {
  uint8_t flags = input.byte();
  AnsiText url = input.until('\xFF'), ref = input.until('\xFF'), cookies = input.until('\xFF'),
           name = input.until('\xFF'), savePath = input.until('\xFF');
  TaskParamRecord param;
  if (!param.build(url, ref, cookies, name, savePath, flags & 1, flags & 2, flags & 4)) return;
  xldl::TaskParameters engine = xldl::ReadTaskParamBlock(param.address());
  Require(param.IsOnlyOriginal() == bool(flags & 1) && engine.onlyOriginal == bool(flags & 1) &&
              engine.disableAutoRename == bool(flags & 2) && engine.resume == bool(flags & 4),
          "a flag reads back differently");
  struct Text {
    AnsiText given, launcher;
    std::string engine, engineExpected;  // the engine takes the save path in POSIX form
    std::size_t fieldSize;
  };
  const Text texts[] = {{url, param.szTaskUrl(), engine.url, url, 4168},
                        {ref, param.szRefUrl(), engine.refUrl, ref, 4168},
                        {cookies, param.szCookies(), engine.cookies, cookies, 8192},
                        {name, param.szFilename(), engine.fileName, name, 520},
                        {savePath, param.szSavePath(), engine.savePath, xldl::NativePath(savePath), 520}};
  for (const Text& text : texts) {
    if (!ComesBackWhole(text.given, text.fieldSize)) continue;
    Require(text.launcher == text.given, "the launcher reads a text back differently");
    Require(text.engine == text.engineExpected, "the engine reads a text differently");
  }
  // A shorter text replaces a longer one whole.
  Require(param.setSzTaskUrl(ref) && (!ComesBackWhole(ref, 4168) || param.szTaskUrl() == ref),
          "a replaced text keeps a tail");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  CheckInformation(input);
  CheckParameters(input);
  return 0;
}
