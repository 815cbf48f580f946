// The task-parameter block handed to XL_CreateTask: 26,564 bytes, no padding, texts in UTF-16LE.
#pragma once

#include "acquisition/PackedRecord.h"

class TaskParamRecord {
 public:
  static constexpr std::size_t kSize = 26564;

  // Lays out all sixteen fields; the block is made at its final size, so it never grows.
  void* build(const AnsiText& taskUrl, const AnsiText& refUrl, const AnsiText& cookies,
              const AnsiText& fileName, const AnsiText& savePath, bool isOnlyOriginal = false,
              bool disableAutoRename = false, bool isResume = true);
  void free() { m_record.free(); }

  AnsiText szRefUrl() const { return text("szRefUrl"); }
  bool setSzRefUrl(const AnsiText& value) { return setText("szRefUrl", value); }
  bool IsResume() const { return m_record.readValue<std::int32_t>("IsResume") != 0; }
  AnsiText szCookies() const { return text("szCookies"); }
  bool setSzCookies(const AnsiText& value) { return setText("szCookies", value); }
  AnsiText szTaskUrl() const { return text("szTaskUrl"); }
  bool setSzTaskUrl(const AnsiText& value) { return setText("szTaskUrl", value); }
  AnsiText szFilename() const { return text("szFilename"); }
  bool setSzFilename(const AnsiText& value) { return setText("szFilename", value); }
  AnsiText szSavePath() const { return text("szSavePath"); }
  bool setSzSavePath(const AnsiText& value) { return setText("szSavePath", value); }
  void* address() const { return m_record.address(); }
  bool IsOnlyOriginal() const { return m_record.readValue<std::int32_t>("IsOnlyOriginal") != 0; }
  bool DisableAutoRename() const { return m_record.readValue<std::int32_t>("DisableAutoRename") != 0; }

  const PackedRecord& record() const { return m_record; }

 private:
  AnsiText text(const AnsiText& name) const { return PackedRecord::decodeText(m_record.readField(name)); }
  // Replaces the whole field, so a shorter text leaves no tail of the previous one.
  bool setText(const AnsiText& name, const AnsiText& value);

  PackedRecord m_record;
};
