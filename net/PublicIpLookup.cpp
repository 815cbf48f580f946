#include "net/PublicIpLookup.h"

#include <algorithm>

#include "net/ServiceHosts.h"
#include "net/TextCutting.h"
#include "net/TextEncodings.h"
#include "net/WinHttpApiRequest.h"
#include "net/WinHttpObjectRequest.h"

namespace {

const AnsiText kUserAgent1 =
    "User-Agent: Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/47.0.2526.80 Safari/537.36 Core/1.47.277.400 QQBrowser/9.4.7658.400";
const AnsiText kUserAgent2 =
    "User-Agent: Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/50.0.2661.87 Safari/537.36";

enum class Routine { Object, Api };
enum class BodyText { Raw, Utf8, Utf8Unescaped };

// One IP-echo service: where it is asked, how, and how its answer is cut.
struct EchoRow {
  const char* scheme;
  const char* path;
  Routine routine;
  const AnsiText* extraHeader;  // null: none
  BodyText bodyText;
  AnsiText (*ip)(const AnsiText& answer);
  AnsiText (*location)(const AnsiText& answer);
};

AnsiText NoLocation(const AnsiText&) {
  return {};
}

// "region city"; empty rather than a lone blank when the answer holds neither.
AnsiText RegionAndCity(const AnsiText& answer) {
  AnsiText region = TextBetween(answer, "region\":\"", "\"");
  AnsiText city = TextBetween(answer, "city\":\"", "\"");
  return region.empty() && city.empty() ? AnsiText() : region + " " + city;
}

const EchoRow kEchoRows[7] = {
    {"http://", "/cityjson", Routine::Object, nullptr, BodyText::Raw,
     [](const AnsiText& a) { return TextBetween(a, "cip\": \"", "\", \"cid"); },
     [](const AnsiText& a) { return TextBetween(a, "cname\": \"", "\"};"); }},
    {"https://", "/ip/qqwry/", Routine::Object, nullptr, BodyText::Utf8Unescaped,
     [](const AnsiText& a) { return TextBetween(a, "ip\":\"", "\""); },
     [](const AnsiText& a) { return TextBetween(a, "address\":\"", "\""); }},
    {"https://", "/index.php", Routine::Object, &kUserAgent1, BodyText::Utf8,
     [](const AnsiText& a) { return TextBetween(a, "您现在的 IP：<code>", "</code>"); },
     [](const AnsiText& a) { return TextBetween(a, "所在地理位置：<code>", "</code>"); }},
    {"http://", "/service/getIpInfo2.php?ip=myip", Routine::Object, nullptr, BodyText::Utf8,
     [](const AnsiText& a) { return TextBetween(a, "ip\":\"", "\""); }, RegionAndCity},
    {"https://", "/ip", Routine::Object, nullptr, BodyText::Utf8,
     [](const AnsiText& a) { return RightOf(a, "IP:"); }, NoLocation},
    {"https://", "/ip", Routine::Object, nullptr, BodyText::Raw,
     [](const AnsiText& a) { return LeftOf(a, "\n"); }, NoLocation},
    {"https://", "/json", Routine::Api, nullptr, BodyText::Raw,
     [](const AnsiText& a) { return TextBetween(a, "ip\": \"", "\""); }, NoLocation},
};

ByteBuffer ObjectGet(const AnsiText& url, const AnsiText* extraHeader) {
  WinHttpObjectRequestOptions options;
  if (extraHeader != nullptr) options.extraHeaders = *extraHeader;
  return WinHttpObjectRequest(url, options);
}

AnsiText AnswerText(const EchoRow& row, const AnsiText& url) {
  if (row.routine == Routine::Api) return WinHttpApiRequest(url);
  ByteBuffer body = ObjectGet(url, row.extraHeader);
  switch (row.bodyText) {
    case BodyText::Raw:
      return BytesAsText(body);
    case BodyText::Utf8:
      return Utf8ToAnsi(body);
    case BodyText::Utf8Unescaped:
      return UnescapeUnicode(Utf8ToAnsi(body));
  }
  return {};
}

// The page service names the page that tells the address in a frame of its front page.
AnsiText LookupThroughFramedPage(AnsiText& location) {
  ByteBuffer front = ObjectGet("http://" + CurrentServiceHosts().ipEchoFallback, &kUserAgent2);
  AnsiText frame = BytesAsText(BytesBetween(front, TextAsBytes("<iframe src=\""), TextAsBytes("\"")));
  if (frame.compare(0, 4, "http") != 0) frame = "http:" + frame;
  AnsiText answer = Utf8ToAnsi(WinHttpObjectRequest(frame));
  location = TextBetween(answer, "来自：", "\r\n</p>");
  return TextBetween(answer, "您的IP地址是：", "</title>");
}

// Position (1-based) of `needle` in `data` at or after `from`; 0 when it is not there.
size_t FindBytes(const ByteBuffer& data, const ByteBuffer& needle, size_t from) {
  if (from > data.size()) return 0;
  auto found = std::search(data.begin() + (from - 1), data.end(), needle.begin(), needle.end());
  return found == data.end() ? 0 : static_cast<size_t>(found - data.begin()) + 1;
}

}  // namespace

ByteBuffer BytesBetween(const ByteBuffer& data, const ByteBuffer& before, const ByteBuffer& after,
                        int start) {
  size_t from = start < 1 ? 1 : static_cast<size_t>(start);
  if (before.empty() || after.empty()) return {};
  size_t p = FindBytes(data, before, from);
  if (p == 0) return {};
  ByteBuffer rest(data.begin() + (p - 1 + before.size()), data.end());
  size_t q = FindBytes(rest, after, from);
  if (q == 0) return {};
  return ByteBuffer(rest.begin(), rest.begin() + (q - 1));
}

AnsiText LookupPublicIp(AnsiText& location, int provider) {
  if (provider < 1 || provider > 7) return LookupThroughFramedPage(location);
  const EchoRow& row = kEchoRows[provider - 1];
  AnsiText answer = AnswerText(row, row.scheme + CurrentServiceHosts().ipEcho[provider - 1] + row.path);
  location = row.location(answer);
  return row.ip(answer);
}
