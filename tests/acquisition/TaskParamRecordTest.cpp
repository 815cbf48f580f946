#include "acquisition/TaskParamRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string_view>

#include "platform/xldl/TaskBlocks.h"

namespace {

// UTF-8 text as the engine holds it (this file's plain literals are code page 936).
std::string U8(std::u8string_view text) {
  return std::string(text.begin(), text.end());
}

const std::uint8_t* Block(const TaskParamRecord& record) {
  return static_cast<const std::uint8_t*>(record.address());
}

std::int32_t Int32At(const TaskParamRecord& record, std::size_t offset) {
  std::int32_t value;
  std::memcpy(&value, Block(record) + offset, 4);
  return value;
}

bool ZeroBetween(const TaskParamRecord& record, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i)
    if (Block(record)[i] != 0) return false;
  return true;
}

TEST(TaskParamRecordTest, BuildLaysOutTheSixteenFieldsAtTheirOffsets) {
  TaskParamRecord record;
  ASSERT_NE(record.build("http://h/a.zip", "", "", "a.zip", "D:\\run\\Application\\", false, true, true),
            nullptr);
  EXPECT_EQ(record.record().usedLength(), 26564u);
  EXPECT_EQ(record.record().capacity(), 26564u);  // made at its final size, never grown
  EXPECT_EQ(Int32At(record, 0), 0);
  EXPECT_EQ(std::memcmp(Block(record) + 4, u"http://h/a.zip", 30), 0);
  EXPECT_TRUE(ZeroBetween(record, 4 + 30, 4172));
  EXPECT_TRUE(ZeroBetween(record, 4172, 16532));  // referring URL and cookies stay empty
  EXPECT_EQ(std::memcmp(Block(record) + 16532, u"a.zip", 12), 0);
  EXPECT_TRUE(ZeroBetween(record, 17052, 17572));
  EXPECT_EQ(std::memcmp(Block(record) + 17572, u"D:\\run\\Application\\", 40), 0);
  EXPECT_TRUE(ZeroBetween(record, 18092, 18356));
  EXPECT_EQ(Int32At(record, 18356), 0);  // IsOnlyOriginal
  EXPECT_EQ(Int32At(record, 18360), 5);  // nReserved1
  EXPECT_EQ(Int32At(record, 18364), 1);  // DisableAutoRename
  EXPECT_EQ(Int32At(record, 18368), 1);  // IsResume
  EXPECT_TRUE(ZeroBetween(record, 18372, 26564));
  EXPECT_EQ(record.record().findField("reserved"), 16);
}

TEST(TaskParamRecordTest, OmittedFlagsMeanResumeOnly) {
  TaskParamRecord record;
  record.build("u", "", "", "f", "p");
  EXPECT_TRUE(record.IsResume());
  EXPECT_FALSE(record.IsOnlyOriginal());
  EXPECT_FALSE(record.DisableAutoRename());
  EXPECT_EQ(Int32At(record, 18368), 1);
  TaskParamRecord other;
  other.build("u", "", "", "f", "p", true, false, false);
  EXPECT_TRUE(other.IsOnlyOriginal());
  EXPECT_FALSE(other.IsResume());
}

TEST(TaskParamRecordTest, OverlongUrlIsCutAtTheFieldWithoutTerminator) {
  TaskParamRecord record;
  AnsiText url = "http://h/" + AnsiText(2100, 'x');
  record.build(url, "", "", "f", "p");
  EXPECT_EQ(Block(record)[4 + 4166], 'x');  // the last unit of the field is text, not zero
  EXPECT_EQ(Block(record)[4 + 4167], 0);
  EXPECT_TRUE(ZeroBetween(record, 4172, 4172 + 8));  // the next field is untouched
  EXPECT_EQ(record.szTaskUrl(), url.substr(0, 2084));
}

TEST(TaskParamRecordTest, TextsReadBackAndSetWithoutLeftovers) {
  TaskParamRecord record;
  record.build("http://h/工具.zip", "", "", "工具.zip", "D:\\运行\\", false, true);
  EXPECT_EQ(record.szTaskUrl(), "http://h/工具.zip");
  EXPECT_EQ(record.szFilename(), "工具.zip");
  EXPECT_EQ(record.szSavePath(), "D:\\运行\\");
  EXPECT_EQ(record.szRefUrl(), "");
  EXPECT_TRUE(record.setSzRefUrl("http://ref/"));
  EXPECT_TRUE(record.setSzCookies("a=1; b=2"));
  EXPECT_TRUE(record.setSzFilename("b.zip"));
  EXPECT_TRUE(record.setSzTaskUrl("http://x/b.zip"));
  EXPECT_TRUE(record.setSzSavePath("E:\\"));
  EXPECT_EQ(record.szRefUrl(), "http://ref/");
  EXPECT_EQ(record.szCookies(), "a=1; b=2");
  EXPECT_EQ(record.szFilename(), "b.zip");
  EXPECT_EQ(record.szTaskUrl(), "http://x/b.zip");
  EXPECT_EQ(record.szSavePath(), "E:\\");
  EXPECT_TRUE(ZeroBetween(record, 16532 + 12, 17052));  // the longer old name left nothing behind
  record.free();
  EXPECT_EQ(record.address(), nullptr);
  EXPECT_FALSE(record.setSzFilename("c"));
}

TEST(TaskParamRecordTest, EngineReadsExactlyWhatTheRecordWrites) {
  TaskParamRecord record;
  record.build("http://127.0.0.1:8/下载/a.zip", "http://ref/", "k=v", "工具.zip", "/tmp/运行\\Application\\",
               true, true, false);
  xldl::TaskParameters read = xldl::ReadTaskParamBlock(record.address());
  EXPECT_EQ(read.url, U8(u8"http://127.0.0.1:8/下载/a.zip"));
  EXPECT_EQ(read.refUrl, "http://ref/");
  EXPECT_EQ(read.cookies, "k=v");
  EXPECT_EQ(read.fileName, U8(u8"工具.zip"));
  EXPECT_EQ(read.savePath, U8(u8"/tmp/运行/Application"));
  EXPECT_TRUE(read.onlyOriginal);
  EXPECT_TRUE(read.disableAutoRename);
  EXPECT_FALSE(read.resume);

  // The engine's own writer of the block produces the same bytes, all 26,564 of them.
  xldl::TaskParameters same;
  same.url = U8(u8"http://127.0.0.1:8/下载/a.zip");
  same.refUrl = "http://ref/";
  same.cookies = "k=v";
  same.fileName = U8(u8"工具.zip");
  same.savePath = U8(u8"/tmp/运行\\Application\\");
  same.onlyOriginal = true;
  same.disableAutoRename = true;
  same.resume = false;
  auto engineBlock = xldl::MakeTaskParamBlock(same);
  ASSERT_EQ(engineBlock.size(), TaskParamRecord::kSize);
  EXPECT_EQ(std::memcmp(engineBlock.data(), record.address(), TaskParamRecord::kSize), 0);
}

}  // namespace
