// Cutting a text at markers. Positions are 1-based bytes; a missing marker gives empty text.
#pragma once

#include "shell/SharedTypes.h"

// The text between the first `startMarker` found from `start` (0 counts as 1) and the next
// `endMarker` after it. In both markers "#引号" stands for a double quote.
AnsiText TextBetween(const AnsiText& text, AnsiText startMarker, AnsiText endMarker, int start = 0,
                     bool ignoreCase = false);

// The text before a marker. start >= 0: the first occurrence from `start`; start = -n: the
// occurrence nearest to position length - n + 1 searching backwards (-1 means the very end).
AnsiText LeftOf(const AnsiText& text, const AnsiText& marker, int start = 0, bool ignoreCase = false);

// The text after a marker. start = n >= 0: searching backwards from position length - n + 1, so
// the default takes the last occurrence; start = -n: the first occurrence from position n.
AnsiText RightOf(const AnsiText& text, const AnsiText& marker, int start = 0, bool ignoreCase = false);
