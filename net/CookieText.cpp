#include "net/CookieText.h"

#include <algorithm>
#include <vector>

#include "net/AnsiTextSearch.h"
#include "net/TextCutting.h"

AnsiText CollectSetCookies(const AnsiText& rawHeaders) {
  AnsiText collected;
  for (const AnsiText& line : SplitText(rawHeaders, "\r\n")) {
    if (LeftOf(line, ": ") != "Set-Cookie") continue;
    if (ContainsText(line, ";"))
      collected += TrimBlanks(TextBetween(line, "Set-Cookie:", ";"));
    else
      collected += TrimBlanks(ReplaceText(line, "Set-Cookie:", "", true));
    collected += "; ";
  }
  if (EndsWith(collected, "; ")) collected.resize(collected.size() - 2);
  return collected;
}

namespace {

std::vector<AnsiText> CookieItems(const AnsiText& cookies) {
  AnsiText trimmed = TrimBlanks(cookies);
  if (EndsWith(trimmed, ";")) trimmed += " ";
  return SplitText(trimmed, "; ");
}

AnsiText CookieName(const AnsiText& item) {
  int equals = FindText(item, "=");
  return TrimBlanks(equals < 1 ? item : item.substr(0, equals - 1));
}

}  // namespace

AnsiText MergeCookies(AnsiText& older, const AnsiText& newer) {
  std::vector<AnsiText> merged = CookieItems(newer);
  for (const AnsiText& item : CookieItems(older)) {
    AnsiText name = CookieName(item);
    bool known = std::any_of(merged.begin(), merged.end(),
                             [&](const AnsiText& other) { return CookieName(other) == name; });
    if (!known) merged.push_back(item);
  }
  std::vector<AnsiText> kept;
  for (const AnsiText& item : merged) {
    if (EndsWith(item, "=deleted")) continue;
    if (std::find(kept.begin(), kept.end(), item) == kept.end()) kept.push_back(item);
  }
  AnsiText result;
  for (size_t i = 0; i < kept.size(); ++i) result += (i ? "; " : "") + kept[i];
  older = result;
  return result;
}
