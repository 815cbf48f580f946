// Downloads one tool archive with the deployed engine, showing progress on the card.
#pragma once

#include "shell/SharedTypes.h"
#include "shell/main_window/CardLocation.h"

// How long the download may go without a single new byte before it is given up.
constexpr int kDownloadStallSeconds = 90;

// The progress image for a reported fraction: 20 + ⌊⌊percent⌋ ÷ 2.5⌋, 20 at 0 % to 60 at 100 %.
int ProgressImageNumber(float fraction);

// Creates and starts the task (resuming, no renaming), polls it once a second and shows the
// progress image on the card after each poll (SetCardFrame: on the card's element of the moment); shuts the
// engine down at the end. True only when the engine reports the file complete. On the engine's failure state,
// when no engine is loaded, or when no byte arrives for `stallSeconds`, the card goes back to image 1 and the
// result is false, so nothing partial is ever unpacked; `failure` (when given) then says why: the engine's
// failure code as XlFailCodeText tells it, a stall, or a missing engine.
bool RunDownload(const AnsiText& url, const AnsiText& fileName, const AnsiText& saveDirectory,
                 const CardLocation& card, int stallSeconds = kDownloadStallSeconds, AnsiText* failure = nullptr);
