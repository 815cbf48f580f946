// A per-process scratch directory for the ZIP fuzz targets: the archive to unpack and a fresh
// target folder, unpacked into under a WriteGuard so that any write outside the target aborts.
#pragma once

#include <string>

#include "platform/xldl/ScratchDirectory.h"

class UnpackScratch {
 public:
  std::string archivePath() const { return m_dir.file("archive.zip"); }
  // UnpackZip's result for the archive at archivePath(); the target folder is gone afterwards.
  int unpack();

 private:
  ScratchDirectory m_dir;
};
