// Text conversions at the toolkit's edges: UTF-16 (the API), UTF-8 (SDL, layout files) and
// code page 936 (the program's paths).
#pragma once

#include <string>

namespace TextCodec {

std::string utf16ToUtf8(const std::u16string& text);
std::u16string utf8ToUtf16(const std::string& text);
// NUL-terminated UTF-16 or empty for nullptr.
std::u16string fromApi(const char16_t* text);
// A path handed to the API (UTF-16, Windows separators) as a POSIX path: UTF-16 -> CP936 ->
// QbNativePath, the same road every other path of the program takes.
std::string nativePath(const char16_t* path);

}  // namespace TextCodec
