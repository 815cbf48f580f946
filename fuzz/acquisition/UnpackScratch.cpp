#include "UnpackScratch.h"

#include <filesystem>

#include "WriteGuard.h"
#include "acquisition/ZipUnpacker.h"

int UnpackScratch::unpack() {
  const std::string target = m_dir.file("out");
  std::filesystem::create_directories(target);
  int result;
  {
    WriteGuard guard(target);
    result = UnpackZip(archivePath(), target);
  }
  std::filesystem::remove_all(target);
  return result;
}
