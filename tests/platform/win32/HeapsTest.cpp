#include <gtest/gtest.h>

#include <cstring>

#include "platform/win32/Win32.h"

namespace {

TEST(HeapsTest, ZeroedAllocationGrowsWithItsNewPartZeroed) {
  HANDLE heap = HeapCreate(0, 1024, 0);
  auto* block = static_cast<unsigned char*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, 16));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block[15], 0);
  std::memset(block, 0xAB, 16);
  block = static_cast<unsigned char*>(HeapReAlloc(heap, HEAP_ZERO_MEMORY, block, 64));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block[15], 0xAB);
  EXPECT_EQ(block[16], 0);
  EXPECT_EQ(block[63], 0);
  EXPECT_TRUE(HeapFree(heap, 0, block));
  EXPECT_FALSE(HeapFree(heap, 0, block));
  EXPECT_TRUE(HeapDestroy(heap));
}

TEST(HeapsTest, MaximumSizeIsEnforced) {
  HANDLE heap = HeapCreate(0, 64, 128);
  void* block = HeapAlloc(heap, 0, 100);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(HeapReAlloc(heap, 0, block, 200), nullptr);
  EXPECT_EQ(HeapAlloc(heap, 0, 64), nullptr);
  HeapDestroy(heap);  // frees the block still allocated
}

TEST(HeapsTest, Crc32MatchesTheStandardCheckValue) {
  const char* text = "123456789";
  EXPECT_EQ(RtlComputeCrc32(0, reinterpret_cast<const BYTE*>(text), 9), 0xCBF43926u);
}

}  // namespace
