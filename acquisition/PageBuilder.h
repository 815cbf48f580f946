// The page builder library Guide.dll beside the executable: builds a tool's page.
#pragma once

#include "shell/SharedTypes.h"
#include "shell/toolkit/xcgui.h"

// Calls Initialization_Main(name, host, window): the page element built inside `host` (with no
// host, the page gets a window of its own). 0 when the library or its function is missing or it
// built nothing.
HELE BuildToolPage(const AnsiText& name, HELE host, HWINDOW window);
