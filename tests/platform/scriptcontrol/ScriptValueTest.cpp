#include "ScriptValue.h"

#include <gtest/gtest.h>
#include <cmath>

namespace {

TEST(ScriptValue, BooleansConvertAsAutomationVariants) {
  EXPECT_EQ(ScriptValue::Boolean(true).toText(), u"-1");
  EXPECT_EQ(ScriptValue::Boolean(false).toText(), u"0");
  EXPECT_EQ(ScriptValue::Boolean(true).toNumber(), -1);
  EXPECT_TRUE(ScriptValue::Boolean(true).toBool());
  EXPECT_FALSE(ScriptValue::Boolean(false).toBool());
}

TEST(ScriptValue, NumbersPrintWholeOrShortest) {
  EXPECT_EQ(ScriptValue::Number(25).toText(), u"25");
  EXPECT_EQ(ScriptValue::Number(-0.0).toText(), u"0");
  EXPECT_EQ(ScriptValue::Number(0.1).toText(), u"0.1");
  EXPECT_EQ(ScriptValue::Number(1e300).toText(), u"1e+300");
  EXPECT_EQ(ScriptValue::Number(NAN).toText(), u"NaN");
  EXPECT_FALSE(ScriptValue::Number(NAN).toBool());
  EXPECT_TRUE(ScriptValue::Number(0.5).toBool());
  EXPECT_FALSE(ScriptValue::Number(0).toBool());
}

TEST(ScriptValue, TextsReadAsNumbersOrZero) {
  EXPECT_EQ(ScriptValue::Text(u" 12.5 ").toNumber(), 12.5);
  EXPECT_EQ(ScriptValue::Text(u"+3").toNumber(), 3);
  EXPECT_EQ(ScriptValue::Text(u"12abc").toNumber(), 0);
  EXPECT_EQ(ScriptValue::Text(u"").toNumber(), 0);
  EXPECT_EQ(ScriptValue::Text(u"二").toNumber(), 0);
  EXPECT_TRUE(ScriptValue::Text(u"TRUE").toBool());
  EXPECT_TRUE(ScriptValue::Text(u"-1").toBool());
  EXPECT_FALSE(ScriptValue::Text(u"false").toBool());
  EXPECT_FALSE(ScriptValue::Text(u"").toBool());
}

TEST(ScriptValue, UndefinedAndNullAreEmptyFalseAndZero) {
  for (const ScriptValue& value : {ScriptValue(), ScriptValue::Null()}) {
    EXPECT_EQ(value.toText(), u"");
    EXPECT_EQ(value.toNumber(), 0);
    EXPECT_FALSE(value.toBool());
  }
  EXPECT_TRUE(ScriptValue().isUndefined());
  EXPECT_FALSE(ScriptValue::Null().isUndefined());
}

}  // namespace
