#include "scripting/JsonDocument.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/scriptcontrol/ScriptControl.h"
#include "platform/win32/Win32.h"

namespace {

const char kWeather[] =
    "{\"status\":\"1\",\"count\":\"1\",\"lives\":[{\"province\":\"广东\",\"city\":\"深圳市\","
    "\"weather\":\"晴\",\"temperature\":\"25\",\"winddirection\":\"东南\",\"windpower\":\"≤3\","
    "\"humidity\":\"60\"}]}";

class JsonDocumentTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(NewJsonDocument(doc)); }
  JsonDocument doc;
};

using Texts = std::vector<AnsiText>;

TEST(JsonDocumentMaking, NewDocumentIsNamedDaAndHoldsAnEmptyObject) {
  JsonDocument doc;
  EXPECT_EQ(doc.toJson(), "");
  EXPECT_TRUE(NewJsonDocument(doc));
  EXPECT_EQ(doc.name(), "da");
  EXPECT_EQ(doc.toJson(), "{}");
  EXPECT_NE(doc.scriptObject(), nullptr);
}

TEST(JsonDocumentMaking, DocumentWithoutEngineYieldsNothing) {
  JsonDocument doc;
  std::vector<AnsiText> names{"stale"};
  EXPECT_FALSE(doc.clear());
  EXPECT_FALSE(doc.setValue("a", "1"));
  EXPECT_FALSE(doc.exists());
  EXPECT_EQ(doc.typeOf("a"), 0);
  EXPECT_EQ(doc.getText("a"), "");
  EXPECT_EQ(doc.count(), 0);
  EXPECT_EQ(doc.memberNames(names), 0);
  EXPECT_EQ(doc.getNumber("a"), 0);
  EXPECT_EQ(doc.scriptObject(), nullptr);
}

TEST(JsonDocumentMaking, ParseCreatesTheEngineWhenMissing) {
  JsonDocument doc;
  doc.setName("da");
  EXPECT_TRUE(doc.parse("{\"a\": 1}"));
  EXPECT_EQ(doc.getText("a"), "1");
}

TEST_F(JsonDocumentTest, ReadsTheWeatherAnswerByPath) {
  ASSERT_TRUE(doc.parse(kWeather));
  EXPECT_EQ(doc.getText("lives[0].temperature"), "25");
  EXPECT_EQ(doc.getText("lives[0].winddirection"), "东南");
  EXPECT_EQ(doc.getText("lives[0].windpower"), "≤3");
  EXPECT_EQ(doc.getText("lives[0].city"), "深圳市");
  EXPECT_EQ(doc.getText("da.lives[0].humidity"), "60");
  EXPECT_EQ(doc.getText("lives[1].temperature"), "");
  EXPECT_EQ(doc.getText("forecast.temperature"), "");
}

TEST_F(JsonDocumentTest, PathsIntoNestedObjectsAndArrays) {
  ASSERT_TRUE(doc.parse("[{\"a\": {\"b\": [10, 20, {\"c\": \"深\"}]}}, 7]"));
  EXPECT_EQ(doc.getText("[0].a.b[1]"), "20");
  EXPECT_EQ(doc.getText("[0].a.b[2].c"), "深");
  EXPECT_EQ(doc.getText("[1]"), "7");
  EXPECT_EQ(doc.getText("", true), "[{\"a\":{\"b\":[10,20,{\"c\":\"深\"}]}},7]");
  EXPECT_EQ(doc.count(), 2);
  EXPECT_EQ(doc.count("[0].a.b"), 3);
}

TEST_F(JsonDocumentTest, ResolvePathPrefixesTheName) {
  ASSERT_TRUE(doc.parse("{\"a\": {\"b\": 1}, \"data\": 2}"));
  AnsiText path = "a.b";
  EXPECT_TRUE(doc.resolvePath(path));
  EXPECT_EQ(path, "da.a.b");
  path = "";
  EXPECT_TRUE(doc.resolvePath(path));
  EXPECT_EQ(path, "da");
  path = "[0]";
  EXPECT_FALSE(doc.resolvePath(path));
  EXPECT_EQ(path, "da[0]");
  path = "da.a";
  EXPECT_TRUE(doc.resolvePath(path));
  EXPECT_EQ(path, "da.a");
  path = "data";
  EXPECT_TRUE(doc.resolvePath(path));
  EXPECT_EQ(path, "da.data");
  EXPECT_FALSE(doc.exists("a.c"));
  EXPECT_FALSE(doc.exists("x.y.z"));
  EXPECT_TRUE(doc.exists("a"));
}

