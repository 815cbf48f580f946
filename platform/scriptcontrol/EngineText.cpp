#include "EngineText.h"

#include <cstdint>

std::string ToEngineText(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (char16_t unit : text) {
    if (unit < 0x80) {
      out.push_back(static_cast<char>(unit));
    } else if (unit < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (unit >> 6)));
      out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (unit >> 12)));
      out.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    }
  }
  return out;
}

namespace {

// Length of the sequence that `lead` starts and the payload bits of the lead byte; 0 when the
// byte cannot start a sequence.
int SequenceLength(std::uint8_t lead, std::uint32_t& bits) {
  if (lead < 0x80) return bits = lead, 1;
  if ((lead & 0xE0) == 0xC0) return bits = lead & 0x1F, 2;
  if ((lead & 0xF0) == 0xE0) return bits = lead & 0x0F, 3;
  if ((lead & 0xF8) == 0xF0) return bits = lead & 0x07, 4;
  return 0;
}

}  // namespace

std::u16string FromEngineText(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    std::uint32_t point = 0;
    int length = SequenceLength(static_cast<std::uint8_t>(bytes[i]), point);
    bool valid = length > 0 && i + length <= bytes.size();
    for (int k = 1; valid && k < length; ++k) {
      auto next = static_cast<std::uint8_t>(bytes[i + k]);
      valid = (next & 0xC0) == 0x80;
      point = (point << 6) | (next & 0x3F);
    }
    if (!valid || point > 0x10FFFF) {
      out.push_back(u'\uFFFD');
      ++i;
      continue;
    }
    if (point >= 0x10000) {
      point -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 | (point >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 | (point & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(point));
    }
    i += length;
  }
  return out;
}
