#include "acquisition/Directories.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/xldl/ScratchDirectory.h"

namespace {

TEST(DirectoriesTest, IsDirectoryOnlyForDirectories) {
  ScratchDirectory dir;
  std::ofstream(dir.file("f")) << "x";
  EXPECT_TRUE(IsDirectory(dir.path()));
  EXPECT_TRUE(IsDirectory(dir.path() + "\\"));
  EXPECT_FALSE(IsDirectory(dir.file("f")));
  EXPECT_FALSE(IsDirectory(dir.file("missing")));
}

TEST(DirectoriesTest, EnsureDirectoryCreatesTheWholePathWithOrWithoutFinalSeparator) {
  ScratchDirectory dir;
  EXPECT_TRUE(EnsureDirectory(dir.path() + "\\a\\b\\c"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("a/b/c")));
  EXPECT_TRUE(EnsureDirectory(dir.path() + "\\x\\\\y\\"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("x/y")));
  EXPECT_TRUE(EnsureDirectory(dir.path() + "\\a\\b\\c"));  // existing is fine
}

TEST(DirectoriesTest, EnsureDirectoryFailsUnderAFile) {
  ScratchDirectory dir;
  std::ofstream(dir.file("f")) << "x";
  EXPECT_FALSE(EnsureDirectory(dir.file("f") + "\\sub"));
}

}  // namespace
