// The first byte chooses the options; the rest is the expression, a zero byte, then the subject
// (code page 936). Every match and group is read with its position, and the subject replaced.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "scripting/RegexMatcher.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  uint8_t flags = data[0];
  AnsiText rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  size_t split = rest.find('\0');
  AnsiText expression = rest.substr(0, split);
  AnsiText subject = split == AnsiText::npos ? AnsiText() : rest.substr(split + 1);

  RegexMatcher matcher;
  if (!matcher.create(expression, subject, flags & 1, flags & 2, flags & 4, flags & 8)) return 0;
  int matches = matcher.matchCount();
  for (int i = 1; i <= matches + 1 && i <= 64; ++i) {
    int position = 0;
    matcher.matchText(i, &position);
    if (position > static_cast<int>(subject.size())) __builtin_trap();
    for (int group = 1; group <= matcher.subMatchCount() + 1 && group <= 16; ++group) {
      matcher.subMatchText(i, group, &position);
      if (position > static_cast<int>(subject.size())) __builtin_trap();
    }
  }
  matcher.replace(expression);
  matcher.replace("[$&|$1|$`|$'|$$|$99]");
  RegexMatcher copy(matcher);
  copy.pattern();
  return 0;
}
