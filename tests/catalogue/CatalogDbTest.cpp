#include "catalogue/CatalogDb.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "catalogue/CatalogueFixture.h"

namespace {

TEST(CatalogDbTest, OpenNeverCreatesAMissingFile) {
  ScratchDirectory dir;
  CatalogDb db;
  EXPECT_FALSE(db.open(dir.file("CONFIG.db")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("CONFIG.db")));
  EXPECT_TRUE(db.query("select 1").atEnd());
}

TEST(CatalogDbTest, AFileThatIsNotADatabaseDoesNotOpen) {
  ScratchDirectory dir;
  std::ofstream(dir.file("CONFIG.db")) << "this is not a database, just some text long enough";
  CatalogDb db;
  EXPECT_FALSE(db.open(dir.file("CONFIG.db")));
  EXPECT_FALSE(db.execute("UPDATE App_List SET IsCollection = '1'"));
}

TEST(CatalogDbTest, StatementsThatDoNotCompileGiveNoRowsAndFail) {
  CatalogueFixture file;
  CatalogDb db;
  ASSERT_TRUE(db.open(file.path()));
  RowCursor cursor = db.query("select * from App_List where Name like '%'%'");
  cursor.rewind();
  EXPECT_FALSE(cursor.next());
  EXPECT_TRUE(cursor.atEnd());
  EXPECT_FALSE(db.execute("UPDATE nowhere SET x = 1"));
  EXPECT_TRUE(db.close());
}

TEST(CatalogDbTest, BoundTextsCannotChangeTheStatement) {
  CatalogueFixture file;
  file.exec("INSERT INTO App_List (Name, ID, IsCollection) VALUES ('a', 1, 0), ('b', 2, 0);");
  CatalogDb db;
  ASSERT_TRUE(db.open(file.path()));
  EXPECT_TRUE(db.execute("UPDATE App_List SET IsCollection = '1' WHERE ID =?", {"1' OR '1'='1"}));
  EXPECT_EQ(file.read("select count(*) from App_List where IsCollection = 1"), "0");
  EXPECT_TRUE(db.execute("UPDATE App_List SET IsCollection = '1' WHERE ID =?", {"2"}));
  EXPECT_EQ(file.read("select group_concat(Name) from App_List where IsCollection = 1"), "b");
}

}  // namespace
