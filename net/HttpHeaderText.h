// Header lines and the method numbers shared by the three request routines.
#pragma once

#include "shell/SharedTypes.h"

// 0 GET, 1 POST, 2 HEAD, 3 PUT, 4 OPTIONS, 5 DELETE, 6 TRACE, 7 CONNECT; any other number is GET.
AnsiText MethodText(int method);

// The name before the first ":" of a header line, blanks trimmed; empty without a colon.
AnsiText HeaderName(const AnsiText& line);
// The value after the first ":" of a header line, blanks trimmed; empty without a colon.
AnsiText HeaderValue(const AnsiText& line);

// Capitalises each dash-separated part of every header name ("x-requested-with" becomes
// "X-Requested-With"). Lines without a colon, empty ones included, are dropped.
AnsiText NormaliseHeaderCase(const AnsiText& headers);

// The value of the first "\r\n"-separated line that begins with `name` exactly (the text after
// name + ": "); empty when there is none.
AnsiText HeaderValueByName(const AnsiText& headers, const AnsiText& name);

// Header text with `line` appended after "\r\n" when `marker` is not found in it (case ignored).
void AppendHeaderIfMissing(AnsiText& headers, const AnsiText& marker, const AnsiText& line);
