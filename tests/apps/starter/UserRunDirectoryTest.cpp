// The user's run directory made from a package and brought up to a changed one.
#include "apps/starter/UserRunDirectory.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/ScratchDirectory.h"

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Sql(const fs::path& db, const std::string& statement) {
  sqlite3* handle = nullptr;
  sqlite3_open(db.c_str(), &handle);
  std::string value;
  sqlite3_exec(
      handle, statement.c_str(),
      [](void* out, int, char** columns, char**) {
        *static_cast<std::string*>(out) = columns[0] ? columns[0] : "";
        return 0;
      },
      &value, nullptr);
  sqlite3_close(handle);
  return value;
}

// A package: the launcher, a layout and the catalogue both where the launcher reads it and as
// published; `name` is the first row's name.
void MakePackage(const fs::path& package, const std::string& name, const std::string& layout) {
  Write(package / "quillbay", "#!/bin/sh\n");
  fs::permissions(package / "quillbay", fs::perms(0755));
  Write(package / "布局文件" / "main.xml", layout);
  const fs::path published = package / "资源文件" / "catalogue" / "CONFIG.db";
  fs::create_directories(published.parent_path());
  fs::remove(published);
  Sql(published, "create table App_List (ID integer, Name text, IsCollection text);"
                 "insert into App_List values (1, '" + name + "', '0'), (2, '视频剪辑', '0')");
  fs::copy_file(published, package / "CONFIG.db", fs::copy_options::overwrite_existing);
}

TEST(UserRunDirectoryTest, AnUpgradeBringsTheNewFilesAndRowsAndKeepsFavouritesAndTools) {
  ScratchDirectory scratch;
  const fs::path package = scratch.path() / "package";
  const fs::path user = scratch.path() / "home" / "share" / "quillbay";
  MakePackage(package, "视频压缩", "<old/>");
  UserRunDirectory directory(package, user);
  std::string error;
  ASSERT_TRUE(directory.prepare(&error)) << error;
  EXPECT_EQ(Read(user / "布局文件" / "main.xml"), "<old/>");
  EXPECT_EQ(fs::status(user / "quillbay").permissions() & fs::perms::owner_exec, fs::perms::owner_exec);
  EXPECT_EQ(fs::status(user).permissions(), fs::perms(0700)) << "another user could read the favourites";
  EXPECT_EQ(Sql(user / "CONFIG.db", "select Name from App_List where ID = 1"), "视频压缩");

  // The user's own: a favourite, a tool, the toolkit file the launcher wrote.
  Sql(user / "CONFIG.db", "update App_List set IsCollection = 1 where ID = 2");
  Write(user / "Application" / "VideoCut" / "video_cut.sh", "tool");
  Write(user / "XCGUI.dll", "old toolkit");
  ASSERT_TRUE(directory.prepare(&error)) << error;
  EXPECT_EQ(Read(user / "XCGUI.dll"), "old toolkit") << "an unchanged package must leave the folder alone";

  sleep(1);  // a file time the listing can tell apart on any file system
  MakePackage(package, "视频压缩专业版", "<new/>");
  ASSERT_TRUE(directory.prepare(&error)) << error;
  EXPECT_EQ(Read(user / "布局文件" / "main.xml"), "<new/>");
  EXPECT_EQ(Sql(user / "CONFIG.db", "select Name from App_List where ID = 1"), "视频压缩专业版");
  EXPECT_EQ(Sql(user / "CONFIG.db", "select IsCollection from App_List where ID = 2"), "1");
  EXPECT_EQ(Read(user / "Application" / "VideoCut" / "video_cut.sh"), "tool");
  EXPECT_FALSE(fs::exists(user / "XCGUI.dll")) << "the new launcher would load the old toolkit";
}

TEST(UserRunDirectoryTest, TheFolderFollowsAnAbsoluteXdgDataHomeElseHome) {
  const char* savedData = std::getenv("XDG_DATA_HOME");
  const std::string saved = savedData ? savedData : "";
  setenv("HOME", "/home/someone", 1);
  setenv("XDG_DATA_HOME", "/data/someone", 1);
  EXPECT_EQ(UserRunDirectory::ForCurrentUser(), fs::path("/data/someone/quillbay"));
  setenv("XDG_DATA_HOME", "relative/data", 1);  // not absolute: ignored, as the XDG rules say
  EXPECT_EQ(UserRunDirectory::ForCurrentUser(), fs::path("/home/someone/.local/share/quillbay"));
  if (savedData) setenv("XDG_DATA_HOME", saved.c_str(), 1); else unsetenv("XDG_DATA_HOME");
}

TEST(UserRunDirectoryTest, APackageWithoutFilesIsRefusedWithAReason) {
  ScratchDirectory scratch;
  UserRunDirectory directory(scratch.path() / "missing", scratch.path() / "user");
  std::string error;
  EXPECT_FALSE(directory.prepare(&error));
  EXPECT_NE(error.find("missing"), std::string::npos) << error;
}

}  // namespace
