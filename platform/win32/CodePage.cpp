// Code pages 0 and 936 (GBK with the Windows additions) and 65001 (UTF-8) <-> UTF-16LE.
#include <langinfo.h>
#include <locale.h>
#include <strings.h>

#include <cstring>
#include <string>
#include <type_traits>

#include "platform/win32/IconvConverter.h"
#include "platform/win32/Win32.h"

namespace {

const char* CharsetOf(UINT codePage) {
  switch (codePage) {
    case CP_ACP:
    case CP_GBK:
      return "CP936";
    case CP_UTF8:
      return "UTF-8";
    default:
      return nullptr;
  }
}

// Converters are made once per thread and direction; iconv handles are not thread-safe.
const IconvConverter& ToUtf16(UINT codePage) {
  static const char kReplacement[] = {'\xFD', '\xFF'};  // U+FFFD little-endian
  thread_local IconvConverter gbk("CP936", "UTF-16LE", std::string(kReplacement, 2));
  thread_local IconvConverter utf8("UTF-8", "UTF-16LE", std::string(kReplacement, 2));
  return codePage == CP_UTF8 ? utf8 : gbk;
}

const IconvConverter& FromUtf16(UINT codePage) {
  thread_local IconvConverter gbk("UTF-16LE", "CP936", "?");
  thread_local IconvConverter utf8("UTF-16LE", "UTF-8", "\xEF\xBF\xBD");
  return codePage == CP_UTF8 ? utf8 : gbk;
}

// Copies a converted result out the Windows way: with capacity 0 the needed size is returned;
// a buffer too small gives 0.
template <typename Unit>
int CopyOut(const std::string& bytes, Unit* out, int capacity) {
  int units = static_cast<int>(bytes.size() / sizeof(Unit));
  if (capacity == 0) return units;
  if (out == nullptr || capacity < units) return 0;
  std::memcpy(out, bytes.data(), units * sizeof(Unit));
  return units;
}

// Both code pages agree with UTF-16 below 0x80, and most catalogue texts (addresses, checksums,
// numbers) are plain ASCII: those skip iconv.
template <typename From>
bool AllAscii(const From* in, size_t length) {
  for (size_t i = 0; i < length; ++i)
    if (static_cast<std::make_unsigned_t<From>>(in[i]) >= 0x80) return false;
  return true;
}

std::string WidenAscii(const char* in, size_t length) {
  std::string utf16(length * 2, '\0');
  for (size_t i = 0; i < length; ++i) utf16[2 * i] = in[i];
  return utf16;
}

std::string NarrowAscii(const WCHAR* in, size_t units) {
  std::string bytes(units, '\0');
  for (size_t i = 0; i < units; ++i) bytes[i] = static_cast<char>(in[i]);
  return bytes;
}

}  // namespace

extern "C" int MultiByteToWideChar(UINT codePage, DWORD, const char* in, int inLength, WCHAR* out,
                                   int outCapacity) {
  if (CharsetOf(codePage) == nullptr || in == nullptr || outCapacity < 0) return 0;
  size_t length = inLength < 0 ? std::strlen(in) + 1 : static_cast<size_t>(inLength);
  if (length == 0) return 0;
  std::string utf16 =
      AllAscii(in, length) ? WidenAscii(in, length) : ToUtf16(codePage).convert(in, length, 1);
  return CopyOut(utf16, out, outCapacity);
}

extern "C" int WideCharToMultiByte(UINT codePage, DWORD, const WCHAR* in, int inLength, char* out,
                                   int outCapacity, const char*, BOOL* usedDefault) {
  if (usedDefault) *usedDefault = FALSE;
  if (CharsetOf(codePage) == nullptr || in == nullptr || outCapacity < 0) return 0;
  size_t units = inLength < 0 ? static_cast<size_t>(lstrlenW(in)) + 1 : static_cast<size_t>(inLength);
  if (units == 0) return 0;
  std::string bytes = AllAscii(in, units) ? NarrowAscii(in, units)
                                          : FromUtf16(codePage).convert(reinterpret_cast<const char*>(in),
                                                                        units * sizeof(WCHAR), sizeof(WCHAR));
  return CopyOut(bytes, out, outCapacity);
}

extern "C" int lstrlenW(const WCHAR* text) {
  if (text == nullptr) return 0;
  int n = 0;
  while (text[n] != 0) ++n;
  return n;
}

extern "C" int lstrcmpA(const char* a, const char* b) {
  return std::strcmp(a ? a : "", b ? b : "");
}

extern "C" int lstrcmpiA(const char* a, const char* b) {
  return strcasecmp(a ? a : "", b ? b : "");
}

extern "C" UINT GetConsoleOutputCP() {
  locale_t user = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (user == static_cast<locale_t>(0)) return CP_UTF8;
  const char* charset = nl_langinfo_l(CODESET, user);
  bool gb = charset != nullptr && (strcasecmp(charset, "GBK") == 0 || strcasecmp(charset, "GB18030") == 0 ||
                                   strcasecmp(charset, "GB2312") == 0 || strcasecmp(charset, "CP936") == 0);
  freelocale(user);
  return gb ? CP_GBK : CP_UTF8;
}