TEST_F(JsonDocumentTest, ParseFailsOnMalformedTextAndLeavesNull) {
  EXPECT_FALSE(doc.parse("{\"a\": "));
  EXPECT_EQ(doc.typeOf(), 0);
  EXPECT_EQ(doc.toJson(), "null");
  EXPECT_FALSE(doc.parse(""));
  EXPECT_FALSE(doc.parse("null"));
  EXPECT_FALSE(doc.parse("{\"a\": 1}}"));
  EXPECT_TRUE(doc.parse("{\"a\": 1}"));
}

TEST_F(JsonDocumentTest, DeepNestingFailsInsteadOfOverflowingTheStack) {
  EXPECT_FALSE(doc.parse(AnsiText(200000, '[') + AnsiText(200000, ']')));
  AnsiText nested = AnsiText(100, '[') + "1" + AnsiText(100, ']');
  EXPECT_TRUE(doc.parse(nested));
  EXPECT_EQ(doc.toJson(), nested);
}

TEST_F(JsonDocumentTest, LiteralFlagAssignsTheTextDirectly) {
  EXPECT_TRUE(doc.parse("{a: 1, 'b': [true]}", true));
  EXPECT_EQ(doc.getText("b", true), "[true]");
  EXPECT_TRUE(doc.parse("'文字'", true));
  EXPECT_EQ(doc.getText(), "文字");
}

TEST_F(JsonDocumentTest, NumbersReadAndWrite) {
  ASSERT_TRUE(doc.parse("{\"n\": 25, \"f\": -0.5, \"big\": 1e21, \"s\": \"12\"}"));
  EXPECT_EQ(doc.getNumber("n"), 25);
  EXPECT_EQ(doc.getNumber("f"), -0.5);
  EXPECT_EQ(doc.getNumber("big"), 1e21);
  EXPECT_EQ(doc.getNumber("s"), 12);
  EXPECT_EQ(doc.getNumber("missing"), 0);
  EXPECT_TRUE(doc.setNumber("m", 0.1));
  EXPECT_EQ(doc.getText("m"), "0.1");
  EXPECT_TRUE(doc.setNumber("z", 0));
  EXPECT_EQ(doc.typeOf("z"), JsonDocument::kTypeNumber);
  EXPECT_TRUE(doc.setNumber("n", 3e-7));
  EXPECT_EQ(doc.getNumber("n"), 3e-7);
}

TEST_F(JsonDocumentTest, TypeCodes) {
  ASSERT_TRUE(doc.parse("{\"b\": false, \"n\": 1, \"o\": {}, \"a\": [], \"s\": \"\", \"z\": null}"));
  EXPECT_EQ(doc.typeOf("b"), 1);
  EXPECT_EQ(doc.typeOf("n"), 2);
  EXPECT_EQ(doc.typeOf("o"), 4);
  EXPECT_EQ(doc.typeOf("a"), 5);
  EXPECT_EQ(doc.typeOf("s"), 6);
  EXPECT_EQ(doc.typeOf("z"), 0);
  EXPECT_EQ(doc.typeOf("missing"), 0);
  EXPECT_EQ(doc.typeOf("missing.deeper"), 0);
  ASSERT_TRUE(doc.setJson("f", "function () { return 1; }"));
  EXPECT_EQ(doc.typeOf("f"), -1);
}

