// The WinINet functions the launcher calls, on libcurl. Texts are code page 936 bytes and are
// sent as they are. HttpSendRequestA performs the whole exchange; InternetReadFile and
// HttpQueryInfoA then read what came back. Handles are checked on entry; a failing call sets
// QbHttpLastError().
#pragma once

#include "platform/http/HandleRegistry.h"
#include "platform/http/InternetTypes.h"

enum : DWORD {
  INTERNET_OPEN_TYPE_PRECONFIG = 0,  // no proxy here: there is no system configuration
  INTERNET_OPEN_TYPE_DIRECT = 1,
  INTERNET_OPEN_TYPE_PROXY = 3,
  INTERNET_SERVICE_HTTP = 3,
  INTERNET_OPTION_SECURITY_FLAGS = 31,
  HTTP_QUERY_RAW_HEADERS_CRLF = 22,
};
enum : DWORD {
  INTERNET_FLAG_RELOAD = 0x80000000,
  INTERNET_FLAG_NEED_FILE = 0x00000010,
  INTERNET_FLAG_NO_COOKIES = 0x00080000,
  INTERNET_FLAG_NO_AUTO_REDIRECT = 0x00200000,
  INTERNET_FLAG_SECURE = 0x00800000,
  INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS = 0x00004000,
};
enum : DWORD {
  SECURITY_FLAG_IGNORE_REVOCATION = 0x00000080,
  SECURITY_FLAG_IGNORE_UNKNOWN_CA = 0x00000100,
  SECURITY_FLAG_IGNORE_WRONG_USAGE = 0x00000200,
  SECURITY_FLAG_IGNORE_CERT_CN_INVALID = 0x00001000,
  SECURITY_FLAG_IGNORE_CERT_DATE_INVALID = 0x00002000,
  SECURITY_FLAG_IGNORE_REDIRECT_TO_HTTPS = 0x00004000,
  SECURITY_FLAG_IGNORE_REDIRECT_TO_HTTP = 0x00008000,
};

extern "C" {

// Access type 3 needs a well-formed proxy list ("host:port" or "http=host:port").
HINTERNET InternetOpenA(const char* agent, DWORD accessType, const char* proxy, const char* proxyBypass,
                        DWORD flags);
HINTERNET InternetConnectA(HINTERNET internet, const char* serverName, INTERNET_PORT port,
                           const char* userName, const char* password, DWORD service, DWORD flags,
                           DWORD_PTR context);
HINTERNET HttpOpenRequestA(HINTERNET connection, const char* verb, const char* objectName,
                           const char* version, const char* referrer, const char** acceptTypes, DWORD flags,
                           DWORD_PTR context);
// Only INTERNET_OPTION_SECURITY_FLAGS on a request handle.
BOOL InternetSetOptionA(HINTERNET handle, DWORD option, void* buffer, DWORD length);
// `headersLength` -1 means a NUL-terminated text. The agent of InternetOpenA is the User-Agent
// unless the headers carry one.
BOOL HttpSendRequestA(HINTERNET request, const char* headers, DWORD headersLength, void* optional,
                      DWORD optionalLength);
BOOL InternetReadFile(HINTERNET request, void* buffer, DWORD toRead, DWORD* read);
// Only HTTP_QUERY_RAW_HEADERS_CRLF. A buffer too small fails with the needed size (terminator
// included) in *length; on success *length is the size without the terminator.
BOOL HttpQueryInfoA(HINTERNET request, DWORD infoLevel, void* buffer, DWORD* length, DWORD* index);
BOOL InternetCloseHandle(HINTERNET handle);

}  // extern "C"
