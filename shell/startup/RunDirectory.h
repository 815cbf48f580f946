// The directory of the executable, as CP936 text without a final separator. Every layout,
// image, data and tool path is RunDir() + a relative path that begins with a backslash.
#pragma once

#include "shell/SharedTypes.h"

const AnsiText& RunDir();

// Tests run the system's code against a scratch run directory.
void SetRunDirForTesting(const AnsiText& directory);
