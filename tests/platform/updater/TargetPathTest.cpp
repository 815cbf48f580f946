#include "platform/updater/TargetPath.h"

#include <gtest/gtest.h>

#include "shell/startup/CodePageText.h"
#include "support/ScratchDirectory.h"

namespace fs = std::filesystem;

namespace {

class TargetPathTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(run_); }
  std::optional<fs::path> resolve(const std::string& utf8Path) {
    return TargetPath::resolve(run_, Utf8ToAnsiText(utf8Path));
  }
  ScratchDirectory scratch_;
  fs::path run_ = scratch_.path() / "run";
};

TEST_F(TargetPathTest, APlainRelativePathLandsInsideTheRunDirectory) {
  EXPECT_EQ(resolve("CONFIG.db"), fs::canonical(run_) / "CONFIG.db");
  EXPECT_EQ(resolve("布局文件\\main.xml"), fs::canonical(run_) / "布局文件" / "main.xml");
  EXPECT_EQ(resolve("a/b\\c.txt"), fs::canonical(run_) / "a" / "b" / "c.txt");
}

TEST_F(TargetPathTest, ParentSegmentsAreRefusedWhereverTheyStand) {
  EXPECT_FALSE(resolve("..\\outside.txt"));
  EXPECT_FALSE(resolve("../outside.txt"));
  EXPECT_FALSE(resolve("a\\..\\..\\outside.txt"));
  EXPECT_FALSE(resolve("a\\..\\inside.txt"));
  EXPECT_FALSE(resolve(".."));
}

TEST_F(TargetPathTest, AbsolutePathsAndDriveLettersAreRefused) {
  EXPECT_FALSE(resolve("\\etc\\passwd"));
  EXPECT_FALSE(resolve("/etc/passwd"));
  EXPECT_FALSE(resolve("C:\\Windows\\x.dll"));
  EXPECT_FALSE(resolve("C:x.dll"));
  EXPECT_FALSE(resolve(""));
  EXPECT_FALSE(resolve("."));
}

TEST_F(TargetPathTest, ALinkThatLeadsOutsideIsRefused) {
  fs::create_directories(scratch_.path() / "elsewhere");
  fs::create_directory_symlink(scratch_.path() / "elsewhere", run_ / "linked");
  EXPECT_FALSE(resolve("linked\\file.txt"));
  fs::create_symlink(scratch_.path() / "elsewhere" / "target.txt", run_ / "file-link.txt");
  EXPECT_FALSE(resolve("file-link.txt"));
}

TEST_F(TargetPathTest, AMissingRunDirectoryRefusesEverything) {
  EXPECT_FALSE(TargetPath::resolve(scratch_.path() / "absent", "a.txt"));
}

}  // namespace
