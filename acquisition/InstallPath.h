// Where a tool may be installed. A reinstall replaces what the archive names inside its install
// directory, so that directory must be the tool's own: never the run directory, never one of
// its top-level product folders (Application, 布局文件, 资源文件), never a folder that holds
// another catalogue row's install directory, never a path that climbs out with "..".
#pragma once

#include <vector>

#include "shell/SharedTypes.h"

// `installDir` is relative to RunDir (backslashes or slashes); `catalogueDirs` are every row's.
// Empty when the directory may be used; otherwise why not, for the user.
AnsiText InstallPathProblem(const AnsiText& installDir, const std::vector<AnsiText>& catalogueDirs);
