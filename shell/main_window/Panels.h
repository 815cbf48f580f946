// The seven content panels of the main window and switching between them. The handles are
// process-wide: the builders store them, navigation, search and favourites switch them.
#pragma once

#include "shell/toolkit/xcgui.h"

enum class Panel { Home, Video, Image, Ocr, Search, Favourites, Effice, Count };

// The root element of a panel's layout, 0 until its builder has run.
HELE& PanelRoot(Panel panel);
// Shows `panel` and hides the six others.
void ShowOnlyPanel(Panel panel);
// The panel ShowOnlyPanel showed last (Home at start).
Panel ShownPanel();
// The main window's element with that layout ID (0 when there is none).
HELE MainElement(int id);
