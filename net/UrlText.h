// The parts of an absolute URL that the WinINet routine connects with.
#pragma once

#include "shell/SharedTypes.h"

// The host name in lower case, without a port. A URL without a scheme counts as http.
AnsiText UrlHost(const AnsiText& url);
// The explicit port, else 443 for a URL beginning with "https" (any letter case), else 80.
int UrlPort(const AnsiText& url);
// Everything from the first "/" after the host, letter case and query kept; "/" when there is
// no path, followed by the query when the URL has one.
AnsiText UrlPath(const AnsiText& url);
