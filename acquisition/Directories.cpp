#include "acquisition/Directories.h"

#include "platform/win32/Win32.h"

bool IsDirectory(const AnsiText& path) {
  return PathIsDirectoryA(path.c_str()) == FILE_ATTRIBUTE_DIRECTORY;
}

bool EnsureDirectory(const AnsiText& path) {
  AnsiText directory = path;
  if (directory.empty() || directory.back() != '\\') directory += '\\';
  return MakeSureDirectoryPathExists(directory.c_str()) != FALSE;
}
