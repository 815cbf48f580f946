// A mount made for one test and undone (lazily, so a process still inside cannot keep it) when
// the object goes away. Mounting needs root; without it the factory says why and gives nothing,
// and the test skips.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

class ScopedMount {
 public:
  // A tmpfs of `bytes` over the directory `directory`: a small disk that fills up.
  static std::unique_ptr<ScopedMount> SmallDisk(const std::string& directory, std::size_t bytes,
                                                std::string& why);
  // `path`, a file or a directory, bound over itself read-only: writes fail even for root.
  static std::unique_ptr<ScopedMount> ReadOnly(const std::string& path, std::string& why);
  ~ScopedMount();
  ScopedMount(const ScopedMount&) = delete;
  ScopedMount& operator=(const ScopedMount&) = delete;

 private:
  explicit ScopedMount(std::string target) : target_(std::move(target)) {}
  std::string target_;
};
