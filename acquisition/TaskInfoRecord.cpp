#include "acquisition/TaskInfoRecord.h"

#include <cstdio>

namespace {

template <class... Args>
AnsiText Format(const char* format, Args... args) {
  char text[64];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

}  // namespace

void* TaskInfoRecord::build() {
  if (!m_record.create(1, 0xCC, kSize, 1024)) return nullptr;
  struct FieldLayout {
    const char* name;
    std::size_t size;
  };
  static const FieldLayout fields[] = {
      {"stat", 4},
      {"fail_code", 4},
      {"szFilename", 520},
      {"szReserved0", 520},
      {"nTotalSize", 8},
      {"nTotalDownload", 8},
      {"fPercent", 4},
      {"nReserved0", 4},
      {"nSrcTotal", 4},
      {"nSrcUsing", 4},
      {"nReserved1", 4},
      {"nReserved2", 4},
      {"nReserved3", 4},
      {"nReserved4", 4},
      {"nReserved5", 8},
      {"nDonationP2P", 8},
      {"nReserved6", 8},
      {"nDonationOrgin", 8},
      {"nDonationP2S", 8},
      {"nReserved7", 8},
      {"nReserved8", 8},
      {"nSpeed", 4},
      {"nSpeedP2S", 4},
      {"nSpeedP2P", 4},
      {"bIsOriginUsable", 1},
      {"fHashPercent", 4},
      {"IsCreatingFile", 4},
      {"reserved", 256},
  };
  for (const FieldLayout& field : fields) {
    ByteBuffer value;
    if (AnsiText(field.name) == "stat") value = PackedRecord::valueBytes<std::int32_t>(2);
    if (AnsiText(field.name) == "fail_code") value = PackedRecord::valueBytes<std::int32_t>(0);
    if (!m_record.addField(field.name, field.size, value, !value.empty())) {
      m_record.free();
      return nullptr;
    }
  }
  return m_record.address();
}

bool TaskInfoRecord::setSzFilename(const AnsiText& value) {
  ByteBuffer bytes = PackedRecord::encodeText(value);
  bytes.resize(520, 0);
  return m_record.writeField("szFilename", bytes);
}

AnsiText TaskInfoRecord::percentText() const {
  return Format("%.2f %%", static_cast<double>(fPercent()) * 100.0);
}

AnsiText TaskInfoRecord::speedText() const {
  return Format("%d KB/S", nSpeed() / 1024);
}

AnsiText TaskInfoRecord::sizeText() const {
  return Format("%.2f/%.2f MB", static_cast<double>(nTotalDownload()) / 1048576.0,
                static_cast<double>(nTotalSize()) / 1048576.0);
}

AnsiText TaskInfoRecord::sourcesText() const {
  return Format("%d/%d", nSrcUsing(), nSrcTotal());
}
