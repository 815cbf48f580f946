// One tool's page: cover, name, version, a line about the tool, and a button that starts the
// tool's launch file, saying plainly when it cannot.
#pragma once

#include <string>

#include "platform/guide/CatalogueEntry.h"
#include "shell/toolkit/xcgui.h"

class ToolPage {
 public:
  // Builds the page inside `host` (with host 0, in a window of its own). `runDirectory` is
  // UTF-8. Returns the page element (the window for host 0); 0 when the layout cannot be loaded.
  static HXCGUI build(const std::string& runDirectory, const std::string& toolName, HELE host);

 private:
  static int OnLaunchClicked(HXCGUI button, int event, WPARAM wParam, LPARAM lParam, BOOL* handled);
};
