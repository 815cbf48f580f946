#include "scripting/ScriptText.h"

#include <gtest/gtest.h>

namespace {

TEST(ScriptText, ChineseRoundTripsThroughUtf16) {
  AnsiText text = "北京 天气 25℃";
  std::u16string wide = ToScriptText(text);
  EXPECT_EQ(wide, u"北京 天气 25℃");
  EXPECT_EQ(FromScriptText(wide), text);
  EXPECT_EQ(AnsiText("北京").size(), 4u);
}

TEST(ScriptText, EmptyStaysEmptyAndNulBytesAreKept) {
  EXPECT_EQ(ToScriptText(""), u"");
  EXPECT_EQ(FromScriptText(u""), "");
  EXPECT_EQ(ToScriptText(std::string_view("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(ScriptText, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(FromScriptText(u"a\u0E01b"), "a?b");
}

}  // namespace
