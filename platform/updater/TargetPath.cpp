#include "platform/updater/TargetPath.h"

#include <algorithm>
#include <system_error>

#include "platform/win32/Win32.h"

namespace fs = std::filesystem;

namespace {

bool IsPlainRelative(const fs::path& relative) {
  if (relative.empty() || relative.is_absolute() || relative.has_root_name() ||
      relative.has_root_directory()) {
    return false;
  }
  for (const fs::path& part : relative) {
    const std::string name = part.string();
    if (name.empty() || name == "." || name == ".." || name.find(':') != std::string::npos) return false;
  }
  return true;
}

bool IsStrictlyInside(const fs::path& path, const fs::path& directory) {
  auto [pathEnd, directoryEnd] = std::mismatch(path.begin(), path.end(), directory.begin(), directory.end());
  return directoryEnd == directory.end() && pathEnd != path.end();
}

}  // namespace

std::optional<fs::path> TargetPath::resolve(const fs::path& runDirectory, const AnsiText& manifestPath) {
  // A leading separator would make the native form absolute, which the checks below refuse.
  const fs::path relative(QbNativePath(manifestPath.c_str()));
  if (!IsPlainRelative(relative)) return std::nullopt;
  std::error_code error;
  const fs::path base = fs::canonical(runDirectory, error);
  if (error) return std::nullopt;
  const fs::path target = fs::weakly_canonical(base / relative, error);
  if (error || !IsStrictlyInside(target, base)) return std::nullopt;
  // A dangling link is left unresolved above; where it points must be inside as well.
  if (fs::is_symlink(fs::symlink_status(base / relative, error))) {
    const fs::path pointed = (base / relative).parent_path() / fs::read_symlink(base / relative, error);
    if (error || !IsStrictlyInside(fs::weakly_canonical(pointed.lexically_normal(), error), base) || error) {
      return std::nullopt;
    }
  }
  return base / relative;
}
