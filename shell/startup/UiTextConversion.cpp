#include "shell/startup/UiTextConversion.h"

#include "shell/toolkit/xcgui.h"

UiText ToUiText(const AnsiText& text) {
  int units = XC_AnsiToUnicode(text.c_str(), -1, nullptr, 0);
  if (units <= 0) return UiText();
  UiText buffer(static_cast<size_t>(units), u'\0');
  XC_AnsiToUnicode(text.c_str(), -1, buffer.data(), units);
  buffer.resize(static_cast<size_t>(units) - 1);  // the string keeps its own terminator
  return buffer;
}

AnsiText FromUiText(const char16_t* text) {
  if (text == nullptr) return AnsiText();
  int bytes = XC_UnicodeToAnsi(text, -1, nullptr, 0);
  if (bytes <= 0) return AnsiText();
  AnsiText buffer(static_cast<size_t>(bytes), '\0');
  XC_UnicodeToAnsi(text, -1, buffer.data(), bytes);
  while (!buffer.empty() && buffer.back() == '\0') buffer.pop_back();
  return buffer;
}
