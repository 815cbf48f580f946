// Shows one of the numbered indicator images on a card's activation element.
#pragma once

#include "shell/SharedTypes.h"
#include "shell/main_window/CardLocation.h"

// RunDir + "\资源文件\download\Download_" + n + ".png".
AnsiText CardFrameImagePath(int n);
// On the card's activation element (template element 10) as the list holds it at this moment:
// clears its background, loads image n stretched, adds it and (unless told not to) redraws it.
// A card out of view has no element and gets nothing. The toolkit calls run on the UI thread
// (handed over with XC_CallUiThread), so any thread may call this; it returns once the frame is set.
void SetCardFrame(const CardLocation& card, int n, bool redraw = true);
