// A temporary directory for one test, removed with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <string>

class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Makes the current directory `directory` until the object goes away.
class CurrentDirectoryChange {
 public:
  explicit CurrentDirectoryChange(const std::filesystem::path& directory);
  ~CurrentDirectoryChange();

 private:
  std::filesystem::path previous_;
};
