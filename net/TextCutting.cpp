#include "net/TextCutting.h"

#include "net/AnsiTextSearch.h"

namespace {

// "#引号" spelled in code-page-936 bytes, so the text is the same whatever the compiler's
// execution character set (the fuzz build has none for code page 936).
const AnsiText kQuotePlaceholder = "#\xD2\xFD\xBA\xC5";

}  // namespace

AnsiText TextBetween(const AnsiText& text, AnsiText startMarker, AnsiText endMarker, int start,
                     bool ignoreCase) {
  startMarker = ReplaceText(startMarker, kQuotePlaceholder, "\"");
  endMarker = ReplaceText(endMarker, kQuotePlaceholder, "\"");
  int p = FindText(text, startMarker, start < 1 ? 1 : start, ignoreCase);
  if (p < 1) return {};
  p += static_cast<int>(startMarker.size());
  int q = FindText(text, endMarker, p, ignoreCase);
  if (q < 1) return {};
  return text.substr(p - 1, q - p);
}

AnsiText LeftOf(const AnsiText& text, const AnsiText& marker, int start, bool ignoreCase) {
  int found;
  if (start >= 0) {
    found = FindText(text, marker, start < 1 ? 1 : start, ignoreCase);
  } else {
    int m = start == -1 ? 0 : -start;
    found = FindTextBackward(text, marker, static_cast<int>(text.size()) - m + 1, ignoreCase);
  }
  if (found < 1) return {};
  return text.substr(0, found - 1);
}

AnsiText RightOf(const AnsiText& text, const AnsiText& marker, int start, bool ignoreCase) {
  int found;
  if (start >= 0)
    found = FindTextBackward(text, marker, static_cast<int>(text.size()) - start + 1, ignoreCase);
  else
    found = FindText(text, marker, -start, ignoreCase);
  if (found < 1) return {};
  return text.substr(found - 1 + marker.size());
}
