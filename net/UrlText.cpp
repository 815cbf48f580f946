#include "net/UrlText.h"

#include <cstdlib>

#include "net/AnsiTextSearch.h"
#include "net/TextCutting.h"

namespace {

// Host and port as written: the text after the scheme up to the first "/", "?" or "#".
AnsiText HostWithPort(const AnsiText& url) {
  AnsiText lower = AsciiLower(url);
  if (!EndsWith(lower, "/")) lower += "/";
  AnsiText authority;
  if (StartsWith(lower, "https://")) {
    authority = TextBetween(lower, "https://", "/");
  } else {
    if (!ContainsText(lower, "http://")) lower = "http://" + lower;
    authority = TextBetween(lower, "http://", "/");
  }
  // A query or fragment right after the host is no part of it.
  return authority.substr(0, authority.find_first_of("?#"));
}

}  // namespace

AnsiText UrlHost(const AnsiText& url) {
  AnsiText host = HostWithPort(url);
  int colon = FindText(host, ":");
  return colon < 1 ? host : host.substr(0, colon - 1);
}

int UrlPort(const AnsiText& url) {
  AnsiText host = HostWithPort(url);
  if (ContainsText(host, ":")) return std::atoi(RightOf(host, ":").c_str());
  return StartsWith(AsciiLower(url), "https") ? 443 : 80;
}

AnsiText UrlPath(const AnsiText& url) {
  AnsiText host = HostWithPort(url);
  int at = FindText(url, host, 1, true);
  if (at < 1) return "/";
  size_t afterHost = static_cast<size_t>(at - 1 + host.size());
  size_t slash = url.find('/', afterHost);
  size_t query = url.find('?', afterHost);
  if (slash != AnsiText::npos && (query == AnsiText::npos || slash < query)) return url.substr(slash);
  if (query != AnsiText::npos) return "/" + url.substr(query);
  return "/";
}
