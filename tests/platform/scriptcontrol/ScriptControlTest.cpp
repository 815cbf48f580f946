#include "ScriptControl.h"

#include <gtest/gtest.h>

namespace {

class ScriptControlTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(script.SetLanguage(u"JavaScript")); }
  ScriptControl script;
};

TEST(ScriptControlLanguage, AcceptsBothJavaScriptNamesInAnyCase) {
  ScriptControl script;
  EXPECT_TRUE(script.SetLanguage(u"JScript"));
  EXPECT_EQ(script.Language(), u"JScript");
  EXPECT_TRUE(script.SetLanguage(u"javascript"));
  EXPECT_FALSE(script.SetLanguage(u"VBScript"));
  EXPECT_EQ(script.Language(), u"javascript");
}

TEST(ScriptControlLanguage, EveryMemberFailsUntilALanguageIsSet) {
  ScriptControl script;
  EXPECT_FALSE(script.AddCode(u"var a = 1"));
  EXPECT_FALSE(script.lastError().empty());
  EXPECT_TRUE(script.Eval(u"1 + 1").isUndefined());
  EXPECT_FALSE(script.ExecuteStatement(u"var b = 2"));
  EXPECT_TRUE(script.Run(u"f").isUndefined());
}

TEST_F(ScriptControlTest, EvalReturnsEachKindOfValue) {
  EXPECT_EQ(script.Eval(u"1 + 2").kind(), ScriptValue::Kind::Number);
  EXPECT_EQ(script.Eval(u"1 + 2").toNumber(), 3);
  EXPECT_EQ(script.Eval(u"'a' + 'b'").toText(), u"ab");
  EXPECT_EQ(script.Eval(u"1 < 2").kind(), ScriptValue::Kind::Boolean);
  EXPECT_TRUE(script.Eval(u"1 < 2").toBool());
  EXPECT_EQ(script.Eval(u"null").kind(), ScriptValue::Kind::Null);
  EXPECT_TRUE(script.Eval(u"undefined").isUndefined());
  ScriptValue object = script.Eval(u"({a: 1})");
  EXPECT_EQ(object.kind(), ScriptValue::Kind::Object);
  EXPECT_EQ(object.toText(), u"[object Object]");
}

TEST_F(ScriptControlTest, VarInEvalAndAddCodeDeclaresGlobals) {
  EXPECT_TRUE(script.Eval(u"var da = {}, n = 5").isUndefined());
  EXPECT_TRUE(script.lastError().empty());
  EXPECT_TRUE(script.AddCode(u"var da = {x: n * 2}; function twice(v) { return v + v; }"));
  EXPECT_EQ(script.Eval(u"da.x").toNumber(), 10);
  EXPECT_EQ(script.Eval(u"twice('ab')").toText(), u"abab");
}

TEST_F(ScriptControlTest, ScriptErrorsFailAndLeaveTheEngineUsable) {
  EXPECT_FALSE(script.AddCode(u"var = ;"));
  EXPECT_NE(script.lastError().find(u"SyntaxError"), std::u16string::npos);
  EXPECT_TRUE(script.Eval(u"missing.member").isUndefined());
  EXPECT_NE(script.lastError().find(u"ReferenceError"), std::u16string::npos);
  EXPECT_TRUE(script.Eval(u"throw {toString: function() { throw 1; }}").isUndefined());
  EXPECT_FALSE(script.lastError().empty());
  EXPECT_EQ(script.Eval(u"40 + 2").toNumber(), 42);
  EXPECT_TRUE(script.lastError().empty());
}

