#include "catalogue/CatalogueQueries.h"

#include <gtest/gtest.h>

#include "catalogue/CatalogueFixture.h"

namespace {

// SQL handed straight to SQLite must be UTF-8, while this file's plain literals are CP936.
std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::vector<AnsiText> LoadedNames() {
  std::vector<AnsiText> names;
  for (const AppRecord& record : LoadedRecords()) names.push_back(record.Name);
  return names;
}

class CatalogueQueriesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_.exec(Utf8(
        u8"INSERT INTO App_List (Columns, Name, Cover_path, App_download_http, ID, IsCollection) VALUES"
        u8" ('video', '视频压缩', '\\资源文件\\cover\\a.png', 'http://h/a.zip', 1, 0),"
        u8" ('image', '图片压缩', '', '', 2, 0),"
        u8" ('video', 'PDF Video Maker', '', '', 3, 1),"
        u8" ('more', 'Tom''s 100% tool_kit', '', '', 4, 0),"
        u8" ('ocr', '文字识别OCR', '', '', 5, NULL),"
        u8" ('video', '视频格式转换', '', '', 6, 0);"
        u8"INSERT INTO city_id VALUES ('深圳市', '440300'), ('朝阳区', '110105'), ('朝阳区', '220104');"));
    ASSERT_TRUE(TheCatalogDb().open(file_.path()));
  }
  void TearDown() override { ReleaseCatalogueState(); }
  CatalogueFixture file_;
};

TEST_F(CatalogueQueriesTest, CategoryLoadsExactlyItsRowsInTableOrderWithEveryField) {
  QueryCategory("video");
  EXPECT_EQ(LoadedNames(), (std::vector<AnsiText>{"视频压缩", "PDF Video Maker", "视频格式转换"}));
  const AppRecord& first = LoadedRecords().front();
  EXPECT_EQ(first.Columns, "video");
  EXPECT_EQ(first.Cover_path, "\\资源文件\\cover\\a.png");
  EXPECT_EQ(first.App_download_http, "http://h/a.zip");
  EXPECT_EQ(first.ID, "1");
  EXPECT_EQ(first.IsCollection, "0");
  QueryCategory("gather");
  EXPECT_TRUE(LoadedRecords().empty());
}

TEST_F(CatalogueQueriesTest, SearchFindsChineseAndCaseFoldedAsciiNames) {
  QueryByName("压缩");
  EXPECT_EQ(LoadedNames(), (std::vector<AnsiText>{"视频压缩", "图片压缩"}));
  QueryByName("pdf video");
  EXPECT_EQ(LoadedNames(), (std::vector<AnsiText>{"PDF Video Maker"}));
  QueryByName("");
  EXPECT_EQ(LoadedRecords().size(), 6u);
}

TEST_F(CatalogueQueriesTest, SearchTextWithQuotesAndCommentMarksSearchesForThatText) {
  QueryByName("Tom's");
  EXPECT_EQ(LoadedNames(), (std::vector<AnsiText>{"Tom's 100% tool_kit"}));
  QueryByName("' OR 1=1 --");
  EXPECT_TRUE(LoadedRecords().empty());
  QueryByName("--");
  EXPECT_TRUE(LoadedRecords().empty());
}

TEST_F(CatalogueQueriesTest, PercentAndUnderscoreTypedByTheUserStillActAsWildcards) {
  QueryByName("视频%转换");
  EXPECT_EQ(LoadedNames(), (std::vector<AnsiText>{"视频格式转换"}));
  QueryByName("tool_kit");
  EXPECT_EQ(LoadedNames(), (std::vector<AnsiText>{"Tom's 100% tool_kit"}));
}

TEST_F(CatalogueQueriesTest, FavouriteFlagIsWrittenAndSurvivesAReopen) {
  EXPECT_TRUE(SetFavourite("1", true));
  EXPECT_TRUE(SetFavourite("3", false));
  ReleaseCatalogueState();
  ASSERT_TRUE(TheCatalogDb().open(file_.path()));
  QueryFavourites();
  EXPECT_EQ(LoadedNames(), (std::vector<AnsiText>{"视频压缩"}));
  EXPECT_EQ(file_.read("select typeof(IsCollection) from App_List where ID = 1"), "integer");
}

TEST_F(CatalogueQueriesTest, FavouriteOfAnUnknownIdChangesNothingAndNullIsNotAFavourite) {
  EXPECT_TRUE(SetFavourite("99", true));
  EXPECT_EQ(file_.read("select count(*) from App_List where IsCollection = 1"), "1");
  QueryCategory("ocr");
  ASSERT_EQ(LoadedRecords().size(), 1u);
  EXPECT_EQ(LoadedRecords().front().IsCollection, "");
  QueryFavourites();
  EXPECT_EQ(LoadedNames(), (std::vector<AnsiText>{"PDF Video Maker"}));
}

TEST_F(CatalogueQueriesTest, CityLookupTakesTheFirstRowAndIsEmptyWhenAbsent) {
  EXPECT_EQ(LookupCityAdcode("深圳市"), "440300");
  EXPECT_EQ(LookupCityAdcode("朝阳区"), "110105");
  EXPECT_EQ(LookupCityAdcode("火星市"), "");
  EXPECT_EQ(LookupCityAdcode("深圳'市"), "");
}

TEST_F(CatalogueQueriesTest, WithTheConnectionClosedEveryQueryYieldsNothing) {
  ReleaseCatalogueState();
  QueryCategory("video");
  EXPECT_TRUE(LoadedRecords().empty());
  QueryByName("压缩");
  EXPECT_TRUE(LoadedRecords().empty());
  EXPECT_FALSE(SetFavourite("1", true));
  EXPECT_EQ(LookupCityAdcode("深圳市"), "");
}

}  // namespace
