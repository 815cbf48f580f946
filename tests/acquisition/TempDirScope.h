// Points the system's temporary directory (TMPDIR) at a scratch directory for one test, with no
// runtime directory (XDG_RUNTIME_DIR), so that the engine's private directory is made there.
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
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR")) m_oldRuntime = runtime;
    ::unsetenv("XDG_RUNTIME_DIR");
  }
  ~TempDirScope() {
    if (m_hadOld)
      ::setenv("TMPDIR", m_old.c_str(), 1);
    else
      ::unsetenv("TMPDIR");
    if (!m_oldRuntime.empty()) ::setenv("XDG_RUNTIME_DIR", m_oldRuntime.c_str(), 1);
  }
  const ScratchDirectory& scratch() const { return m_dir; }
  std::string file(const std::string& name) const { return m_path + "/" + name; }

 private:
  ScratchDirectory m_dir;  // made before TMPDIR changes, under the real temporary directory
  std::string m_path, m_old, m_oldRuntime;
  bool m_hadOld = false;
};