TEST_F(JsonDocumentTest, TextWithBackslashesQuotesAndLineBreaksRoundTrips) {
  AnsiText text = "C:\\新建\\file \"quoted\" 'single'\r\nnext\\";
  ASSERT_TRUE(doc.setValue("path", text));
  EXPECT_EQ(doc.getText("path"), text);
  EXPECT_EQ(doc.getJsonText("path"), "\"C:\\新建\\file \\\"quoted\\\" 'single'\\r\\nnext\\\"");
  EXPECT_EQ(doc.typeOf("path"), JsonDocument::kTypeString);
  auto engine = doc.scriptObject();
  EXPECT_EQ(engine->Eval(u"da.path.indexOf('\\\\')").toNumber(), -1);
  EXPECT_EQ(engine->Eval(u"da.path.charCodeAt(2)").toNumber(), 9216);
}

TEST_F(JsonDocumentTest, SetValueOfEmptyTextAndOfTextsThatLookLikeFalse) {
  EXPECT_TRUE(doc.setValue("e", ""));
  EXPECT_EQ(doc.typeOf("e"), JsonDocument::kTypeString);
  EXPECT_TRUE(doc.setValue("f", "0"));
  EXPECT_EQ(doc.getText("f"), "0");
  EXPECT_FALSE(doc.setValue("a.b.c", "x"));
}

TEST_F(JsonDocumentTest, ChineseTextRoundTripsThroughEveryReader) {
  ASSERT_TRUE(doc.setValue("城市", "北京"));
  EXPECT_EQ(doc.getText("城市"), "北京");
  EXPECT_EQ(doc.toJson(), "{\"城市\":\"北京\"}");
  std::vector<AnsiText> names;
  EXPECT_EQ(doc.memberNames(names), 1);
  EXPECT_EQ(names, Texts{"城市"});
  ASSERT_TRUE(doc.parse(doc.toJson()));
  EXPECT_EQ(doc.getText("城市"), "北京");
}

TEST_F(JsonDocumentTest, SetValueWithJsonMergesIntoAnObject) {
  ASSERT_TRUE(
      doc.parse("{\"o\": {\"s\": \"old\", \"keep\": 1, \"list\": [1], \"inner\": {\"x\": 1}, \"n\": null}}"));
  ASSERT_TRUE(doc.setValue(
      "o", "{\"s\": \"new\", \"add\": true, \"list\": [2, 3], \"inner\": {\"y\": 2}, \"n\": 5}", true));
  EXPECT_EQ(doc.getText("o", true),
            "{\"s\":\"new\",\"keep\":1,\"list\":[1,2,3],\"inner\":{\"x\":1,\"y\":2},\"n\":5,\"add\":true}");
}

TEST_F(JsonDocumentTest, SetValueWithJsonReplacesNumbersAndNonObjects) {
  ASSERT_TRUE(doc.parse("{\"o\": {\"n\": 1}, \"a\": [1], \"s\": \"t\"}"));
  ASSERT_TRUE(doc.setValue("o", "{\"n\": 2}", true));
  EXPECT_EQ(doc.getNumber("o.n"), 2);
  ASSERT_TRUE(doc.setValue("a", "[9]", true));
  EXPECT_EQ(doc.getText("a", true), "[9]");
  ASSERT_TRUE(doc.setValue("s", "", true));
  EXPECT_EQ(doc.getText("s", true), "{}");
  ASSERT_TRUE(doc.setValue("new", "[1, {\"k\": \"值\"}]", true));
  EXPECT_EQ(doc.getText("new[1].k"), "值");
  EXPECT_FALSE(doc.setValue("bad", "{", true));
}

TEST_F(JsonDocumentTest, SetJsonReplacesTheValueAtThePath) {
  ASSERT_TRUE(doc.setJson("a", "{\"b\": [1, 2]}"));
  EXPECT_EQ(doc.count("a.b"), 2);
  ASSERT_TRUE(doc.setJson("", "[0]"));
  EXPECT_EQ(doc.toJson(), "[0]");
  EXPECT_FALSE(doc.setJson("x", "[1,"));
}

