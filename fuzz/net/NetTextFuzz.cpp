// Feeds web-answer texts (code page 936) to the text-cutting, header and cookie helpers. The
// input is split at its first two 0xFF bytes into a text and two markers.
#include <cstddef>
#include <cstdint>

#include "net/AnsiTextSearch.h"
#include "net/CookieText.h"
#include "net/HttpHeaderText.h"
#include "net/TextCutting.h"
#include "net/UrlText.h"

namespace {

// Cuts the next piece off `rest` at a 0xFF byte (the whole rest when there is none).
AnsiText NextPiece(AnsiText& rest) {
  std::size_t end = rest.find('\xFF');
  AnsiText piece = rest.substr(0, end);
  rest = end == AnsiText::npos ? AnsiText() : rest.substr(end + 1);
  return piece;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  AnsiText rest(reinterpret_cast<const char*>(data), size);
  AnsiText text = NextPiece(rest);
  AnsiText first = NextPiece(rest);
  AnsiText second = rest;
  int start = size > 0 ? static_cast<int>(data[0] % 16) - 2 : 0;
  bool ignoreCase = size > 1 && (data[1] & 1) != 0;

  TextBetween(text, first, second, start, ignoreCase);
  LeftOf(text, first, start, ignoreCase);
  RightOf(text, first, start, ignoreCase);
  FindTextBackward(text, first, start + static_cast<int>(text.size()), ignoreCase);
  ReplaceText(text, first, second, ignoreCase);
  SplitText(text, first);
  TrimBlanks(text);

  HeaderName(text);
  HeaderValue(text);
  NormaliseHeaderCase(text);
  HeaderValueByName(text, first);
  AnsiText headers = text;
  AppendHeaderIfMissing(headers, first, second);

  AnsiText older = CollectSetCookies(text);
  MergeCookies(older, first);
  MergeCookies(older, second);
  UrlPath(text);
  UrlHost(text);
  return 0;
}
