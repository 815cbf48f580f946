#include "acquisition/TaskParamRecord.h"

namespace {

ByteBuffer Flag(bool value) {
  return PackedRecord::valueBytes<std::int32_t>(value ? 1 : 0);
}

}  // namespace

void* TaskParamRecord::build(const AnsiText& taskUrl, const AnsiText& refUrl, const AnsiText& cookies,
                             const AnsiText& fileName, const AnsiText& savePath, bool isOnlyOriginal,
                             bool disableAutoRename, bool isResume) {
  if (!m_record.create(1, 0xCC, kSize, 1024)) return nullptr;
  auto text = [](const AnsiText& value) { return PackedRecord::encodeText(value); };
  auto number = [](std::int32_t value) { return PackedRecord::valueBytes(value); };
  struct FieldLayout {
    const char* name;
    std::size_t size;
    ByteBuffer value;
  };
  const FieldLayout fields[] = {
      {"nReserved", 4, number(0)},
      {"szTaskUrl", 4168, text(taskUrl)},
      {"szRefUrl", 4168, text(refUrl)},
      {"szCookies", 8192, text(cookies)},
      {"szFilename", 520, text(fileName)},
      {"szReserved0", 520, {}},
      {"szSavePath", 520, text(savePath)},
      {"hReserved", 4, number(0)},
      {"bReserved", 4, number(0)},
      {"szReserved1", 128, {}},
      {"szReserved2", 128, {}},
      {"IsOnlyOriginal", 4, Flag(isOnlyOriginal)},
      {"nReserved1", 4, number(5)},
      {"DisableAutoRename", 4, Flag(disableAutoRename)},
      {"IsResume", 4, Flag(isResume)},
      {"reserved", 8192, {}},
  };
  for (const FieldLayout& field : fields) {
    if (!m_record.addField(field.name, field.size, field.value, !field.value.empty())) {
      m_record.free();
      return nullptr;
    }
  }
  return m_record.address();
}

bool TaskParamRecord::setText(const AnsiText& name, const AnsiText& value) {
  ByteBuffer bytes = PackedRecord::encodeText(value);
  bytes.resize(m_record.readField(name).size(), 0);
  return m_record.writeField(name, bytes);
}
