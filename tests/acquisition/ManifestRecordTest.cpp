#include "acquisition/ManifestRecord.h"

#include <gtest/gtest.h>

namespace {

TEST(SplitText, KeepsEmptyPiecesAtEitherEnd) {
  EXPECT_EQ(SplitText("a#b#", '#'), (std::vector<AnsiText>{"a", "b", ""}));
  EXPECT_EQ(SplitText("#a", '#'), (std::vector<AnsiText>{"", "a"}));
  EXPECT_EQ(SplitText("", '#'), (std::vector<AnsiText>{""}));
  EXPECT_EQ(SplitText("abc", '|'), (std::vector<AnsiText>{"abc"}));
}

TEST(ManifestRecord, NeedsAtLeastFiveFields) {
  EXPECT_FALSE(ManifestRecord::fromContent("a|b|c|d"));
  EXPECT_FALSE(ManifestRecord::fromContent(""));
  EXPECT_TRUE(ManifestRecord::fromContent("a|b|c|d|"));
  EXPECT_TRUE(ManifestRecord::fromContent("a|b|c|d|e|f|g"));
}

TEST(ManifestRecord, ReadsItsFieldsWithTheMd5InLowerCase) {
  auto record =
      ManifestRecord::fromContent("布局文件\\main.xml|D41D8CD98F00B204E9800998ECF8427E|http://h/x|120|说明");
  ASSERT_TRUE(record);
  EXPECT_EQ(record->path(), "布局文件\\main.xml");
  EXPECT_EQ(record->md5(), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(record->downloadUrl(), "http://h/x");
  EXPECT_EQ(record->size(), 120u);
  EXPECT_EQ(record->note(), "说明");
}

TEST(ManifestRecord, ASizeThatIsNotAPlainNumberIsNoSize) {
  for (const char* size : {"", "12a", "-1", " 12", "0x10"}) {
    auto record = ManifestRecord::fromContent(AnsiText("p|m|u|") + size + "|n");
    ASSERT_TRUE(record);
    EXPECT_FALSE(record->size()) << size;
  }
}

TEST(ManifestRecord, MakeContentGivesBackTheSameFields) {
  const AnsiText content = ManifestRecord::makeContent("a\\b.txt", "abc", "http://h/a/b.txt", 7, "注");
  EXPECT_EQ(content, "a\\b.txt|abc|http://h/a/b.txt|7|注");
  auto record = ManifestRecord::fromContent(content);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->size(), 7u);
  EXPECT_EQ(record->note(), "注");
}

}  // namespace
