#include "shell/startup/CodePageText.h"

#include <cstdio>

#include "platform/win32/Win32.h"

namespace {
std::string Convert(std::string_view text, UINT from, UINT to) {
  if (text.empty()) return std::string();
  int length = static_cast<int>(text.size());
  int units = MultiByteToWideChar(from, 0, text.data(), length, nullptr, 0);
  std::u16string wide(static_cast<size_t>(units), u'\0');
  MultiByteToWideChar(from, 0, text.data(), length, wide.data(), units);
  int bytes = WideCharToMultiByte(to, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(to, 0, wide.data(), units, out.data(), bytes, nullptr, nullptr);
  return out;
}
}  // namespace

std::string AnsiToUtf8(std::string_view text) {
  return Convert(text, CP_GBK, CP_UTF8);
}

AnsiText Utf8ToAnsiText(std::string_view utf8) {
  return Convert(utf8, CP_UTF8, CP_GBK);
}

std::string AnsiToConsole(std::string_view text) {
  return Convert(text, CP_GBK, GetConsoleOutputCP());
}

AnsiText ConsoleToAnsi(std::string_view text) {
  return Convert(text, GetConsoleOutputCP(), CP_GBK);
}

void WriteDiagnosticLine(std::string_view text) {
  std::fprintf(stderr, "%s\n", AnsiToConsole(text).c_str());
}
