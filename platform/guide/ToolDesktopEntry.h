// An installed tool offered to the desktop: a desktop entry (its card name, icon and the types
// of file it opens) in the user's applications folder, so a file manager lists it under "Open
// with" and starts it with the file. The entry is written beside the tool from the
// <slug>.desktop.in its archive carries, and the applications folder holds only a link to it:
// removing the user's run directory takes the tools' entries with it.
#pragma once

#include <filesystem>
#include <string>

class ToolDesktopEntry {
 public:
  // `launchFile` is the tool's <slug>.sh, `icon` a picture for it; both absolute.
  ToolDesktopEntry(std::filesystem::path launchFile, std::filesystem::path icon);

  // Only the installed package's run directory (the user's own, under their data folder) is
  // offered to the desktop; a build tree or a test's scratch directory leaves it alone.
  static bool IsUsersRunDirectory(const std::filesystem::path& runDirectory);

  // Writes the entry and links it; nothing when the tool carries no template. Running it again
  // changes nothing. False with `error` set when the entry cannot be written or linked.
  bool install(std::string* error) const;

  // The Exec value that starts `launchFile`, quoted for the desktop entry format.
  static std::string ExecCommand(const std::filesystem::path& launchFile);

 private:
  std::filesystem::path launch_;
  std::filesystem::path icon_;
};