TEST_F(ScriptControlTest, RunCallsAGlobalFunctionWithTextArguments) {
  ASSERT_TRUE(script.ExecuteStatement(u"function join(a, b) { return a + '-' + b; }"));
  EXPECT_EQ(script.Run(u"join", {u"x", u"y"}).toText(), u"x-y");
  EXPECT_TRUE(script.Run(u"absent").isUndefined());
  EXPECT_FALSE(script.lastError().empty());
  ASSERT_TRUE(script.ExecuteStatement(u"var notAFunction = 3"));
  EXPECT_TRUE(script.Run(u"notAFunction").isUndefined());
  ASSERT_TRUE(script.ExecuteStatement(u"function fails() { throw new Error('boom'); }"));
  EXPECT_TRUE(script.Run(u"fails").isUndefined());
  EXPECT_NE(script.lastError().find(u"boom"), std::u16string::npos);
}

TEST_F(ScriptControlTest, UnescapeDecodesPercentUEscapesThroughRun) {
  ASSERT_TRUE(script.ExecuteStatement(u"function xx(){var x='%u5317%u4eac %41';return unescape(x);}"));
  EXPECT_EQ(script.Run(u"xx").toText(), u"北京 A");
}

TEST_F(ScriptControlTest, ChineseAndAstralTextsCrossUnchanged) {
  std::u16string text = u"天气\u2400\U0001F600\"'\\";
  ASSERT_TRUE(script.ExecuteStatement(u"function echo(v) { return v; }"));
  EXPECT_EQ(script.Run(u"echo", {text}).toText(), text);
  EXPECT_EQ(script.Eval(u"'\\ud83d\\ude00'.length").toNumber(), 2);
  EXPECT_EQ(script.Eval(u"String.fromCharCode(9216)").toText(), u"\u2400");
}

TEST(ScriptControlLimits, RunawayAllocationFailsInsteadOfExhaustingMemory) {
  ScriptControl small(8u << 20);
  ASSERT_TRUE(small.SetLanguage(u"JScript"));
  EXPECT_FALSE(small.AddCode(u"var a = []; for (;;) a.push('grow' + a.length);"));
  EXPECT_FALSE(small.lastError().empty());
  EXPECT_TRUE(small.AddCode(u"a = null;"));
  EXPECT_EQ(small.Eval(u"6 * 7").toNumber(), 42);
}

TEST(ScriptControlLimits, ScriptThatNeverEndsIsStoppedInEveryMember) {
  ScriptControl script(ScriptControl::kDefaultMemoryLimit, 100);
  ASSERT_TRUE(script.SetLanguage(u"JavaScript"));
  EXPECT_FALSE(script.AddCode(u"for (;;) {}"));
  EXPECT_NE(script.lastError().find(u"timeout"), std::u16string::npos);
  EXPECT_TRUE(script.Eval(u"(function () { while (true) {} })()").isUndefined());
  EXPECT_FALSE(script.ExecuteStatement(u"do {} while (1)"));
  ASSERT_TRUE(script.AddCode(u"function spin() { for (;;) {} }"));
  EXPECT_TRUE(script.Run(u"spin").isUndefined());
  EXPECT_NE(script.lastError().find(u"timeout"), std::u16string::npos);
  EXPECT_EQ(script.Eval(u"6 * 7").toNumber(), 42);
}

TEST_F(ScriptControlTest, EnginesDoNotShareVariables) {
  ScriptControl other;
  ASSERT_TRUE(other.SetLanguage(u"JavaScript"));
  ASSERT_TRUE(script.AddCode(u"var da = 1"));
  ASSERT_TRUE(other.AddCode(u"var da = 2"));
  EXPECT_EQ(script.Eval(u"da").toNumber(), 1);
  EXPECT_EQ(other.Eval(u"da").toNumber(), 2);
}

TEST_F(ScriptControlTest, EngineHasJsonAndNoHostBindings) {
  EXPECT_EQ(script.Eval(u"JSON.stringify({a: [1, 'b']})").toText(), u"{\"a\":[1,\"b\"]}");
  EXPECT_EQ(script.Eval(u"typeof require + typeof print + typeof setTimeout").toText(),
            u"undefinedundefinedundefined");
}

}  // namespace
