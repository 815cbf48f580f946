// Cookie texts: name=value items joined by "; ", without a final separator.
#pragma once

#include "shell/SharedTypes.h"

// The name=value part of every "Set-Cookie" line (name matched case-sensitively) of raw
// response headers; attributes after the first ";" are dropped.
AnsiText CollectSetCookies(const AnsiText& rawHeaders);

// Newer cookies first, then the older ones whose names the newer text lacks; items ending in
// "=deleted" and exact duplicates are removed. The result is also written into `older`.
AnsiText MergeCookies(AnsiText& older, const AnsiText& newer);
