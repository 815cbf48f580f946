// Program text to toolkit text and back, through the toolkit's own conversions.
#pragma once

#include "shell/SharedTypes.h"

// UTF-16 form of a CP936 text, made with XC_AnsiToUnicode.
UiText ToUiText(const AnsiText& text);
// CP936 form of a UTF-16 text read back from the toolkit, made with XC_UnicodeToAnsi.
AnsiText FromUiText(const char16_t* text);
