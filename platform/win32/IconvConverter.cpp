#include "platform/win32/IconvConverter.h"

#include <cerrno>

namespace {
bool IsSurrogatePair(const char* utf16le) {
  auto unit = [&](int i) { return static_cast<unsigned char>(utf16le[i]) | (static_cast<unsigned char>(utf16le[i + 1]) << 8); };
  return unit(0) >= 0xD800 && unit(0) < 0xDC00 && unit(2) >= 0xDC00 && unit(2) < 0xE000;
}
}  // namespace

IconvConverter::IconvConverter(const char* from, const char* to, std::string replacement)
    : handle_(iconv_open(to, from)), replacement_(std::move(replacement)) {}

IconvConverter::~IconvConverter() {
  if (valid()) iconv_close(handle_);
}

std::string IconvConverter::convert(const char* input, size_t length, size_t unitSize) const {
  std::string out;
  if (!valid()) return out;
  iconv(handle_, nullptr, nullptr, nullptr, nullptr);
  char buffer[4096];
  auto* in = const_cast<char*>(input);
  size_t inLeft = length;
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    size_t result = iconv(handle_, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, outPtr - buffer);
    if (result != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL (truncated sequence): replace one code unit and go on.
    out += replacement_;
    size_t skip = inLeft < unitSize ? inLeft : unitSize;
    if (unitSize == 2 && inLeft >= 4 && IsSurrogatePair(in)) skip = 4;  // one character, one replacement
    in += skip;
    inLeft -= skip;
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
  }
  char* outPtr = buffer;
  size_t outLeft = sizeof buffer;
  iconv(handle_, nullptr, nullptr, &outPtr, &outLeft);
  out.append(buffer, outPtr - buffer);
  return out;
}
