#include "scripting/ScriptText.h"

#include "platform/win32/Win32.h"

std::u16string ToScriptText(std::string_view text) {
  if (text.empty()) return {};
  int length = static_cast<int>(text.size());
  int units = MultiByteToWideChar(CP_GBK, 0, text.data(), length, nullptr, 0);
  std::u16string wide(static_cast<size_t>(units), u'\0');
  if (units > 0) MultiByteToWideChar(CP_GBK, 0, text.data(), length, wide.data(), units);
  return wide;
}

AnsiText FromScriptText(std::u16string_view text) {
  if (text.empty()) return {};
  int length = static_cast<int>(text.size());
  int bytes = WideCharToMultiByte(CP_GBK, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  AnsiText ansi(static_cast<size_t>(bytes), '\0');
  if (bytes > 0) WideCharToMultiByte(CP_GBK, 0, text.data(), length, ansi.data(), bytes, nullptr, nullptr);
  return ansi;
}
