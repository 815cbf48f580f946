#include "net/TextEncodings.h"

#include <openssl/evp.h>

#include <cstring>
#include <vector>

#include "net/AnsiTextSearch.h"
#include "net/ComApartment.h"
#include "platform/http/AdodbStream.h"
#include "platform/scriptcontrol/ScriptControl.h"
#include "platform/win32/Win32.h"
#include "scripting/ScriptText.h"

namespace {

const DWORD kCompositeCheck = 0x200;
// "’" spelled in code-page-936 bytes, so the text is the same whatever the compiler's execution
// character set (the fuzz build has none for code page 936).
const AnsiText kQuoteStandIn = "\xA1\xAF";

std::vector<WCHAR> Utf16Units(const ByteBuffer& bytes) {
  std::vector<WCHAR> units(bytes.size() / 2);
  if (!units.empty()) std::memcpy(units.data(), bytes.data(), units.size() * 2);
  return units;
}

AnsiText UpToFirstZero(const AnsiText& text) {
  return text.substr(0, text.find('\0'));
}

}  // namespace

AnsiText Utf8ToAnsi(const ByteBuffer& utf8) {
  if (utf8.empty()) return {};
  const char* bytes = reinterpret_cast<const char*>(utf8.data());
  int length = static_cast<int>(utf8.size());
  int n = MultiByteToWideChar(CP_UTF8, 0, bytes, length, nullptr, 0);
  if (n <= 0) return {};
  std::vector<WCHAR> wide(static_cast<size_t>(n) + 1, 0);
  MultiByteToWideChar(CP_UTF8, 0, bytes, length, wide.data(), n);
  int m = WideCharToMultiByte(CP_GBK, 0, wide.data(), n + 1, nullptr, 0, nullptr, nullptr);
  if (m <= 0) return {};
  AnsiText text(static_cast<size_t>(m), '\0');
  WideCharToMultiByte(CP_GBK, 0, wide.data(), n + 1, text.data(), m, nullptr, nullptr);
  return UpToFirstZero(text);
}

AnsiText BytesAsUnicodeText(const ByteBuffer& bytes) {
  ComApartment com;
  AdodbStream stream;
  stream.SetType(AdodbStream::TypeBinary);
  stream.SetMode(AdodbStream::ModeReadWrite);
  stream.Open();
  stream.Write(bytes);
  stream.SetPosition(0);
  stream.SetType(AdodbStream::TypeText);
  stream.SetCharset("unicode");
  AnsiText text;
  stream.ReadText(text);
  stream.Close();
  return text;
}

AnsiText UnescapeUnicode(const AnsiText& text) {
  AnsiText prepared = ReplaceText(text, "\r\n", "{$}");
  if (!prepared.empty() && prepared[0] == '\r') prepared.erase(0, 1);
  if (ContainsText(prepared, "\\u")) prepared = ReplaceText(prepared, "\\u", "%u");
  prepared = ReplaceText(prepared, "'", kQuoteStandIn);
  AnsiText result;
  {
    ComApartment com;
    ScriptControl script;
    script.SetLanguage(u"JScript");
    script.ExecuteStatement(ToScriptText("function xx(){var x='" + prepared + "';return unescape(x);}"));
    ScriptValue value = script.Run(u"xx");
    if (!value.isUndefined()) result = FromScriptText(value.toText());
  }
  // A text the script cannot hold (one ending in a backslash, a lone line feed) gives nothing;
  // its bytes are then read as UTF-16 text instead.
  if (result.empty()) result = BytesAsUnicodeText(TextAsBytes(prepared));
  result = ReplaceText(result, kQuoteStandIn, "'");
  return ReplaceText(result, "{$}", "\r\n");
}

AnsiText Base64Encode(const ByteBuffer& bytes) {
  if (bytes.empty()) return {};
  AnsiText encoded(4 * ((bytes.size() + 2) / 3) + 1, '\0');
  int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(encoded.data()), bytes.data(),
                               static_cast<int>(bytes.size()));
  encoded.resize(static_cast<size_t>(length));
  return encoded;
}

ByteBuffer AnsiToUtf16(const AnsiText& text, bool dropTerminator) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(CP_GBK, 0, text.c_str(), -1, nullptr, 0);
  if (n <= 0) return {};
  ByteBuffer buffer(static_cast<size_t>(n) * 2, 0);
  MultiByteToWideChar(CP_GBK, 0, text.c_str(), -1, reinterpret_cast<WCHAR*>(buffer.data()), n);
  if (dropTerminator) buffer.resize(buffer.size() - 2);
  return buffer;
}

AnsiText Utf16ToAnsi(const ByteBuffer& utf16) {
  std::vector<WCHAR> units = Utf16Units(utf16);
  if (units.empty()) return {};
  int length = static_cast<int>(units.size());
  int size = WideCharToMultiByte(CP_GBK, kCompositeCheck, units.data(), length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  AnsiText text(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_GBK, kCompositeCheck, units.data(), length, text.data(), size, nullptr, nullptr);
  return UpToFirstZero(text);
}
