#include "RegExp.h"

#include <gtest/gtest.h>

namespace {

RegExp Make(std::u16string_view pattern, bool global = true, bool ignoreCase = false,
            bool multiline = false) {
  RegExp regexp;
  regexp.SetPattern(pattern);
  regexp.SetGlobal(global);
  regexp.SetIgnoreCase(ignoreCase);
  regexp.SetMultiline(multiline);
  return regexp;
}

std::vector<std::u16string> Values(RegExp regexp, std::u16string_view subject) {
  std::vector<std::u16string> values;
  auto matches = regexp.Execute(subject);
  if (!matches) return {u"<failed>"};
  for (long i = 0; i < matches->Count(); ++i) values.push_back(matches->Item(i)->Value());
  return values;
}

using Texts = std::vector<std::u16string>;

TEST(RegExpOptions, DefaultsAreCaseSensitiveSingleLineFirstMatchOnly) {
  RegExp regexp;
  EXPECT_FALSE(regexp.IgnoreCase());
  EXPECT_FALSE(regexp.Multiline());
  EXPECT_FALSE(regexp.Global());
  regexp.SetPattern(u"a");
  EXPECT_EQ(Values(regexp, u"AaAa"), Texts{u"a"});
}

TEST(RegExpOptions, GlobalCollectsEveryMatch) {
  EXPECT_EQ(Values(Make(u"\\d+", false), u"1 22 333"), Texts{u"1"});
  EXPECT_EQ(Values(Make(u"\\d+", true), u"1 22 333"), (Texts{u"1", u"22", u"333"}));
}

TEST(RegExpOptions, IgnoreCaseFoldsAsciiLetters) {
  EXPECT_EQ(Values(Make(u"abc", true, false), u"ABC abc"), Texts{u"abc"});
  EXPECT_EQ(Values(Make(u"abc", true, true), u"ABC abc"), (Texts{u"ABC", u"abc"}));
  EXPECT_EQ(Values(Make(u"[a-c]+", true, true), u"xAbCx"), Texts{u"AbC"});
}

TEST(RegExpOptions, MultilineMakesAnchorsMatchAtLineFeeds) {
  std::u16string subject = u"one\ntwo\nthree";
  EXPECT_EQ(Values(Make(u"^\\w+$", true, false, false), subject), Texts{});
  EXPECT_EQ(Values(Make(u"^\\w+$", true, false, true), subject), (Texts{u"one", u"two", u"three"}));
  EXPECT_EQ(Values(Make(u"^t\\w+", true, false, false), subject), Texts{});
}

TEST(RegExpOptions, DollarWithoutMultilineMatchesOnlyAtTheVeryEnd) {
  EXPECT_EQ(Values(Make(u"end$"), u"the end\n"), Texts{});
  EXPECT_EQ(Values(Make(u"end$"), u"the end"), Texts{u"end"});
  EXPECT_EQ(Values(Make(u"end$", true, false, true), u"the end\n"), Texts{u"end"});
}

TEST(RegExpOptions, ChangingAnOptionAfterUseTakesEffect) {
  RegExp regexp = Make(u"x", true, false);
  EXPECT_EQ(Values(regexp, u"xX"), Texts{u"x"});
  regexp.SetIgnoreCase(true);
  EXPECT_EQ(regexp.Execute(u"xX")->Count(), 2);
  regexp.SetPattern(u"y");
  EXPECT_EQ(regexp.Execute(u"xX")->Count(), 0);
}

TEST(RegExpDialect, DotStopsOnlyAtLineFeed) {
  EXPECT_EQ(Values(Make(u"a.b"), u"a\rb a\nb"), Texts{u"a\rb"});
}

TEST(RegExpDialect, EscapesReadAsTheDialectReadsThem) {
  EXPECT_EQ(Values(Make(u"\\u5317\\x41"), u"北A"), Texts{u"北A"});
  EXPECT_EQ(Values(Make(u"\\v"), u"\v\n"), Texts{u"\v"});
  EXPECT_EQ(Values(Make(u"\\y\\Q\\K"), u"yQK"), Texts{u"yQK"});
  EXPECT_EQ(Values(Make(u"\\c"), u"\\c"), Texts{u"\\c"});
  EXPECT_EQ(Values(Make(u"\\cJ"), u"\n"), Texts{u"\n"});
}

TEST(RegExpDialect, EmptyClassesAndUnsetBackReferences) {
  EXPECT_EQ(Values(Make(u"a[]"), u"a"), Texts{});
  EXPECT_EQ(Values(Make(u"a[^]b"), u"a\nb"), Texts{u"a\nb"});
  EXPECT_EQ(Values(Make(u"(x)?\\1y"), u"y"), Texts{u"y"});
}

TEST(RegExpDialect, BraceThatIsNoQuantifierIsLiteral) {
  EXPECT_EQ(Values(Make(u"{\"rs\":1}"), u"a{\"rs\":1}"), Texts{u"{\"rs\":1}"});
}

TEST(RegExpMatches, FirstIndexAndLengthCountUtf16Units) {
  auto matches = Make(u"ab").Execute(u"北京ab\U0001F600ab");
  ASSERT_TRUE(matches);
  ASSERT_EQ(matches->Count(), 2);
  EXPECT_EQ(matches->Item(0)->FirstIndex(), 2);
  EXPECT_EQ(matches->Item(1)->FirstIndex(), 6);
  EXPECT_EQ(matches->Item(1)->Length(), 2);
  EXPECT_EQ(matches->Item(2), nullptr);
  EXPECT_EQ(matches->Item(-1), nullptr);
}

TEST(RegExpMatches, GroupsIncludingOnesThatDidNotMatch) {
  auto matches = Make(u"(\\w+)@(\\w+)(\\.com)?").Execute(u"me@host, you@site.com");
  ASSERT_TRUE(matches);
  ASSERT_EQ(matches->Count(), 2);
  const SubMatches& first = matches->Item(0)->SubMatches();
  ASSERT_EQ(first.Count(), 3);
  EXPECT_EQ(first.Item(0), u"me");
  EXPECT_EQ(first.Item(1), u"host");
  EXPECT_EQ(first.Item(2), u"");
  EXPECT_EQ(first.FirstIndex(1), 3);
  EXPECT_EQ(first.FirstIndex(2), -1);
  EXPECT_EQ(first.Item(3), u"");
  EXPECT_EQ(matches->Item(1)->SubMatches().Item(2), u".com");
}

TEST(RegExpMatches, EmptyMatchesAdvanceOneUnit) {
  EXPECT_EQ(Values(Make(u"a*"), u"baa"), (Texts{u"", u"aa", u""}));
  EXPECT_EQ(Values(Make(u"x*?"), u"xx"), (Texts{u"", u"", u""}));
  EXPECT_EQ(Values(Make(u""), u""), Texts{u""});
}

TEST(RegExpFailures, PatternThatDoesNotCompileFailsExecuteAndReplace) {
  for (std::u16string_view pattern : {u"(", u"a)", u"[z-a]", u"*", u"a{2,1}", u"\\"}) {
    RegExp regexp = Make(pattern);
    EXPECT_FALSE(regexp.Execute(u"anything")) << std::string(pattern.begin(), pattern.end());
    EXPECT_FALSE(regexp.LastError().empty());
    EXPECT_FALSE(regexp.Replace(u"anything", u"x"));
  }
}

TEST(RegExpFailures, DeeplyNestedPatternFailsToCompile) {
  RegExp regexp = Make(std::u16string(100000, u'(') + std::u16string(100000, u')'));
  EXPECT_FALSE(regexp.Execute(u""));
  EXPECT_FALSE(regexp.LastError().empty());
}

TEST(RegExpFailures, CatastrophicBacktrackingHitsTheLimitAndFails) {
  RegExp regexp = Make(u"(a+)+$");
  std::u16string subject(40, u'a');
  subject += u'b';
  EXPECT_FALSE(regexp.Execute(subject));
  EXPECT_FALSE(regexp.LastError().empty());
  auto retry = regexp.Execute(u"aaa");
  ASSERT_TRUE(retry);
  EXPECT_EQ(retry->Item(0)->Value(), u"aaa");
  EXPECT_TRUE(regexp.LastError().empty());
}

TEST(RegExpFailures, PatternCannotRaiseItsOwnLimitsOrSwitchModes) {
  RegExp regexp = Make(u"(*LIMIT_MATCH=4000000000)(a+)+$");
  std::u16string subject(40, u'a');
  subject += u'b';
  EXPECT_FALSE(regexp.Execute(subject));
  EXPECT_FALSE(Make(u"(*UTF)a").Execute(u"a"));
}

TEST(RegExpFailures, DeepBacktrackingOverALongSubjectStillMatches) {
  RegExp regexp = Make(u"^(a|b)*c");
  std::u16string subject(200000, u'a');
  subject += u'c';
  auto matches = regexp.Execute(subject);
  ASSERT_TRUE(matches) << std::string(regexp.LastError().begin(), regexp.LastError().end());
  EXPECT_EQ(matches->Item(0)->Length(), 200001);
  EXPECT_EQ(matches->Item(0)->SubMatches().Item(0), u"a");
}

TEST(RegExpReplace, GroupReferencesAcrossEveryMatch) {
  RegExp regexp = Make(u"(\\w+)=(\\w+)");
  EXPECT_EQ(regexp.Replace(u"a=1, b=2", u"$2:$1"), u"1:a, 2:b");
  regexp.SetGlobal(false);
  EXPECT_EQ(regexp.Replace(u"a=1, b=2", u"$2:$1"), u"1:a, b=2");
}

TEST(RegExpReplace, SpecialSequences) {
  RegExp regexp = Make(u"b");
  EXPECT_EQ(regexp.Replace(u"abc", u"[$&]"), u"a[b]c");
  EXPECT_EQ(regexp.Replace(u"abc", u"[$`]"), u"a[a]c");
  EXPECT_EQ(regexp.Replace(u"abc", u"[$']"), u"a[c]c");
  EXPECT_EQ(regexp.Replace(u"abc", u"$$"), u"a$c");
  EXPECT_EQ(regexp.Replace(u"abc", u"$1$0$x$"), u"a$1$0$x$c");
}

TEST(RegExpReplace, TwoDigitReferencesFallBackToOneDigit) {
  RegExp regexp = Make(u"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)");
  EXPECT_EQ(regexp.Replace(u"abcdefghijk", u"$11$10$01"), u"kja");
  regexp.SetPattern(u"(a)");
  EXPECT_EQ(regexp.Replace(u"a", u"$11"), u"a1");
  regexp.SetPattern(u"(x)?y");
  EXPECT_EQ(regexp.Replace(u"y", u"[$1]"), u"[]");
}

TEST(RegExpReplace, EmptyMatchesInsertBetweenUnits) {
  EXPECT_EQ(Make(u"").Replace(u"ab", u"-"), u"-a-b-");
  EXPECT_EQ(Make(u"x").Replace(u"", u"-"), u"");
}

TEST(RegExpCopy, CopyKeepsSettingsAndMatchesTheSame) {
  RegExp original = Make(u"(\\d)", true, true, true);
  RegExp copy(original);
  EXPECT_EQ(copy.Pattern(), u"(\\d)");
  EXPECT_TRUE(copy.IgnoreCase());
  EXPECT_TRUE(copy.Multiline());
  EXPECT_TRUE(copy.Global());
  EXPECT_EQ(Values(copy, u"1a2"), (Texts{u"1", u"2"}));
  RegExp assigned;
  assigned = original;
  EXPECT_EQ(Values(assigned, u"3"), Texts{u"3"});
}

}  // namespace
