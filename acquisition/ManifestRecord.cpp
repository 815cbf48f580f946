#include "acquisition/ManifestRecord.h"

#include <cctype>
#include <charconv>

std::vector<AnsiText> SplitText(const AnsiText& text, char separator) {
  std::vector<AnsiText> pieces;
  size_t start = 0;
  while (true) {
    size_t end = text.find(separator, start);
    if (end == AnsiText::npos) {
      pieces.push_back(text.substr(start));
      return pieces;
    }
    pieces.push_back(text.substr(start, end - start));
    start = end + 1;
  }
}

std::optional<ManifestRecord> ManifestRecord::fromContent(const AnsiText& content) {
  std::vector<AnsiText> fields = SplitText(content, '|');
  if (fields.size() < kMinimumFields) return std::nullopt;
  return ManifestRecord(std::move(fields));
}

AnsiText ManifestRecord::makeContent(const AnsiText& path, const AnsiText& md5, const AnsiText& url,
                                     uint64_t size, const AnsiText& note) {
  return path + "|" + md5 + "|" + url + "|" + std::to_string(size) + "|" + note;
}

AnsiText ManifestRecord::md5() const {
  AnsiText lower = fields_[1];
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::optional<uint64_t> ManifestRecord::size() const {
  const AnsiText& text = fields_[3];
  uint64_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}
