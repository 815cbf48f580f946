#include "acquisition/TaskInfoRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string_view>

#include "platform/xldl/TaskBlocks.h"

namespace {

// UTF-8 text as the engine holds it (this file's plain literals are code page 936).
std::string U8(std::u8string_view text) {
  return std::string(text.begin(), text.end());
}

std::uint8_t* Block(const TaskInfoRecord& record) {
  return static_cast<std::uint8_t*>(record.address());
}

template <class T>
T ValueAt(const TaskInfoRecord& record, std::size_t offset) {
  T value;
  std::memcpy(&value, Block(record) + offset, sizeof value);
  return value;
}

TEST(TaskInfoRecordTest, FreshRecordHoldsStat2AndZeros) {
  TaskInfoRecord record;
  ASSERT_NE(record.build(), nullptr);
  EXPECT_EQ(record.record().usedLength(), 1429u);
  EXPECT_EQ(record.record().capacity(), 1429u);
  EXPECT_EQ(ValueAt<std::int32_t>(record, 0), 2);
  for (std::size_t i = 4; i < 1429; ++i) ASSERT_EQ(Block(record)[i], 0) << i;
  EXPECT_EQ(record.stat(), 2);
  EXPECT_EQ(record.fail_code(), 0);
}

TEST(TaskInfoRecordTest, SettersWriteAtTheLayoutOffsets) {
  TaskInfoRecord record;
  record.build();
  EXPECT_TRUE(record.setStat(4));
  EXPECT_TRUE(record.setFail_code(7));
  EXPECT_TRUE(record.setNTotalSize(0x123456789LL));
  EXPECT_TRUE(record.setNTotalDownload(0x23456789ALL));
  EXPECT_TRUE(record.setFPercent(0.5f));
  EXPECT_TRUE(record.setNSrcTotal(8));
  EXPECT_TRUE(record.setNSrcUsing(3));
  EXPECT_TRUE(record.setNDonationP2P(11));
  EXPECT_TRUE(record.setNDonationOrgin(12));
  EXPECT_TRUE(record.setNDonationP2S(13));
  EXPECT_TRUE(record.setNSpeed(4096));
  EXPECT_TRUE(record.setNSpeedP2S(14));
  EXPECT_TRUE(record.setNSpeedP2P(15));
  EXPECT_TRUE(record.setBIsOriginUsable(true));
  EXPECT_TRUE(record.setIsCreatingFile(-1));
  EXPECT_TRUE(record.setSzFilename("工具.zip"));
  EXPECT_EQ(ValueAt<std::int32_t>(record, 0), 4);
  EXPECT_EQ(ValueAt<std::int32_t>(record, 4), 7);
  EXPECT_EQ(std::memcmp(Block(record) + 8, u"工具.zip", 14), 0);
  EXPECT_EQ(ValueAt<std::int64_t>(record, 1048), 0x123456789LL);
  EXPECT_EQ(ValueAt<std::int64_t>(record, 1056), 0x23456789ALL);
  EXPECT_EQ(ValueAt<float>(record, 1064), 0.5f);
  EXPECT_EQ(ValueAt<std::int32_t>(record, 1072), 8);
  EXPECT_EQ(ValueAt<std::int32_t>(record, 1076), 3);
  EXPECT_EQ(ValueAt<std::int64_t>(record, 1104), 11);
  EXPECT_EQ(ValueAt<std::int64_t>(record, 1120), 12);
  EXPECT_EQ(ValueAt<std::int64_t>(record, 1128), 13);
  EXPECT_EQ(ValueAt<std::int32_t>(record, 1152), 4096);
  EXPECT_EQ(ValueAt<std::int32_t>(record, 1156), 14);
  EXPECT_EQ(ValueAt<std::int32_t>(record, 1160), 15);
  EXPECT_EQ(Block(record)[1164], 1);
  EXPECT_EQ(ValueAt<std::int32_t>(record, 1169), -1);  // right after the odd fHashPercent
  // Getters read the same fields back in their types.
  EXPECT_EQ(record.nTotalSize(), 0x123456789LL);
  EXPECT_EQ(record.nDonationOrgin(), 12);
  EXPECT_TRUE(record.bIsOriginUsable());
  EXPECT_EQ(record.IsCreatingFile(), -1);
  EXPECT_EQ(record.szFilename(), "工具.zip");
}

TEST(TaskInfoRecordTest, HashPercentSitsAtOddOffset1165) {
  TaskInfoRecord record;
  record.build();
  const std::uint8_t marker[4] = {1, 2, 3, 4};
  std::memcpy(Block(record) + 1165, marker, 4);
  EXPECT_EQ(record.record().readField("fHashPercent"), ByteBuffer(marker, marker + 4));
  EXPECT_EQ(record.record().findField("fHashPercent"), 26);
  EXPECT_EQ(record.record().readField("reserved").size(), 256u);
  EXPECT_EQ(record.record().findField("reserved"), 28);
}

TEST(TaskInfoRecordTest, DisplayTexts) {
  TaskInfoRecord record;
  record.build();
  record.setFPercent(0.452f);
  EXPECT_EQ(record.percentText(), "45.20 %");
  record.setFPercent(0.999f);
  EXPECT_EQ(record.percentText(), "99.90 %");
  record.setFPercent(1.0f);
  EXPECT_EQ(record.percentText(), "100.00 %");
  record.setFPercent(0.0f);
  EXPECT_EQ(record.percentText(), "0.00 %");
  record.setNSpeed(2047);
  EXPECT_EQ(record.speedText(), "1 KB/S");
  record.setNSpeed(1023);
  EXPECT_EQ(record.speedText(), "0 KB/S");
  record.setNTotalDownload(1572864);
  record.setNTotalSize(3145728);
  EXPECT_EQ(record.sizeText(), "1.50/3.00 MB");
  record.setNTotalSize(123456789012LL);
  EXPECT_EQ(record.sizeText(), "1.50/117737.57 MB");  // no digit grouping
  record.setNSrcUsing(3);
  record.setNSrcTotal(8);
  EXPECT_EQ(record.sourcesText(), "3/8");
}

TEST(TaskInfoRecordTest, RecordReadsWhatTheEngineWrites) {
  TaskInfoRecord record;
  record.build();
  xldl::TaskProgress progress;
  progress.stat = 5;
  progress.failCode = 3;
  progress.fileName = U8(u8"工具.zip");
  progress.totalSize = 5000000000LL;
  progress.totalDownload = 1234567890LL;
  progress.percent = 0.25f;
  progress.sourcesTotal = 8;
  progress.sourcesUsing = 6;
  progress.speed = 777777;
  progress.originUsable = true;
  progress.creatingFile = 1;
  xldl::WriteTaskInfoBlock(record.address(), progress);
  EXPECT_EQ(record.stat(), 5);
  EXPECT_EQ(record.fail_code(), 3);
  EXPECT_EQ(record.szFilename(), "工具.zip");
  EXPECT_EQ(record.nTotalSize(), 5000000000LL);
  EXPECT_EQ(record.nTotalDownload(), 1234567890LL);
  EXPECT_EQ(record.fPercent(), 0.25f);
  EXPECT_EQ(record.nSrcTotal(), 8);
  EXPECT_EQ(record.nSrcUsing(), 6);
  EXPECT_EQ(record.nSpeed(), 777777);
  EXPECT_TRUE(record.bIsOriginUsable());
  EXPECT_EQ(record.IsCreatingFile(), 1);
  EXPECT_EQ(record.percentText(), "25.00 %");
  EXPECT_EQ(xldl::ReadTaskInfoBlock(record.address()).fileName, U8(u8"工具.zip"));
}

TEST(TaskInfoRecordTest, CopyAndFree) {
  TaskInfoRecord record;
  record.build();
  record.setNSpeed(10);
  TaskInfoRecord copy(record);
  copy.setNSpeed(20);
  EXPECT_EQ(record.nSpeed(), 10);
  EXPECT_EQ(copy.nSpeed(), 20);
  record.free();
  EXPECT_EQ(record.address(), nullptr);
  EXPECT_EQ(record.nSpeed(), 0);
  EXPECT_FALSE(record.setNSpeed(1));
}

}  // namespace
