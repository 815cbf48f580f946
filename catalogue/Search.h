// The collapsible search box and the search by name into the search-results panel.
#pragma once

#include "shell/SharedTypes.h"
#include "shell/toolkit/xcgui.h"

// 1 once the box's opening animation has finished, 0 once its closing one has.
inline int SearchBoxExpanded = 0;

// The search action: binds Enter, searches for the edit's text (when any) and opens the box.
void RunSearch();
// Fills the search-results panel with the rows whose name holds `text` and shows it.
void ShowSearchResults(const AnsiText& text);
// Click on the search button (element 100).
int OnSearchButtonClicked(HXCGUI self, int event, WPARAM wParam, LPARAM lParam, BOOL* handled);
// Event 182 on the search edit (element 35): an emptied edit starts the box animation.
int OnSearchTextChanged(HXCGUI self, int event, WPARAM wParam, LPARAM lParam, BOOL* handled);
// Opens the box if closed, waits five seconds, closes it if the edit is still empty.
intptr_t AnimateSearchBox(intptr_t unused);
// The search edit's text as program text.
AnsiText ReadSearchText();

// Alpha and width of the box at animation step i of 35, opening and closing.
int SearchBoxAlpha(int step, bool opening);
int SearchBoxWidth(int step, bool opening);
