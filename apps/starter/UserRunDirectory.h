// The run directory of one user of the installed package. The package's files lie read-only
// under /usr/lib/quillbay; each user runs the launcher from a folder of their own
// (${XDG_DATA_HOME:-$HOME/.local/share}/quillbay), made from the package's files at the first
// start and brought up to a changed package at the next one. Files the user owns there (the
// favourites in CONFIG.db, downloaded tools under Application/) survive every such step.
#pragma once

#include <filesystem>
#include <string>

class UserRunDirectory {
 public:
  UserRunDirectory(std::filesystem::path packageDirectory, std::filesystem::path userDirectory);

  // The user's folder from the environment: $XDG_DATA_HOME/quillbay when it is an absolute
  // path, else $HOME/.local/share/quillbay (HOME from the password database when unset).
  // Empty when neither can be found.
  static std::filesystem::path ForCurrentUser();

  // Makes the folder or brings it up to the package; holds a lock meanwhile, so two starts at
  // once do it one after the other. False with `error` set when the folder cannot be used.
  bool prepare(std::string* error);

  const std::filesystem::path& path() const { return user_; }

 private:
  // One line per package file: path, size, modification time. A package upgrade changes it.
  std::string packageListing() const;
  bool copyPackageFiles(std::string* error) const;

  std::filesystem::path package_;
  std::filesystem::path user_;
};
