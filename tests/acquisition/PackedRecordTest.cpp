#include "acquisition/PackedRecord.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

ByteBuffer Bytes(std::initializer_list<int> values) {
  ByteBuffer bytes;
  for (int v : values) bytes.push_back(static_cast<std::uint8_t>(v));
  return bytes;
}

const std::uint8_t* Block(const PackedRecord& record) {
  return static_cast<const std::uint8_t*>(record.address());
}

TEST(PackedRecordTest, CreateGivesZeroFilledBlockOfTheInitialSize) {
  PackedRecord record;
  ASSERT_NE(record.create(1, 0xCC, 64, 16), nullptr);
  EXPECT_EQ(record.capacity(), 64u);
  EXPECT_EQ(record.usedLength(), 0u);
  for (std::size_t i = 0; i < 64; ++i) EXPECT_EQ(Block(record)[i], 0) << i;
}

TEST(PackedRecordTest, FieldsLieEndToEndAndShortValuesLeaveZeros) {
  PackedRecord record;
  record.create();
  EXPECT_TRUE(record.addField("a", 3, Bytes({1, 2, 3}), true));
  EXPECT_TRUE(record.addField("b", 5, Bytes({9}), true));
  EXPECT_TRUE(record.addField("c", 2, Bytes({7, 7}), false));  // no value given: stays zero
  EXPECT_EQ(record.usedLength(), 10u);
  EXPECT_EQ(record.readField("a"), Bytes({1, 2, 3}));
  EXPECT_EQ(record.readField("b"), Bytes({9, 0, 0, 0, 0}));
  EXPECT_EQ(record.readField("c"), Bytes({0, 0}));
  EXPECT_EQ(Block(record)[3], 9);
}

TEST(PackedRecordTest, LongValuesAreCutAtTheFieldSize) {
  PackedRecord record;
  record.create();
  record.addField("a", 2, Bytes({1, 2, 3, 4}), true);
  record.addField("b", 2, {}, false);
  EXPECT_EQ(record.readField("a"), Bytes({1, 2}));
  EXPECT_EQ(record.readField("b"), Bytes({0, 0}));
  EXPECT_TRUE(record.writeField("b", Bytes({5, 6, 7})));
  EXPECT_EQ(record.readField("b"), Bytes({5, 6}));
  EXPECT_EQ(record.usedLength(), 4u);
}

TEST(PackedRecordTest, AlignmentPadsWithTheFillByte) {
  PackedRecord record;
  record.create(4, 0xAB, 32, 32);
  record.addField("a", 3, Bytes({1, 1, 1}), true);
  record.addField("b", 4, Bytes({2, 2, 2, 2}), true);
  record.addField("c", 1, Bytes({3}), true);
  EXPECT_EQ(record.usedLength(), 12u);
  EXPECT_EQ(Block(record)[3], 0xAB);
  EXPECT_EQ(Block(record)[4], 2);
  EXPECT_EQ(Block(record)[8], 3);
  EXPECT_EQ(ByteBuffer(Block(record) + 9, Block(record) + 12), Bytes({0xAB, 0xAB, 0xAB}));
}

TEST(PackedRecordTest, FieldsAreFoundByNameCrc32) {
  PackedRecord record;
  record.create();
  EXPECT_EQ(record.findField("plumless"), 0);
  EXPECT_TRUE(record.readField("plumless").empty());
  ASSERT_TRUE(record.addField("first", 1, {}, false));
  ASSERT_TRUE(record.addField("plumless", 2, Bytes({4, 5}), true));
  EXPECT_EQ(record.findField("first"), 1);
  EXPECT_EQ(record.findField("plumless"), 2);
  // "buckeroo" has the same CRC-32 as "plumless": it is the same field.
  EXPECT_FALSE(record.addField("buckeroo", 4, {}, false));
  EXPECT_EQ(record.findField("buckeroo"), 2);
  EXPECT_EQ(record.readField("buckeroo"), Bytes({4, 5}));
  EXPECT_FALSE(record.addField("first", 1, {}, false));
  EXPECT_FALSE(record.writeField("absent", Bytes({1})));
}

TEST(PackedRecordTest, BlockGrowsByTheStepAndKeepsItsBytes) {
  PackedRecord record;
  record.create(1, 0xCC, 16, 8);
  record.addField("a", 10, Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), true);
  EXPECT_EQ(record.capacity(), 16u);
  ASSERT_TRUE(record.addField("b", 20, Bytes({42}), true));
  EXPECT_EQ(record.capacity(), 32u);  // 16 + 8 + 8: the first step was not enough
  EXPECT_EQ(record.usedLength(), 30u);
  EXPECT_EQ(record.readField("a"), Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_EQ(record.readField("b")[0], 42);
  EXPECT_EQ(record.readField("b")[19], 0);
  EXPECT_EQ(Block(record)[31], 0);  // the grown part is zero-filled
}

TEST(PackedRecordTest, CopyIsDeep) {
  PackedRecord record;
  record.create(2, 0xEE, 16, 16);
  record.addField("a", 3, Bytes({1, 2, 3}), true);
  PackedRecord copy(record);
  EXPECT_NE(copy.address(), record.address());
  EXPECT_EQ(copy.usedLength(), 4u);
  EXPECT_TRUE(copy.writeField("a", Bytes({9})));
  EXPECT_EQ(record.readField("a"), Bytes({1, 2, 3}));
  EXPECT_EQ(copy.readField("a"), Bytes({9, 2, 3}));
  copy.addField("b", 1, Bytes({5}), true);  // the copy keeps alignment and fill byte
  EXPECT_EQ(static_cast<const std::uint8_t*>(copy.address())[5], 0xEE);
  EXPECT_EQ(record.findField("b"), 0);
}

TEST(PackedRecordTest, FreeReleasesEverything) {
  PackedRecord record;
  record.create();
  record.addField("a", 4, {}, false);
  record.free();
  EXPECT_EQ(record.address(), nullptr);
  EXPECT_EQ(record.usedLength(), 0u);
  EXPECT_EQ(record.findField("a"), 0);
  EXPECT_FALSE(record.addField("a", 4, {}, false));  // no block to add to
  EXPECT_NE(record.create(), nullptr);               // a new block can be made
}

TEST(PackedRecordTest, TextsAreUtf16WithTerminatorAndComeBackAsCodePage936) {
  ByteBuffer encoded = PackedRecord::encodeText("释放a");
  EXPECT_EQ(encoded, Bytes({0xCA, 0x91, 0x3E, 0x65, 'a', 0, 0, 0}));
  EXPECT_EQ(PackedRecord::decodeText(encoded), "释放a");
  EXPECT_EQ(PackedRecord::decodeText(Bytes({'x', 0, 0, 0, 'y', 0})), "x");
  EXPECT_EQ(PackedRecord::decodeText({}), "");
}

}  // namespace
