#include "fault/ScopedMount.h"

#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

bool Root(std::string& why) {
  if (::geteuid() == 0) return true;
  why = "mounting needs root (running as uid " + std::to_string(::geteuid()) + ")";
  return false;
}

std::string Failure(const char* step, const std::string& target) {
  return std::string(step) + " " + target + " failed: " + std::strerror(errno);
}

}  // namespace

std::unique_ptr<ScopedMount> ScopedMount::SmallDisk(const std::string& directory, std::size_t bytes,
                                                    std::string& why) {
  if (!Root(why)) return nullptr;
  std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
  if (::mount("qb-fault", directory.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
    why = Failure("mounting a tmpfs on", directory);
    return nullptr;
  }
  return std::unique_ptr<ScopedMount>(new ScopedMount(directory));
}

std::unique_ptr<ScopedMount> ScopedMount::ReadOnly(const std::string& path, std::string& why) {
  if (!Root(why)) return nullptr;
  if (::mount(path.c_str(), path.c_str(), nullptr, MS_BIND, nullptr) != 0) {
    why = Failure("binding", path);
    return nullptr;
  }
  std::unique_ptr<ScopedMount> bound(new ScopedMount(path));
  if (::mount(nullptr, path.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
    why = Failure("making read-only", path);
    return nullptr;  // the bind is undone on the way out
  }
  return bound;
}

ScopedMount::~ScopedMount() {
  ::umount2(target_.c_str(), MNT_DETACH);
}
