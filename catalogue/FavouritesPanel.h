// The favourites panel: every tool marked as a favourite, rebuilt from the catalogue each time
// it opens.
#pragma once

#include "shell/toolkit/xcgui.h"

void RefillFavourites();
void OpenFavourites();
// Click on the favourites button (element 37).
int OnFavouritesClicked(HXCGUI self, int event, WPARAM wParam, LPARAM lParam, BOOL* handled);
