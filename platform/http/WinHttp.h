// The WinHTTP functions the launcher calls, on libcurl. Texts are UTF-16; header texts travel
// as code page 936 bytes, the system's ANSI code page. WinHttpSendRequest performs the whole
// exchange: it fails when no request reached the server, WinHttpReceiveResponse fails when no
// response came back, WinHttpReadData fails where a cut-off body ends. Handles are checked on
// entry; a failing call sets QbHttpLastError().
#pragma once

#include "platform/http/HandleRegistry.h"
#include "platform/http/InternetTypes.h"

enum : DWORD {
  WINHTTP_ACCESS_TYPE_DEFAULT_PROXY = 0,  // no proxy here: there is no system configuration
  WINHTTP_ACCESS_TYPE_NO_PROXY = 1,
  WINHTTP_ACCESS_TYPE_NAMED_PROXY = 3,
  INTERNET_SCHEME_HTTP = 1,
  INTERNET_SCHEME_HTTPS = 2,
  WINHTTP_FLAG_SECURE = 0x00800000,
  WINHTTP_AUTH_TARGET_SERVER = 0,
  WINHTTP_AUTH_TARGET_PROXY = 1,
  WINHTTP_AUTH_SCHEME_BASIC = 1,
  WINHTTP_OPTION_SECURITY_FLAGS = 31,
  WINHTTP_OPTION_DISABLE_FEATURE = 63,
  WINHTTP_OPTION_ENABLE_FEATURE = 79,
  WINHTTP_DISABLE_COOKIES = 1,
  WINHTTP_DISABLE_REDIRECTS = 2,
  WINHTTP_ENABLE_SSL_REVOCATION = 1,
  WINHTTP_ADDREQ_FLAG_ADD = 0x20000000,
  WINHTTP_QUERY_RAW_HEADERS_CRLF = 22,
};
enum : DWORD {
  SECURITY_FLAG_IGNORE_UNKNOWN_CA_HTTP = 0x00000100,
  SECURITY_FLAG_IGNORE_CERT_WRONG_USAGE_HTTP = 0x00000200,
  SECURITY_FLAG_IGNORE_CERT_CN_INVALID_HTTP = 0x00001000,
  SECURITY_FLAG_IGNORE_CERT_DATE_INVALID_HTTP = 0x00002000,
};

struct URL_COMPONENTS {
  DWORD dwStructSize;
  WCHAR* lpszScheme;
  DWORD dwSchemeLength;
  int nScheme;
  WCHAR* lpszHostName;
  DWORD dwHostNameLength;
  INTERNET_PORT nPort;
  WCHAR* lpszUserName;
  DWORD dwUserNameLength;
  WCHAR* lpszPassword;
  DWORD dwPasswordLength;
  WCHAR* lpszUrlPath;
  DWORD dwUrlPathLength;
  WCHAR* lpszExtraInfo;
  DWORD dwExtraInfoLength;
};

extern "C" {

BOOL WinHttpCheckPlatform();
// Splits an http or https URL. A component whose length is not 0 and whose pointer is null
// gets a pointer into `url` and its length. `urlLength` 0 means NUL-terminated.
BOOL WinHttpCrackUrl(const WCHAR* url, DWORD urlLength, DWORD flags, URL_COMPONENTS* components);
// Access type 3 needs a well-formed proxy list ("host:port" or "http=host:port").
HINTERNET WinHttpOpen(const WCHAR* agent, DWORD accessType, const WCHAR* proxyName, const WCHAR* proxyBypass,
                      DWORD flags);
// Milliseconds; -1 is no limit, anything below -1 fails. Session or request handles.
BOOL WinHttpSetTimeouts(HINTERNET handle, int resolveTimeout, int connectTimeout, int sendTimeout,
                        int receiveTimeout);
HINTERNET WinHttpConnect(HINTERNET session, const WCHAR* serverName, INTERNET_PORT port, DWORD reserved);
HINTERNET WinHttpOpenRequest(HINTERNET connection, const WCHAR* verb, const WCHAR* objectName,
                             const WCHAR* version, const WCHAR* referrer, const WCHAR** acceptTypes,
                             DWORD flags);
// Basic authentication only.
BOOL WinHttpSetCredentials(HINTERNET request, DWORD authTargets, DWORD authScheme, const WCHAR* userName,
                           const WCHAR* password, void* authParams);
// Security flags, cookie and redirect features and the revocation feature, on request handles.
BOOL WinHttpSetOption(HINTERNET handle, DWORD option, void* buffer, DWORD length);
// `length` -1 means NUL-terminated. An empty header text, or a line without a colon, fails.
BOOL WinHttpAddRequestHeaders(HINTERNET request, const WCHAR* headers, DWORD length, DWORD modifiers);
BOOL WinHttpSendRequest(HINTERNET request, const WCHAR* headers, DWORD headersLength, void* optional,
                        DWORD optionalLength, DWORD totalLength, DWORD_PTR context);
BOOL WinHttpReceiveResponse(HINTERNET request, void* reserved);
BOOL WinHttpQueryDataAvailable(HINTERNET request, DWORD* available);
BOOL WinHttpReadData(HINTERNET request, void* buffer, DWORD toRead, DWORD* read);
// Only WINHTTP_QUERY_RAW_HEADERS_CRLF, without a name or index. *bufferLength counts bytes: a
// buffer too small fails with the needed size (terminator included); on success it is the size
// without the terminator.
BOOL WinHttpQueryHeaders(HINTERNET request, DWORD infoLevel, const WCHAR* name, void* buffer,
                         DWORD* bufferLength, DWORD* index);
BOOL WinHttpCloseHandle(HINTERNET handle);

}  // extern "C"
