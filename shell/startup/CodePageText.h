// UTF-8 at the edges (SQLite, the web) and the program's CP936 text, through the system's
// code-page functions.
#pragma once

#include <string>
#include <string_view>

#include "shell/SharedTypes.h"

std::string AnsiToUtf8(std::string_view text);
AnsiText Utf8ToAnsiText(std::string_view utf8);
