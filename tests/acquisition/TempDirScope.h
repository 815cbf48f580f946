// Points the system's temporary directory (TMPDIR) at a scratch directory for one test.
#pragma once

#include <cstdlib>
#include <string>

#include "platform/xldl/ScratchDirectory.h"

class TempDirScope {
 public:
  TempDirScope() : TempDirScope(std::string()) {}
  // `subPath` below the scratch directory may name something that cannot be a directory.
  explicit TempDirScope(const std::string& subPath) {
    const char* old = std::getenv("TMPDIR");
    m_old = old ? old : "";
    m_hadOld = old != nullptr;
    m_path = subPath.empty() ? m_dir.path() : m_dir.file(subPath);
    ::setenv("TMPDIR", m_path.c_str(), 1);
  }
  ~TempDirScope() {
    if (m_hadOld)
      ::setenv("TMPDIR", m_old.c_str(), 1);
    else
      ::unsetenv("TMPDIR");
  }
  const ScratchDirectory& scratch() const { return m_dir; }
  std::string file(const std::string& name) const { return m_path + "/" + name; }

 private:
  ScratchDirectory m_dir;  // made before TMPDIR changes, under the real temporary directory
  std::string m_path, m_old;
  bool m_hadOld = false;
};
