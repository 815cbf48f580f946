// One direction of a code-page conversion, on iconv. Invalid or unmappable input never stops a
// conversion: it comes out as the target's replacement character ('?' or U+FFFD).
#pragma once

#include <iconv.h>

#include <string>

class IconvConverter {
 public:
  IconvConverter(const char* from, const char* to, std::string replacement);
  ~IconvConverter();
  IconvConverter(const IconvConverter&) = delete;
  IconvConverter& operator=(const IconvConverter&) = delete;

  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  // Converts `length` bytes; `unitSize` is the input's code-unit size, skipped on bad input.
  std::string convert(const char* input, size_t length, size_t unitSize) const;

 private:
  iconv_t handle_;
  std::string replacement_;
};
