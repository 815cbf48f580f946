// Running processes by executable file name, from a process snapshot. Names compare without
// regard to letter case unless `caseSensitive` is set; the first match in the snapshot wins.
#pragma once

#include "shell/SharedTypes.h"

bool ProcessRunning(const AnsiText& name, bool caseSensitive = false);
// The id of the first process with that name; -1 when none or when no snapshot can be taken.
int FindProcessId(const AnsiText& name, bool caseSensitive = false);
