#include "platform/guide/ToolDesktopEntry.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>
#include <thread>

extern char** environ;

namespace fs = std::filesystem;

namespace {

fs::path DataHome() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome != nullptr && dataHome[0] == '/') return dataHome;
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return fs::path(home) / ".local" / "share";
  return {};
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A string value of a desktop entry: backslashes and line breaks escaped.
std::string EscapeValue(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') out += "\\\\";
    else if (c == '\n') out += "\\n";
    else out += c;
  }
  return out;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// File managers read the applications folder's MIME cache; it is rebuilt in the background,
// and where the program is missing, desktops that read the entries themselves still see it.
void RefreshMimeCache(const fs::path& applications) {
  std::thread([applications] {
    std::string folder = applications.string();
    char* arguments[] = {const_cast<char*>("update-desktop-database"), const_cast<char*>("-q"), folder.data(),
                         nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, "update-desktop-database", nullptr, nullptr, arguments, environ) == 0) {
      int status = 0;
      waitpid(child, &status, 0);
    }
  }).detach();
}

}  // namespace

ToolDesktopEntry::ToolDesktopEntry(fs::path launchFile, fs::path icon)
    : launch_(std::move(launchFile)), icon_(std::move(icon)) {}

bool ToolDesktopEntry::IsUsersRunDirectory(const fs::path& runDirectory) {
  const fs::path dataHome = DataHome();
  if (dataHome.empty()) return false;
  std::error_code ignored;
  return fs::weakly_canonical(runDirectory, ignored) == fs::weakly_canonical(dataHome / "quillbay", ignored);
}

std::string ToolDesktopEntry::ExecCommand(const fs::path& launchFile) {
  // The argument in double quotes, with the four characters that are special there escaped;
  // then the whole value escaped as any string value, and % doubled (it starts field codes).
  std::string quoted = "\"";
  for (char c : launchFile.string()) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
  }
  quoted += '"';
  return Replace(EscapeValue("bash " + quoted), "%", "%%");
}

bool ToolDesktopEntry::install(std::string* error) const {
  const std::string slug = launch_.stem().string();
  const fs::path folder = launch_.parent_path();
  const std::string entryTemplate = ReadFile(folder / (slug + ".desktop.in"));
  if (entryTemplate.empty()) return true;
  const std::string name = "quillbay-" + slug + ".desktop";
  const fs::path entry = folder / name;
  const std::string content =
      Replace(Replace(entryTemplate, "@EXEC@", ExecCommand(launch_)), "@ICON@", EscapeValue(icon_.string()));
  if (ReadFile(entry) != content) {
    std::ofstream out(entry, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out.flush()) {
      *error = entry.string() + "：无法写入";
      return false;
    }
  }
  const fs::path applications = DataHome() / "applications";
  const fs::path link = applications / name;
  std::error_code failure;
  fs::create_directories(applications, failure);
  if (fs::is_symlink(fs::symlink_status(link, failure))) {
    if (fs::read_symlink(link, failure) == entry) return true;
    fs::remove(link, failure);
  } else if (fs::exists(fs::symlink_status(link, failure))) {
    return true;  // a file of the user's own under that name is theirs to keep
  }
  fs::create_symlink(entry, link, failure);
  if (failure) {
    *error = link.string() + "：" + failure.message();
    return false;
  }
  RefreshMimeCache(applications);
  return true;
}
