// Shows one of the numbered indicator images on a card's activation element.
#pragma once

#include "shell/SharedTypes.h"
#include "shell/toolkit/xcgui.h"

// RunDir + "\资源文件\download\Download_" + n + ".png".
AnsiText CardFrameImagePath(int n);
// Clears the element's background, loads image n stretched, adds it and (unless told not to)
// redraws the element. The toolkit calls run on the UI thread (handed over with
// XC_CallUiThread), so any thread may call this; it returns once the frame is set.
void SetCardFrame(HELE element, int n, bool redraw = true);
