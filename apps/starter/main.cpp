// /usr/bin/quillbay: starts the installed launcher for the user who runs it, from that user's
// own run directory (see UserRunDirectory), which is also its working directory.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "apps/starter/UserRunDirectory.h"

namespace fs = std::filesystem;

namespace {
// The package's files lie in ../lib/quillbay from this program, wherever the package was
// installed (/usr, or any prefix given to cmake --install).
fs::path PackageDirectory() {
  std::error_code failure;
  const fs::path self = fs::read_symlink("/proc/self/exe", failure);
  if (failure) return {};
  return self.parent_path().parent_path() / "lib" / "quillbay";
}
}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) {
    std::cerr << "用法：quillbay（办公小工具箱不需要参数）\n";
    return 2;
  }
  const fs::path user = UserRunDirectory::ForCurrentUser();
  if (user.empty()) {
    std::cerr << "办公小工具箱：找不到用户的主文件夹（HOME）\n";
    return 1;
  }
  UserRunDirectory directory(PackageDirectory(), user);
  std::string error;
  if (!directory.prepare(&error)) {
    std::cerr << "办公小工具箱：无法准备用户文件夹：" << error << "\n";
    return 1;
  }
  const fs::path launcher = directory.path() / "quillbay";
  if (::chdir(directory.path().c_str()) != 0) {
    std::cerr << "办公小工具箱：" << directory.path().string() << "：" << std::strerror(errno) << "\n";
    return 1;
  }
  char* arguments[] = {const_cast<char*>("quillbay"), nullptr};
  ::execv(launcher.c_str(), arguments);
  std::cerr << "办公小工具箱：无法启动 " << launcher.string() << "：" << std::strerror(errno) << "\n";
  return 1;
}