TEST_F(JsonDocumentTest, CountAndMemberNamesOnlyForArraysAndObjects) {
  ASSERT_TRUE(doc.parse("{\"o\": {\"a\": 1, \"b\": {}, \"c\": []}, \"s\": \"text\", \"a\": [1, 2]}"));
  EXPECT_EQ(doc.count("o"), 0);
  EXPECT_EQ(doc.count("s"), 0);
  EXPECT_EQ(doc.count("a"), 2);
  EXPECT_EQ(doc.count("missing"), 0);
  std::vector<AnsiText> names{"stale"};
  EXPECT_EQ(doc.memberNames(names, "o"), 3);
  EXPECT_EQ(names, (Texts{"a", "b", "c"}));
  EXPECT_EQ(doc.memberNames(names, "a"), 0);
  EXPECT_TRUE(names.empty());
  EXPECT_EQ(doc.memberNames(names), 3);
}

TEST_F(JsonDocumentTest, AddToArrayReplacesNonArraysAndPushesOrUnshifts) {
  ASSERT_TRUE(doc.parse("{\"list\": \"not an array\"}"));
  EXPECT_TRUE(doc.addToArray("一", "list"));
  EXPECT_TRUE(doc.addToArray("{\"n\": 2}", "list", true));
  EXPECT_TRUE(doc.addToArray("零", "list", false, true));
  EXPECT_EQ(doc.getText("list", true), "[\"零\",\"一\",{\"n\":2}]");
  EXPECT_TRUE(doc.addToArray("x", "fresh"));
  EXPECT_EQ(doc.count("fresh"), 1);
}

TEST_F(JsonDocumentTest, AddToArrayWithASingleQuoteFails) {
  EXPECT_FALSE(doc.addToArray("it's", "list"));
  EXPECT_EQ(doc.count("list"), 0);
}

TEST_F(JsonDocumentTest, ArrayItemsReadSetAndRemove) {
  ASSERT_TRUE(doc.parse("{\"a\": [\"x\", 5, {\"k\": \"v\"}]}"));
  EXPECT_EQ(doc.getArrayItemText(0, "a"), "x");
  EXPECT_EQ(doc.getArrayItemText(1, "a"), "5");
  EXPECT_EQ(doc.getArrayItemText(2, "a", true), "{\"k\":\"v\"}");
  EXPECT_EQ(doc.getArrayItemText(9, "a"), "");
  EXPECT_TRUE(doc.setArrayItem(1, "a", "五"));
  EXPECT_TRUE(doc.setArrayItem(3, "a", "[1]", true));
  EXPECT_EQ(doc.getText("a", true), "[\"x\",\"五\",{\"k\":\"v\"},[1]]");
  EXPECT_TRUE(doc.removeArrayItem(0, "a"));
  EXPECT_EQ(doc.count("a"), 3);
  EXPECT_FALSE(doc.removeArrayItem(0, "missing"));
  EXPECT_FALSE(doc.setArrayItem(0, "a", "it's"));
}

TEST_F(JsonDocumentTest, RemoveDeletesMembers) {
  ASSERT_TRUE(doc.parse("{\"a\": 1, \"b\": {\"c\": 2}}"));
  EXPECT_TRUE(doc.remove("a"));
  EXPECT_TRUE(doc.remove("b.c"));
  EXPECT_EQ(doc.toJson(), "{\"b\":{}}");
  EXPECT_FALSE(doc.remove("x.y"));
}

TEST_F(JsonDocumentTest, RemovingTheRootLeavesNothingUntilTheNextParse) {
  EXPECT_TRUE(doc.remove(""));
  EXPECT_EQ(doc.typeOf(), 0);
  EXPECT_EQ(doc.toJson(), "");
  EXPECT_FALSE(doc.setValue("a", "1"));
  EXPECT_TRUE(doc.parse("{\"a\": 2}"));
  EXPECT_EQ(doc.getText("a"), "2");
}

TEST_F(JsonDocumentTest, ClearEmptiesTheDocument) {
  ASSERT_TRUE(doc.parse("[1, 2]"));
  EXPECT_TRUE(doc.clear());
  EXPECT_EQ(doc.toJson(), "{}");
}

