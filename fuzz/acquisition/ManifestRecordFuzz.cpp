// Reads the input as an update manifest the way the launcher and the updater do: records split
// at "#", each decoded with the key and split into fields. A record must survive being written
// out and read back, and a path the updater accepts must lie strictly inside the run directory.
// The input is also read as one decoded record, so the field rules are reached directly.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "acquisition/ManifestRecord.h"
#include "acquisition/UpdateCheck.h"
#include "platform/updater/TargetPath.h"
#include "platform/xldl/ScratchDirectory.h"

namespace {

namespace fs = std::filesystem;

// The key sentence in code-page-936 bytes, as the launcher's own build spells it.
const AnsiText kKey =
    "\xB4\xB0\xCD\xE2\xD3\xD6\xCF\xC2\xD0\xA1\xD3\xEA\xA3\xAC\xB5\xC6\xCF\xC2\xB6\xC1"
    "\xBE\xC9\xCA\xE9\xA3\xAC\xC3\xF7\xD4\xE7\xBB\xB9\xD2\xAA\xB8\xCF\xC2\xB7\xA1\xA3";

void Require(bool condition, const char* what, const AnsiText& content) {
  if (condition) return;
  std::fprintf(stderr, "manifest fuzz: %s for the record \"%s\"\n", what, content.c_str());
  std::abort();
}

void Exercise(const AnsiText& content, const fs::path& runDirectory) {
  std::optional<ManifestRecord> record = ManifestRecord::fromContent(content);
  if (!record) return;
  std::optional<uint64_t> size = record->size();
  AnsiText rewritten = ManifestRecord::makeContent(record->path(), record->md5(), record->downloadUrl(),
                                                   size.value_or(0), record->note());
  std::optional<ManifestRecord> again = ManifestRecord::fromContent(rewritten);
  Require(again && again->path() == record->path() && again->md5() == record->md5() &&
              again->downloadUrl() == record->downloadUrl() && again->size() == size.value_or(0) &&
              again->note() == record->note(),
          "a rewritten record reads back differently", content);
  if (rewritten.find('\0') == AnsiText::npos)
    Require(DecodeManifestRecord(EncodeManifestRecord(rewritten, kKey), kKey) == rewritten,
            "an encoded record decodes differently", content);

  if (std::optional<fs::path> target = TargetPath::resolve(runDirectory, record->path())) {
    const fs::path inside = fs::weakly_canonical(*target).lexically_normal();
    auto [left, right] =
        std::mismatch(inside.begin(), inside.end(), runDirectory.begin(), runDirectory.end());
    Require(right == runDirectory.end() && left != inside.end(), "an accepted path leaves the run directory",
            content);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ScratchDirectory scratch;
  static const fs::path runDirectory = fs::canonical(scratch.path());
  AnsiText text(reinterpret_cast<const char*>(data), size);
  for (const AnsiText& record : SplitText(text, '#'))
    Exercise(DecodeManifestRecord(record, kKey), runDirectory);
  Exercise(text, runDirectory);
  return 0;
}
