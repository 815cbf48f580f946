#include "net/HttpHeaderText.h"

#include <array>

#include "net/AnsiTextSearch.h"
#include "net/TextCutting.h"

AnsiText MethodText(int method) {
  static const std::array<const char*, 8> kMethods = {"GET",     "POST",   "HEAD",  "PUT",
                                                      "OPTIONS", "DELETE", "TRACE", "CONNECT"};
  return (method >= 0 && method < static_cast<int>(kMethods.size())) ? kMethods[method] : kMethods[0];
}

AnsiText HeaderName(const AnsiText& line) {
  int colon = FindText(line, ":");
  return colon < 1 ? AnsiText() : TrimBlanks(line.substr(0, colon - 1));
}

AnsiText HeaderValue(const AnsiText& line) {
  int colon = FindText(line, ":");
  return colon < 1 ? AnsiText() : TrimBlanks(line.substr(colon));
}

namespace {

// "content-type" -> "Content-Type": every dash-separated part starts upper-case. A dash at the
// end of the name stays (splitting would drop the empty last part with it).
AnsiText CapitaliseHeaderName(const AnsiText& name) {
  if (!ContainsText(name, "-")) return UpperFirst(name);
  AnsiText result;
  std::vector<AnsiText> parts = SplitText(name, "-");
  for (size_t i = 0; i < parts.size(); ++i) result += (i ? "-" : "") + UpperFirst(parts[i]);
  if (EndsWith(name, "-")) result += "-";
  return result;
}

}  // namespace

AnsiText NormaliseHeaderCase(const AnsiText& headers) {
  AnsiText result;
  for (const AnsiText& line : SplitText(headers, "\r\n")) {
    int colon = FindText(line, ":");
    if (colon < 1) continue;
    result += CapitaliseHeaderName(line.substr(0, colon - 1)) + line.substr(colon - 1) + "\r\n";
  }
  if (EndsWith(result, "\r\n")) result.resize(result.size() - 2);
  return result;
}

AnsiText HeaderValueByName(const AnsiText& headers, const AnsiText& name) {
  for (const AnsiText& line : SplitText(headers, "\r\n")) {
    if (StartsWith(line, name)) return RightOf(line, name + ": ");
  }
  return {};
}

void AppendHeaderIfMissing(AnsiText& headers, const AnsiText& marker, const AnsiText& line) {
  if (!ContainsText(headers, marker, true)) headers += "\r\n" + line;
}
