// Searching, replacing, splitting and trimming code-page-936 text.
//
// Positions are 1-based byte positions; -1 means "not found". A double-byte character is one
// unit: a marker never matches from the second byte of a character, a match never ends inside
// one, and case folding touches single-byte ASCII letters only.
#pragma once

#include <vector>

#include "shell/SharedTypes.h"

// True when `byte` opens a double-byte character of code page 936.
inline bool IsGbkLeadByte(unsigned char byte) {
  return byte >= 0x81 && byte <= 0xFE;
}

// First occurrence of `marker` starting at or after `from` (values below 1 count as 1). An
// empty marker is found at `from` when that lies inside the text.
int FindText(const AnsiText& text, const AnsiText& marker, int from = 1, bool ignoreCase = false);

// Occurrence of `marker` nearest to `from` that starts at or before it (a `from` past the end
// counts as the end, so the last occurrence is found).
int FindTextBackward(const AnsiText& text, const AnsiText& marker, int from, bool ignoreCase = false);

inline bool ContainsText(const AnsiText& text, const AnsiText& marker, bool ignoreCase = false) {
  return !marker.empty() && FindText(text, marker, 1, ignoreCase) > 0;
}

// Every occurrence of `marker` replaced, left to right, without rescanning replaced text.
AnsiText ReplaceText(const AnsiText& text, const AnsiText& marker, const AnsiText& replacement,
                     bool ignoreCase = false);

// Pieces between separators, empty ones included; an empty text gives none, and a text ending
// with the separator gives no final empty piece.
std::vector<AnsiText> SplitText(const AnsiText& text, const AnsiText& separator);

// Removes ASCII blanks and full-width blanks (A1 A1) at both ends; tabs and line breaks stay.
AnsiText TrimBlanks(const AnsiText& text);

// The text with single-byte ASCII letters lower-cased; double-byte characters unchanged.
AnsiText AsciiLower(const AnsiText& text);

// The text with its first character upper-cased when that is an ASCII letter.
AnsiText UpperFirst(const AnsiText& text);

bool StartsWith(const AnsiText& text, const AnsiText& prefix);
bool EndsWith(const AnsiText& text, const AnsiText& suffix);
