// The task-information block the engine fills on each XL_QueryTaskInfoEx: 1,429 bytes, no padding
// (so fHashPercent sits at the odd offset 1165). Before the first query stat is 2, the rest zero.
#pragma once

#include "acquisition/PackedRecord.h"

class TaskInfoRecord {
 public:
  static constexpr std::size_t kSize = 1429;

  void* build();
  void free() { m_record.free(); }

#define QB_INFO_FIELD(Type, name, setter)           \
  Type name() const {                               \
    return m_record.readValue<Type>(#name);         \
  }                                                 \
  bool setter(Type value) {                         \
    return m_record.writeValue<Type>(#name, value); \
  }
  QB_INFO_FIELD(std::int32_t, stat, setStat)
  QB_INFO_FIELD(std::int32_t, nSpeed, setNSpeed)
  QB_INFO_FIELD(float, fPercent, setFPercent)
  QB_INFO_FIELD(std::int32_t, nSrcTotal, setNSrcTotal)
  QB_INFO_FIELD(std::int32_t, nSrcUsing, setNSrcUsing)
  QB_INFO_FIELD(std::int32_t, nSpeedP2S, setNSpeedP2S)
  QB_INFO_FIELD(std::int32_t, nSpeedP2P, setNSpeedP2P)
  QB_INFO_FIELD(std::int32_t, fail_code, setFail_code)
  QB_INFO_FIELD(std::int64_t, nTotalSize, setNTotalSize)
  QB_INFO_FIELD(std::int64_t, nDonationP2S, setNDonationP2S)
  QB_INFO_FIELD(std::int64_t, nDonationP2P, setNDonationP2P)
  QB_INFO_FIELD(std::int64_t, nDonationOrgin, setNDonationOrgin)
  QB_INFO_FIELD(std::int32_t, IsCreatingFile, setIsCreatingFile)
  QB_INFO_FIELD(std::int64_t, nTotalDownload, setNTotalDownload)
#undef QB_INFO_FIELD
  bool bIsOriginUsable() const {
    return m_record.readValue<std::uint8_t>("bIsOriginUsable") != 0;
  }
  bool setBIsOriginUsable(bool value) {
    return m_record.writeValue<std::uint8_t>("bIsOriginUsable", value);
  }
  AnsiText szFilename() const {
    return PackedRecord::decodeText(m_record.readField("szFilename"));
  }
  bool setSzFilename(const AnsiText& value);
  void* address() const {
    return m_record.address();
  }

  // "45.20 %": the percentage with exactly two decimals.
  AnsiText percentText() const;
  // "12 KB/S": bytes per second over 1024, truncated.
  AnsiText speedText() const;
  // "1.50/3.00 MB": downloaded and total size in MiB, two decimals each.
  AnsiText sizeText() const;
  // "3/8": sources in use over sources known.
  AnsiText sourcesText() const;

  const PackedRecord& record() const {
    return m_record;
  }

 private:
  PackedRecord m_record;
};