TEST_F(JsonDocumentTest, GetObjectCopiesIntoANewDocumentOfItsOwn) {
  ASSERT_TRUE(doc.parse("{\"lives\": [{\"t\": \"25\"}, {\"t\": \"26\"}], \"o\": {\"k\": [1]}}"));
  ASSERT_TRUE(doc.setValue("o.path", "a\\b"));
  JsonDocument object = doc.getObject("o");
  EXPECT_EQ(object.name(), "da");
  EXPECT_EQ(object.getText("k", true), "[1]");
  EXPECT_EQ(object.getText("path"), "a\\b");
  EXPECT_TRUE(object.setValue("k", "changed"));
  EXPECT_EQ(doc.getText("o.k", true), "[1]");
  JsonDocument item = doc.getArrayItemObject(1, "lives");
  EXPECT_EQ(item.getText("t"), "26");
  JsonDocument missing = doc.getObject("nothing");
  EXPECT_EQ(missing.typeOf(), 0);
}

TEST_F(JsonDocumentTest, AllValuesListsSimpleValuesAndSplitsAtTheSeparator) {
  ASSERT_TRUE(
      doc.parse("{\"a\": \"一\", \"b\": 2, \"c\": true, \"d\": {\"e\": \"深\", \"f\": [3]}, \"g\": null}"));
  std::vector<AnsiText> values;
  EXPECT_EQ(doc.allValues(values), 3);
  EXPECT_EQ(values, (Texts{"一", "2", "true"}));
  EXPECT_EQ(doc.allValues(values, "", true), 5);
  EXPECT_EQ(values, (Texts{"一", "2", "true", "深", "3"}));
  ASSERT_TRUE(doc.setValue("d.e", "左[2020年7月20日20时0分0秒]右\\"));
  EXPECT_EQ(doc.allValues(values, "d"), 2);
  EXPECT_EQ(values, (Texts{"左", "右\\"}));
}

TEST_F(JsonDocumentTest, CopiesShareOneEngine) {
  JsonDocument copy(doc);
  ASSERT_TRUE(copy.setValue("shared", "yes"));
  EXPECT_EQ(doc.getText("shared"), "yes");
  EXPECT_EQ(copy.scriptObject(), doc.scriptObject());
  JsonDocument other;
  ASSERT_TRUE(NewJsonDocument(other));
  EXPECT_EQ(other.getText("shared"), "");
  other = copy;
  EXPECT_EQ(other.getText("shared"), "yes");
}

TEST_F(JsonDocumentTest, ScriptInTheAnswerCannotReachTheHost) {
  EXPECT_FALSE(doc.parse("{\"a\": require('fs')}"));
  EXPECT_FALSE(doc.parse("{\"a\": (function () { for (var s = 'x';; s += s) {} })()}"));
  EXPECT_FALSE(doc.parse("{\"a\": (function () { for (;;) {} })()}"));
  EXPECT_TRUE(doc.parse("{\"a\": 1}"));
  EXPECT_EQ(doc.getNumber("a"), 1);
}

TEST(JsonDocumentLifetime, DocumentsOnSeveralThreadsKeepTheirOwnValues) {
  std::vector<AnsiText> seen(4);
  std::vector<std::thread> workers;
  for (size_t i = 0; i < seen.size(); ++i)
    workers.emplace_back([i, &seen] {
      JsonDocument doc;
      NewJsonDocument(doc);
      for (int round = 0; round < 50; ++round)
        doc.parse("{\"lives\": [{\"temperature\": \"" + std::to_string(i) + "\"}]}");
      seen[i] = doc.getText("lives[0].temperature");
    });
  for (std::thread& worker : workers) worker.join();
  EXPECT_EQ(seen, (Texts{"0", "1", "2", "3"}));
}

TEST(JsonDocumentLifetime, BalancesComInitialisationOnItsThread) {
  long during = -1, after = -1;
  std::thread worker([&] {
    {
      JsonDocument doc;
      NewJsonDocument(doc);
      doc.create();
      JsonDocument copy(doc);
      JsonDocument object = doc.getObject();
      during = CoInitialize(nullptr);
      CoUninitialize();
    }
    after = CoInitialize(nullptr);
    CoUninitialize();
  });
  worker.join();
  EXPECT_EQ(during, 1);
  EXPECT_EQ(after, 0);
}

}  // namespace
