#include "net/AnsiTextSearch.h"

#include <algorithm>

namespace {

// starts[i] is true when byte i begins a character; one extra entry marks the end of the text.
std::vector<bool> CharacterStarts(const AnsiText& text) {
  std::vector<bool> starts(text.size() + 1, false);
  size_t i = 0;
  while (i < text.size()) {
    starts[i] = true;
    i += (IsGbkLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
  }
  starts[text.size()] = true;
  return starts;
}

char FoldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool MatchesAt(const AnsiText& text, const std::vector<bool>& starts, size_t at, const AnsiText& marker,
               bool ignoreCase) {
  if (at + marker.size() > text.size() || !starts[at] || !starts[at + marker.size()]) return false;
  for (size_t k = 0; k < marker.size(); ++k) {
    char a = text[at + k];
    char b = marker[k];
    if (ignoreCase && starts[at + k] && starts[at + k + 1]) {
      a = FoldAscii(a);
      b = FoldAscii(b);
    }
    if (a != b) return false;
  }
  return true;
}

// 0-based index of the first match at or after `begin`, or npos.
size_t FindFrom(const AnsiText& text, const std::vector<bool>& starts, const AnsiText& marker, size_t begin,
                bool ignoreCase) {
  for (size_t at = begin; at + marker.size() <= text.size(); ++at) {
    if (MatchesAt(text, starts, at, marker, ignoreCase)) return at;
  }
  return AnsiText::npos;
}

}  // namespace

int FindText(const AnsiText& text, const AnsiText& marker, int from, bool ignoreCase) {
  size_t begin = from < 1 ? 0 : static_cast<size_t>(from) - 1;
  if (begin >= text.size()) return -1;
  if (marker.empty()) return static_cast<int>(begin) + 1;
  size_t found = FindFrom(text, CharacterStarts(text), marker, begin, ignoreCase);
  return found == AnsiText::npos ? -1 : static_cast<int>(found) + 1;
}

int FindTextBackward(const AnsiText& text, const AnsiText& marker, int from, bool ignoreCase) {
  if (from < 1 || text.empty() || marker.size() > text.size()) return -1;
  size_t last = std::min(static_cast<size_t>(from) - 1, text.size() - marker.size());
  if (marker.empty()) return static_cast<int>(std::min(static_cast<size_t>(from), text.size()));
  std::vector<bool> starts = CharacterStarts(text);
  for (size_t at = last + 1; at-- > 0;) {
    if (MatchesAt(text, starts, at, marker, ignoreCase)) return static_cast<int>(at) + 1;
  }
  return -1;
}

AnsiText ReplaceText(const AnsiText& text, const AnsiText& marker, const AnsiText& replacement,
                     bool ignoreCase) {
  if (marker.empty()) return text;
  std::vector<bool> starts = CharacterStarts(text);
  AnsiText result;
  size_t from = 0;
  for (size_t found; (found = FindFrom(text, starts, marker, from, ignoreCase)) != AnsiText::npos;) {
    result.append(text, from, found - from);
    result += replacement;
    from = found + marker.size();
  }
  result.append(text, from, AnsiText::npos);
  return result;
}

std::vector<AnsiText> SplitText(const AnsiText& text, const AnsiText& separator) {
  std::vector<AnsiText> pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) return {text};
  std::vector<bool> starts = CharacterStarts(text);
  size_t from = 0;
  for (size_t found; (found = FindFrom(text, starts, separator, from, false)) != AnsiText::npos;) {
    pieces.push_back(text.substr(from, found - from));
    from = found + separator.size();
  }
  if (from < text.size()) pieces.push_back(text.substr(from));
  return pieces;
}

AnsiText TrimBlanks(const AnsiText& text) {
  std::vector<bool> starts = CharacterStarts(text);
  auto fullWidthBlankAt = [&](size_t i) {
    return i + 1 < text.size() && starts[i] && static_cast<unsigned char>(text[i]) == 0xA1 &&
           static_cast<unsigned char>(text[i + 1]) == 0xA1;
  };
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end) {
    if (text[begin] == ' ')
      begin += 1;
    else if (begin + 2 <= end && fullWidthBlankAt(begin))
      begin += 2;
    else
      break;
  }
  while (end > begin) {
    if (text[end - 1] == ' ' && starts[end - 1])
      end -= 1;
    else if (end >= begin + 2 && fullWidthBlankAt(end - 2))
      end -= 2;
    else
      break;
  }
  return text.substr(begin, end - begin);
}

AnsiText AsciiLower(const AnsiText& text) {
  AnsiText result = text;
  std::vector<bool> starts = CharacterStarts(text);
  for (size_t i = 0; i < result.size(); ++i) {
    if (starts[i] && starts[i + 1]) result[i] = FoldAscii(result[i]);
  }
  return result;
}

AnsiText UpperFirst(const AnsiText& text) {
  AnsiText result = text;
  if (!result.empty() && result[0] >= 'a' && result[0] <= 'z')
    result[0] = static_cast<char>(result[0] - 'a' + 'A');
  return result;
}

bool StartsWith(const AnsiText& text, const AnsiText& prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(const AnsiText& text, const AnsiText& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}
