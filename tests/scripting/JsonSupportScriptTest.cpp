#include "scripting/JsonSupportScript.h"

#include <gtest/gtest.h>

#include "platform/scriptcontrol/ScriptControl.h"

namespace {

std::unique_ptr<ScriptControl> Engine(bool withoutJson) {
  auto engine = std::make_unique<ScriptControl>();
  EXPECT_TRUE(engine->SetLanguage(u"JavaScript"));
  if (withoutJson) EXPECT_TRUE(engine->AddCode(u"delete JSON.stringify; delete JSON.parse;"));
  EXPECT_TRUE(engine->AddCode(JsonSupportScript()));
  return engine;
}

TEST(JsonSupportScript, KeepsTheEnginesOwnJson) {
  auto engine = Engine(false);
  EXPECT_NE(engine->Eval(u"String(JSON.stringify)").toText().find(u"native"), std::u16string::npos);
  EXPECT_NE(engine->Eval(u"String(JSON.parse)").toText().find(u"native"), std::u16string::npos);
  EXPECT_EQ(engine->Eval(u"typeof Object.prototype.toJSONString").toText(), u"function");
}

TEST(JsonSupportScript, InstallsJsonWhereTheEngineLacksIt) {
  auto engine = Engine(true);
  EXPECT_EQ(engine->Eval(u"String(JSON.stringify).indexOf('native')").toNumber(), -1);
  EXPECT_EQ(engine->Eval(u"String(JSON.parse).indexOf('native')").toNumber(), -1);
}

TEST(JsonSupportScript, FallbackStringifyMatchesTheNativeOne) {
  auto fallback = Engine(true);
  auto native = Engine(false);
  const char16_t* cases[] = {
      u"JSON.stringify({a: [1, 'two', true, null, undefined, function () {}], b: {c: '\\u0001\"\\\\\\n'}})",
      u"JSON.stringify([new Date(0), NaN, Infinity, -0, 1e21, 0.1, new Number(3), new String('s')])",
      u"JSON.stringify({x: 1, y: [2, {z: 3}]}, null, 2)",
      u"JSON.stringify({x: 1, y: 2, z: {x: 3, w: 4}}, ['x', 'z'])",
      u"JSON.stringify({a: 1, b: 'k'}, function (k, v) { return typeof v === 'number' ? v * 10 : v; })",
      u"JSON.stringify('北京\\u2028')",
      u"JSON.stringify(undefined) === undefined",
      u"JSON.stringify({toJSON: function (key) { return 'via ' + key; }})",
      u"JSON.stringify([], null, '\\t') + JSON.stringify({}, null, 4)",
  };
  for (const char16_t* script : cases) {
    ScriptValue expected = native->Eval(script);
    ScriptValue actual = fallback->Eval(script);
    EXPECT_EQ(actual.toText(), expected.toText()) << std::string(script, script + 40);
    EXPECT_TRUE(fallback->lastError().empty());
  }
}

TEST(JsonSupportScript, FallbackParseReadsJsonAndRejectsTheRest) {
  auto engine = Engine(true);
  EXPECT_EQ(
      engine
          ->Eval(
              u"JSON.stringify(JSON.parse(' {\"a\": [1, -2.5e3, \"\\\\u5317\\\\n\", true, false, null]} '))")
          .toText(),
      u"{\"a\":[1,-2500,\"北\\n\",true,false,null]}");
  EXPECT_EQ(
      engine->Eval(u"JSON.parse('[1, {\"b\": 2}]', function (k, v) { return v === 2 ? 'two' : v; })[1].b")
          .toText(),
      u"two");
  for (const char16_t* bad :
       {u"JSON.parse('{a: 1}')", u"JSON.parse('[1,]')", u"JSON.parse('01')", u"JSON.parse('\"\\t\"')",
        u"JSON.parse('[1] x')", u"JSON.parse('')", u"JSON.parse('\"\\\\x41\"')", u"JSON.parse('tru')"}) {
    EXPECT_TRUE(engine->Eval(bad).isUndefined()) << std::string(bad, bad + 20);
    EXPECT_NE(engine->lastError().find(u"SyntaxError"), std::u16string::npos);
  }
}

TEST(JsonSupportScript, CyclicStructureFailsInTheFallback) {
  auto engine = Engine(true);
  EXPECT_TRUE(engine->Eval(u"var o = {}; o.self = o; JSON.stringify(o)").isUndefined());
  EXPECT_NE(engine->lastError().find(u"TypeError"), std::u16string::npos);
}

TEST(JsonSupportScript, ObjectHelpersWrapStringifyAndParse) {
  auto engine = Engine(true);
  EXPECT_EQ(engine->Eval(u"({a: [1]}).toJSONString()").toText(), u"{\"a\":[1]}");
  EXPECT_EQ(engine->Eval(u"'{\"b\": 2}'.parseJSON().b").toNumber(), 2);
}

TEST(JsonSupportScript, SupportFunctions) {
  auto engine = Engine(false);
  EXPECT_EQ(engine->Eval(u"get__count([1, 2, 3]) + get__count({length: 3}) + get__count('abc')").toNumber(),
            3);
  EXPECT_EQ(engine->Eval(u"get__name_All({a: 1, b: function () {}, c: null})").toText(), u"a\r\nc");
  EXPECT_EQ(engine->Eval(u"get__name_All([1, 2])").toText(), u"");
  EXPECT_EQ(
      engine->Eval(u"var str_all = []; get__nodeValue({a: 'x', b: [1, {c: true}]}, true).join(',')").toText(),
      u"x,1,true");
  EXPECT_EQ(engine->Eval(u"var str_all = []; get__nodeValue({a: 'x', b: [1, {c: true}]}, false).join(',')")
                .toText(),
            u"x");
  EXPECT_EQ(engine->Eval(u"JSON.stringify(get__extend([1], [2, 3]))").toText(), u"[1,2,3]");
  EXPECT_EQ(
      engine
          ->Eval(u"JSON.stringify(get__extend({a: 's', b: {c: 1}, f: null}, {a: 't', b: {d: 2}, f: {g: 1}}))")
          .toText(),
      u"{\"a\":\"t\",\"b\":{\"c\":1,\"d\":2},\"f\":{\"g\":1}}");
  EXPECT_EQ(engine->Eval(u"var t = {m: function () { return 1; }}; get__extend(t, {m: 5}); t.m()").toNumber(),
            1);
}

}  // namespace
