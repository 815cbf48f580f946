#include "catalogue/RowCursor.h"

#include <gtest/gtest.h>

#include "catalogue/CatalogDb.h"
#include "catalogue/CatalogueFixture.h"

namespace {

class RowCursorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_.exec("INSERT INTO App_List (Columns, Name, ID, IsCollection) VALUES ('video', 'one', 1, NULL),"
               " ('video', 'two', 2, 1);");
    ASSERT_TRUE(db_.open(file_.path()));
  }
  CatalogueFixture file_;
  CatalogDb db_;
};

TEST_F(RowCursorTest, WalksRowsInOrderAndEndsAfterTheLast) {
  RowCursor cursor = db_.query("select * from App_List");
  cursor.rewind();
  EXPECT_FALSE(cursor.atEnd());
  ASSERT_TRUE(cursor.next());
  EXPECT_EQ(cursor.text("Name"), "one");
  ASSERT_TRUE(cursor.next());
  EXPECT_EQ(cursor.text("Name"), "two");
  EXPECT_FALSE(cursor.next());
  EXPECT_TRUE(cursor.atEnd());
  EXPECT_EQ(cursor.text("Name"), "");  // no current row
}

TEST_F(RowCursorTest, ColumnNamesMatchCaseInsensitivelyAndUnknownOrNullReadEmpty) {
  RowCursor cursor = db_.query("select * from App_List");
  cursor.rewind();
  cursor.next();
  EXPECT_EQ(cursor.text("id"), "1");
  EXPECT_EQ(cursor.text("ID"), "1");
  EXPECT_EQ(cursor.text("isCollection"), "");
  EXPECT_EQ(cursor.text("NoSuchColumn"), "");
}

TEST_F(RowCursorTest, RewindStartsOverAndCloseEndsTheCursor) {
  RowCursor cursor = db_.query("select Name from App_List");
  cursor.rewind();
  cursor.next();
  cursor.next();
  cursor.rewind();
  cursor.next();
  EXPECT_EQ(cursor.text("name"), "one");
  cursor.close();
  EXPECT_TRUE(cursor.atEnd());
  EXPECT_FALSE(cursor.next());
}

TEST(RowCursorWithoutStatementTest, HasNoRows) {
  RowCursor cursor;
  cursor.rewind();
  EXPECT_TRUE(cursor.atEnd());
  EXPECT_FALSE(cursor.next());
  EXPECT_EQ(cursor.text("Name"), "");
}

}  // namespace
