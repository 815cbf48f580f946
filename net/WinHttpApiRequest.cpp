#include "net/WinHttpApiRequest.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <utility>

#include "net/AnsiTextSearch.h"
#include "net/ComApartment.h"
#include "net/CookieText.h"
#include "net/HttpHeaderText.h"
#include "net/TextEncodings.h"
#include "platform/http/AdodbStream.h"
#include "platform/http/WinHttp.h"
#include "scripting/RegexMatcher.h"
#include "shell/startup/Waits.h"

namespace {

// The numbered failure messages; their texts and numbers are fixed.
const AnsiText kNoPlatform = "700 当前系统不支持WinHttp服务!";
const AnsiText kBadUrl = "701 解析URL地址失败!";
const AnsiText kNoSession = "702 创建WinHttp会话失败!";
const AnsiText kNoConnection = "703 创建WinHttp连接失败!";
const AnsiText kNoRequest = "704 创建WinHttp请求失败!";
const AnsiText kTimeouts = "705 设置超时时间失败!";
const AnsiText kCredentials = "707 设置代理凭证失败!";
const AnsiText kCertificate = "忽略错误/证书错误  失败！";
const AnsiText kCookieFeature = "708 禁止自动设置Cookies失败!";
const AnsiText kRedirects = "709 重定向设置失败!";
const AnsiText kHeaders = "710 设置协议头失败!";
const AnsiText kSend = "711 发送请求失败!";
const AnsiText kNoResponse = "712 服务器未响应!";
const AnsiText kRead = "713 读取数据失败!";

std::u16string Wide(const AnsiText& text) {
  ByteBuffer bytes = AnsiToUtf16(text, true);
  std::u16string wide(bytes.size() / 2, u'\0');
  if (!wide.empty()) std::memcpy(wide.data(), bytes.data(), wide.size() * 2);
  return wide;
}

AnsiText Narrow(const WCHAR* text, DWORD length) {
  if (text == nullptr || length == 0) return {};
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text);
  return Utf16ToAnsi(ByteBuffer(bytes, bytes + length * 2));
}

struct CrackedUrl {
  AnsiText host;
  INTERNET_PORT port = 0;
  bool secure = false;
  std::u16string path;
};

bool CrackUrl(const AnsiText& url, CrackedUrl& cracked) {
  std::u16string wide = Wide(url);
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = DWORD(-1);
  if (!WinHttpCrackUrl(wide.c_str(), static_cast<DWORD>(wide.size()), 0, &parts)) return false;
  cracked.host = Narrow(parts.lpszHostName, parts.dwHostNameLength);
  cracked.port = parts.nPort;
  cracked.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  std::u16string path(parts.lpszUrlPath, parts.dwUrlPathLength);
  std::u16string query(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  // A query without a path still belongs to the request: "/?q".
  cracked.path = (path.empty() ? u"/" : path) + query;
  return true;
}

// The three handles, closed in request, connection, root order on every way out, after the
// calling thread's pending messages have been processed.
struct RequestHandles {
  HINTERNET root = nullptr, connection = nullptr, request = nullptr;
  bool processMessages = true;

  RequestHandles() = default;
  RequestHandles(const RequestHandles&) = delete;
  RequestHandles& operator=(const RequestHandles&) = delete;
  ~RequestHandles() {
    if (processMessages) ProcessPendingMessages();
    WinHttpCloseHandle(request);
    WinHttpCloseHandle(connection);
    WinHttpCloseHandle(root);
  }
};

bool SetDwordOption(HINTERNET request, DWORD option, DWORD value) {
  return WinHttpSetOption(request, option, &value, sizeof value) != FALSE;
}

AnsiText RequestHeaderText(const WinHttpApiRequestOptions& options) {
  AnsiText headers = options.extraHeaders.empty() ? AnsiText() : options.extraHeaders + "\r\n";
  if (options.completeHeaders) {
    static const std::array<std::pair<const char*, const char*>, 6> kStandard = {{
        {"User-Agent: ", "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n"},
        {"Accept: ", "Accept: text/html, application/xhtml+xml, */*\r\n"},
        {"Accept-Encoding: ", "Accept-Encoding: gbk, GB2312\r\n"},
        {"Accept-Language: ", "Accept-Language: zh-cn\r\n"},
        {"Content-Type:", "Content-Type: application/x-www-form-urlencoded\r\n"},
        {"Cache-Control: ", "Cache-Control: no-cache\r\n"},
    }};
    for (const auto& [marker, line] : kStandard) {
      bool formType = std::strcmp(marker, "Content-Type:") == 0;
      if (formType && options.method != 1) continue;
      if (!ContainsText(headers, marker, true)) headers += line;
    }
  }
  if (options.normaliseHeaderCase) headers = NormaliseHeaderCase(headers);
  if (ContainsText(headers, "Connection") && HeaderValueByName(headers, "Connection") == "keep-alive")
    headers = ReplaceText(headers, "Connection: keep-alive\r\n", "");
  const AnsiText cookies = options.sendCookies ? *options.sendCookies : AnsiText();
  if (!ContainsText(headers, "Cookie:", true) && !cookies.empty())
    headers += ContainsText(cookies, "Cookie:", true) ? "\r\n" + cookies + "\r\n" : "\r\nCookie: " + cookies + "\r\n";
  return headers;
}

// Reads the body until no data is left; a failed read reports 713 and keeps what came.
ByteBuffer ReadBody(HINTERNET request, AnsiText& message) {
  ByteBuffer body;
  DWORD available = 0;
  while (WinHttpQueryDataAvailable(request, &available) && available >= 1) {
    ByteBuffer piece(available);
    DWORD read = 0;
    if (!WinHttpReadData(request, piece.data(), available, &read)) {
      message = kRead;
      break;
    }
    body.insert(body.end(), piece.begin(), piece.begin() + read);
  }
  return body;
}

bool QueryRawHeaders(HINTERNET request, AnsiText& headers) {
  DWORD length = 0;
  WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, nullptr, nullptr, &length, nullptr);
  ByteBuffer buffer(length);
  if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, nullptr, buffer.empty() ? nullptr : buffer.data(),
                           &length, nullptr))
    return false;
  buffer.resize(length);
  headers = Utf16ToAnsi(buffer);
  return true;
}

