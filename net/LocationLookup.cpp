#include "net/LocationLookup.h"

#include <algorithm>
#include <cctype>

#include "net/ServiceHosts.h"
#include "net/TextEncodings.h"
#include "net/WinInetRequest.h"
#include "scripting/RegexMatcher.h"

namespace {

// Two blanks after the country, one between province, city and network operator.
const AnsiText kAddressPattern =
    "{\"rs\":1,\"code\":0,\"address\":\"(.*?)  (.*?) (.*?) (.*?)\",\"ip\":\"(.*?)\",\"isDomain\":0}";

// The address comes from another web service and goes into a URL, so only the characters of an
// address text may pass.
bool IsAddressText(const AnsiText& ip) {
  return ip.size() <= 45 && std::all_of(ip.begin(), ip.end(), [](char c) {
           return std::isxdigit(static_cast<unsigned char>(c)) || c == '.' || c == ':';
         });
}

// JSON may spell the names as \uXXXX escapes.
AnsiText NameText(const AnsiText& group) {
  return group.find('\\') == AnsiText::npos ? group : UnescapeUnicode(group);
}

}  // namespace

LocationRecord LookupLocation(const AnsiText& ip) {
  AnsiText url = "https://" + CurrentServiceHosts().geolocation +
                 "/api/index?ip=" + (IsAddressText(ip) ? ip : "") + "&type=1";
  AnsiText answer = Utf8ToAnsi(WinInetRequest(url));
  RegexMatcher matcher;
  matcher.create(kAddressPattern, answer, false, false, true, true);
  LocationRecord record;
  for (int i = 1; i <= matcher.matchCount(); ++i) {
    if (matcher.subMatchCount() > 0) {
      record.country = NameText(matcher.subMatchText(i, 1));
      record.province = NameText(matcher.subMatchText(i, 2));
      record.city = NameText(matcher.subMatchText(i, 3));
    }
  }
  return record;
}
