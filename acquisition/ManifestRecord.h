// One decoded manifest record: fields separated by "|". Field 1 is a path relative to the run
// directory (no leading backslash), field 2 the file's MD5 in hex, either case. The updater reads
// the further fields: 3 the download URL, 4 the size in bytes (decimal, may be empty), 5 a note.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "shell/SharedTypes.h"

// Splits at every `separator`; an empty text gives one empty piece.
std::vector<AnsiText> SplitText(const AnsiText& text, char separator);

class ManifestRecord {
 public:
  static constexpr size_t kMinimumFields = 5;

  // Empty when the content has fewer than kMinimumFields fields.
  static std::optional<ManifestRecord> fromContent(const AnsiText& content);
  // The content for a record; "|" inside a field would shift the fields, so the caller keeps it out.
  static AnsiText makeContent(const AnsiText& path, const AnsiText& md5, const AnsiText& url, uint64_t size,
                              const AnsiText& note);

  const AnsiText& path() const { return fields_[0]; }
  // Field 2 in lower case.
  AnsiText md5() const;
  const AnsiText& downloadUrl() const { return fields_[2]; }
  // Empty when field 4 is empty or not a plain decimal number.
  std::optional<uint64_t> size() const;
  const AnsiText& note() const { return fields_[4]; }

 private:
  explicit ManifestRecord(std::vector<AnsiText> fields) : fields_(std::move(fields)) {}
  std::vector<AnsiText> fields_;
};