// The charset a page declares in a meta tag within its first 1024 bytes; empty when none.
AnsiText DeclaredCharset(RegexMatcher& matcher, const AnsiText& page) {
  if (!matcher.create("<meta.+?charset=[^\\w]?([-\\w]+)", page.substr(0, 1024))) return {};
  return matcher.subMatchText(1, 1);
}

// The body decoded from `charset`; the code-page-936 reading when the charset is unknown.
AnsiText DecodeBody(const ByteBuffer& body, const AnsiText& charset, const AnsiText& raw) {
  ComApartment com;
  AdodbStream stream;
  stream.SetType(AdodbStream::TypeBinary);
  stream.SetMode(AdodbStream::ModeReadWrite);
  stream.Open();
  stream.Write(body);
  stream.SetPosition(0);
  stream.SetType(AdodbStream::TypeText);
  AnsiText text = raw;
  if (stream.SetCharset(charset) && !stream.ReadText(text)) text.clear();
  stream.Close();
  return text;
}

// Credentials, certificate, cookie and redirect options; the failure message, or null.
const AnsiText* ApplyOptions(HINTERNET request, const WinHttpApiRequestOptions& options, bool noCookies) {
  auto credentials = [&](DWORD target, const AnsiText& user, const AnsiText& password) {
    return user.empty() || password.empty() ||
           WinHttpSetCredentials(request, target, WINHTTP_AUTH_SCHEME_BASIC, Wide(user).c_str(),
                                 Wide(password).c_str(), nullptr);
  };
  if (!credentials(WINHTTP_AUTH_TARGET_SERVER, options.serverUser, options.serverPassword)) return &kCredentials;
  if (!credentials(WINHTTP_AUTH_TARGET_PROXY, options.proxyUser, options.proxyPassword)) return &kCredentials;
  if (!SetDwordOption(request, WINHTTP_OPTION_SECURITY_FLAGS, 0x3300)) return &kCertificate;
  bool cookieFeature = noCookies
                           ? SetDwordOption(request, WINHTTP_OPTION_DISABLE_FEATURE, WINHTTP_DISABLE_COOKIES)
                           : SetDwordOption(request, WINHTTP_OPTION_ENABLE_FEATURE, WINHTTP_ENABLE_SSL_REVOCATION);
  if (!cookieFeature) return &kCookieFeature;
  if (options.noRedirect && !SetDwordOption(request, WINHTTP_OPTION_DISABLE_FEATURE, WINHTTP_DISABLE_REDIRECTS))
    return &kRedirects;
  return nullptr;
}

