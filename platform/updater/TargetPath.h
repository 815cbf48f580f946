// Where a manifest path lands: a file strictly inside the run directory, or nothing. Refused:
// empty paths, absolute paths, drive letters, ".." segments, and paths that reach outside through
// a symbolic link.
#pragma once

#include <filesystem>
#include <optional>

#include "shell/SharedTypes.h"

class TargetPath {
 public:
  // `runDirectory` is a native path; `manifestPath` is the record's field 1 (CP936, backslashes).
  static std::optional<std::filesystem::path> resolve(const std::filesystem::path& runDirectory,
                                                      const AnsiText& manifestPath);
};
