// Program text (code page 936) to the UTF-16 the script components take, and back. Characters
// code page 936 lacks come back as "?"; bytes that form no character become U+FFFD.
#pragma once

#include <string_view>

#include "shell/SharedTypes.h"

std::u16string ToScriptText(std::string_view text);
AnsiText FromScriptText(std::u16string_view text);