// Opens the root, connection and request handles; the failure message, or null.
const AnsiText* OpenHandles(RequestHandles& handles, const CrackedUrl& cracked,
                            const WinHttpApiRequestOptions& options) {
  std::u16string proxyName =
      options.proxy.empty() ? u"" : Wide(cracked.secure ? options.proxy : "http=" + options.proxy);
  DWORD access = options.proxy.empty() ? WINHTTP_ACCESS_TYPE_NO_PROXY : WINHTTP_ACCESS_TYPE_NAMED_PROXY;
  handles.root = WinHttpOpen(nullptr, access, proxyName.c_str(), nullptr, 0);
  if (!handles.root) return &kNoSession;
  // Seconds beyond what the time-out type holds mean "as long as it can wait", not a negative time.
  long long ms = options.timeoutSeconds > 0 ? std::min<long long>(1000LL * options.timeoutSeconds, INT_MAX) : 30000;
  int t = static_cast<int>(ms);
  if (!WinHttpSetTimeouts(handles.root, t, t, t, t)) return &kTimeouts;
  handles.connection = WinHttpConnect(handles.root, Wide(cracked.host).c_str(), cracked.port, 0);
  if (!handles.connection) return &kNoConnection;
  handles.request = WinHttpOpenRequest(handles.connection, Wide(MethodText(options.method)).c_str(),
                                       cracked.path.c_str(), nullptr, nullptr, nullptr,
                                       cracked.secure ? DWORD{WINHTTP_FLAG_SECURE} : DWORD{0});
  if (!handles.request) return &kNoRequest;
  return nullptr;
}

// Sends the headers and body and waits for the response; the failure message, or null.
const AnsiText* Exchange(HINTERNET request, const WinHttpApiRequestOptions& options) {
  std::u16string headers = Wide(RequestHeaderText(options));
  if (!WinHttpAddRequestHeaders(request, headers.c_str(), static_cast<DWORD>(headers.size()),
                                WINHTTP_ADDREQ_FLAG_ADD))
    return &kHeaders;
  ByteBuffer body = options.postBytes.empty() ? TextAsBytes(options.postText) : options.postBytes;
  if (!WinHttpSendRequest(request, nullptr, 0, body.empty() ? nullptr : body.data(), static_cast<DWORD>(body.size()),
                          static_cast<DWORD>(body.size()), 0))
    return &kSend;
  if (!WinHttpReceiveResponse(request, nullptr)) return &kNoResponse;
  return nullptr;
}

// Status text, Location target and cookies out of the raw headers.
void ReportHeaders(const AnsiText& rawHeaders, const WinHttpApiRequestOptions& options, bool noCookies,
                   AnsiText& message) {
  if (options.outHeaders) *options.outHeaders = rawHeaders;
  size_t statusEnd = rawHeaders.find("\r\n", 9);
  message = rawHeaders.size() > 9 ? rawHeaders.substr(9, statusEnd == AnsiText::npos ? statusEnd : statusEnd - 9)
                                  : AnsiText();
  for (const AnsiText& line : SplitText(rawHeaders, "\r\n")) {
    if (options.outLocation && AsciiLower(line.substr(0, 10)) == "location: ") *options.outLocation = line.substr(10);
    ProcessPendingMessages();
  }
  AnsiText cookies = CollectSetCookies(rawHeaders);
  if (options.mergeCookies && !noCookies) cookies = MergeCookies(*options.sendCookies, cookies);
  if (options.outCookies) *options.outCookies = cookies;
}

}  // namespace

AnsiText WinHttpApiRequest(const AnsiText& url, const WinHttpApiRequestOptions& options) {
  AnsiText ignoredMessage;
  AnsiText& message = options.outMessage ? *options.outMessage : ignoredMessage;
  auto fail = [&](const AnsiText* failure) {
    message = *failure;
    return AnsiText();
  };
  RegexMatcher matcher;
  RequestHandles handles;
  if (!WinHttpCheckPlatform()) return fail(&kNoPlatform);
  CrackedUrl cracked;
  if (!CrackUrl(url, cracked)) return fail(&kBadUrl);
  if (const AnsiText* failure = OpenHandles(handles, cracked, options)) return fail(failure);
  const bool noCookies = options.sendCookies == nullptr || options.sendCookies->empty();
  if (const AnsiText* failure = ApplyOptions(handles.request, options, noCookies)) {
    handles.processMessages = false;  // option failures close the handles straight away
    return fail(failure);
  }
  if (const AnsiText* failure = Exchange(handles.request, options)) return fail(failure);

  AnsiText readMessage;
  ByteBuffer body = ReadBody(handles.request, readMessage);
  AnsiText rawHeaders;
  if (!QueryRawHeaders(handles.request, rawHeaders)) return {};
  ReportHeaders(rawHeaders, options, noCookies, message);
  if (options.outBodyBytes) *options.outBodyBytes = body;
  // A cut-off body is reported although the request completes with what came.
  if (!readMessage.empty()) message = readMessage;

  AnsiText text = BytesAsText(body);
  AnsiText charset = DeclaredCharset(matcher, text);
  if (!charset.empty() && charset != "gbk" && charset != "gb2312") text = DecodeBody(body, charset, text);
  return text;
}
