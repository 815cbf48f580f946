#include "support/ScratchDirectory.h"

#include <cstdlib>
#include <stdexcept>

ScratchDirectory::ScratchDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qb-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a scratch directory");
  path_ = pattern;
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

CurrentDirectoryChange::CurrentDirectoryChange(const std::filesystem::path& directory)
    : previous_(std::filesystem::current_path()) {
  std::filesystem::current_path(directory);
}

CurrentDirectoryChange::~CurrentDirectoryChange() { std::filesystem::current_path(previous_); }
