// The stream automation object, as far as reading bytes back as text in a named charset goes.
// ReadText gives code page 936 text (the program's side of the automation layer): characters
// that code page lacks become "?", bytes invalid in the charset become U+FFFD first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class AdodbStream {
 public:
  enum : int { TypeBinary = 1, TypeText = 2, ModeReadWrite = 3 };

  bool SetType(int type);
  bool SetMode(int mode);
  bool Open();
  // Appends at the current position (binary streams only).
  bool Write(const std::vector<std::uint8_t>& bytes);
  bool SetPosition(long position);
  // "unicode" is UTF-16LE; other names are charset names such as "utf-8", "big5", "gb2312".
  // An unknown name fails and leaves the charset as it was.
  bool SetCharset(const std::string& charset);
  // The text from the current position to the end; false when the stream is closed or a text
  // stream cannot be read in its charset.
  bool ReadText(std::string& text);
  void Close();

 private:
  int type_ = TypeBinary;
  int mode_ = 0;
  bool open_ = false;
  std::vector<std::uint8_t> bytes_;
  std::size_t position_ = 0;
  std::string charset_ = "unicode";
};
