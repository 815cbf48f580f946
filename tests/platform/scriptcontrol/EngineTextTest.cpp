#include "EngineText.h"

#include <gtest/gtest.h>

namespace {

TEST(EngineText, EncodesEachCodeUnitOnItsOwn) {
  EXPECT_EQ(ToEngineText(u"A"), "A");
  EXPECT_EQ(ToEngineText(u"é"), "\xC3\xA9");
  EXPECT_EQ(ToEngineText(u"北"), "\xE5\x8C\x97");
  EXPECT_EQ(ToEngineText(u"\U0001F600"), "\xED\xA0\xBD\xED\xB8\x80");
}

TEST(EngineText, RoundTripsEveryUnitIncludingLoneSurrogates) {
  std::u16string text{u'a', u'\0', u'b', char16_t(0xD800), u'c', char16_t(0xDFFF), u'天'};
  EXPECT_EQ(FromEngineText(ToEngineText(text)), text);
}

TEST(EngineText, DecodesFourByteSequencesAsPairsAndBadBytesAsReplacement) {
  EXPECT_EQ(FromEngineText("\xF0\x9F\x98\x80"), u"\U0001F600");
  EXPECT_EQ(FromEngineText("a\xFF"
                           "b"),
            u"a\uFFFDb");
  EXPECT_EQ(FromEngineText("\xE5\x8C"), u"\uFFFD\uFFFD");
}

}  // namespace
