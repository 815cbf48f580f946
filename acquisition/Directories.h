// Directory tests and creation on Windows-style paths (code page 936, backslashes).
#pragma once

#include "shell/SharedTypes.h"

// True when the path names an existing directory.
bool IsDirectory(const AnsiText& path);
// Creates every missing directory along the path, which counts as a directory path whether or not
// it ends in a backslash.
bool EnsureDirectory(const AnsiText& path);
