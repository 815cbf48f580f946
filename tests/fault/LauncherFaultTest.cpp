// The real launcher under X with a broken run directory (the catalogue missing, read-only,
// truncated or not a database; a layout file missing or not XML; a toolkit library file that is
// not a library) or a tool download that goes wrong (an archive cut short by a lying length, a
// full disk). Each run ends with a message, or with the main window (the documented fallback)
// and a clean close; none crashes or hangs, and the favourites in a readable CONFIG.db are the
// same afterwards.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "e2e/DisplayTest.h"
#include "e2e/LauncherSession.h"
#include "fault/LyingHttpServer.h"
#include "fault/ScopedMount.h"
#include "fault/StderrToFile.h"
#include "support/CommandOutput.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kFavourites = "select group_concat(ID) from App_List where IsCollection = 1";

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Overwrite(const std::string& path, const std::string& contents) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << contents;
}

bool Titled(const std::string& window, const std::string& title) {
  return CommandOutput("xprop -id " + window + " _NET_WM_NAME 2>/dev/null") ==
         "_NET_WM_NAME(UTF8_STRING) = \"" + title + "\"";
}

// A real ZIP (Python's zipfile module) with the first video tool's launch script and a megabyte
// that does not compress, so that a cut or a full disk meets the archive in the middle.
std::string ToolArchive(const std::string& directory) {
  std::string archive = directory + "/video_compress.zip";
  CommandOutput("python3 -c \"import os, zipfile; z = zipfile.ZipFile('" + archive +
                "', 'w'); z.writestr('video_compress.sh', '#!/bin/sh\\necho ok\\n'); "
                "z.writestr('data.bin', os.urandom(1 << 20)); z.close()\"");
  return Contents(archive);
}

class LauncherFaultTest : public DisplayTest {
 protected:
  // Two favourites the user marked in an earlier run; every case must leave them as they are.
  static void MarkFavourites(const LauncherSession& launcher) {
    launcher.catalogue("update App_List set IsCollection = 1 where ID in (3, 5)");
    ASSERT_EQ(launcher.catalogue(kFavourites), "3,5");
  }

  // The session gets its own copy of the layouts, so that one of them can be broken.
  static std::string OwnLayouts(const LauncherSession& launcher) {
    fs::path layouts = launcher.runFile("布局文件");
    fs::remove(layouts);
    fs::copy(fs::path(QB_RUN_DIR) / "布局文件", layouts, fs::copy_options::recursive);
    return layouts.string();
  }

  // Starts the launcher with its stderr in the session's directory and passes the start-up notice.
  std::string startPastNotice(LauncherSession& launcher, const std::string& next) {
    errors_ = launcher.workFile("stderr.txt");
    {
      StderrToFile capture(errors_);
      if (!launcher.start()) return "";
    }
    std::string notice = launcher.waitForWindow("信息：");
    if (notice.empty()) return "";
    // Enter again only while the notice is still up after a long while, since a second key could
    // dismiss the next box. The next box may get the notice's window id, so the title tells
    // which is up.
    for (int attempt = 0; attempt < 5 && Titled(notice, "信息："); ++attempt) {
      launcher.pressEnterIn(notice);
      for (int wait = 0; wait < 40 && Titled(notice, "信息："); ++wait) usleep(100000);
    }
    return launcher.waitForWindow(next, 20000);
  }

  // The failure ends with a message box titled 错误; dismissing it ends the process with 1.
  void expectErrorBoxAndExit(LauncherSession& launcher, const std::string& shot) {
    std::string error = startPastNotice(launcher, "错误");
    if (error.empty()) launcher.screenshot(shot + "-no-box");
    ASSERT_FALSE(error.empty()) << "no message box; stderr: " << errors();
    launcher.screenshot(shot);
    EXPECT_EQ(launcher.pressEnterUntilExit(error), 1) << "stderr: " << errors();
  }

  // The fallback: the main window opens, the video list can be shown, and the close button ends
  // the process with 0. With `clickStar` the first card's favourite button is pressed on the way.
  void expectWindowAndCleanClose(LauncherSession& launcher, const std::string& shot, bool clickStar) {
    std::string window = startPastNotice(launcher, "办公小工具箱");
    if (window.empty()) launcher.screenshot(shot + "-no-window");
    ASSERT_FALSE(window.empty()) << "no main window; stderr: " << errors();
    launcher.click(kLeft + 28, kTop + 64 + 30 + 20);  // 视屏处理
    launcher.moveTo(kLeft + 800, kTop + 500);
    launcher.waitUntilStill(Area(700, 300, 0, 150));  // the cards move while the column narrows
    if (clickStar) launcher.click(kLeft + 362, kTop + 256);
    launcher.screenshot(shot);
    launcher.click(kLeft + 1139, kTop + 30);
    EXPECT_EQ(launcher.waitForExit(8000), 0) << "stderr: " << errors();
  }

  std::string errors() const { return Contents(errors_); }

  // Points the first video tool at `url`, opens the video list and presses the first card's
  // indicator; returns the 提示 box that tells how the install ended, or "".
  std::string installFirstVideoTool(LauncherSession& launcher, const std::string& url) {
    launcher.catalogue("update App_List set App_download_http = '" + url + "' where ID = 1");
    if (startPastNotice(launcher, "办公小工具箱").empty()) return "";
    launcher.click(kLeft + 28, kTop + 64 + 30 + 20);  // 视屏处理
    launcher.moveTo(kLeft + 800, kTop + 500);         // the column narrows
    launcher.waitUntilStill(Area(700, 300, 0, 150));
    launcher.click(kLeft + 565, kTop + 221);
    return launcher.waitForWindow("提示", 60000);
  }

  // After a failed install: the user was told, nothing is installed, no archive is left, the
  // window still closes cleanly and the favourites are as they were.
  void expectNothingInstalled(LauncherSession& launcher, const std::string& message,
                              const std::string& shot) {
    ASSERT_FALSE(message.empty()) << "the user was not told";
    launcher.screenshot(shot);
    launcher.pressEnterIn(message);
    EXPECT_FALSE(fs::exists(launcher.runFile("Application/VideoCompress")));
    EXPECT_FALSE(fs::exists(launcher.runFile("Application/video_compress.zip")));
    launcher.click(kLeft + 1139, kTop + 30);
    EXPECT_EQ(launcher.waitForExit(8000), 0);
    EXPECT_EQ(launcher.catalogue(kFavourites), "3,5");
  }

  std::string errors_;
};

TEST_F(LauncherFaultTest, WithoutACatalogueTheWindowOpensEmptyAndNoFileIsMade) {
  LauncherSession::Options options;
  options.withCatalogue = false;
  LauncherSession launcher(options);
  expectWindowAndCleanClose(launcher, "fault-catalogue-missing", true);
  EXPECT_FALSE(fs::exists(launcher.runFile("CONFIG.db")));
}

TEST_F(LauncherFaultTest, AReadOnlyCatalogueIsReadAndNeverChanged) {
  LauncherSession launcher;
  MarkFavourites(launcher);
  std::string database = launcher.runFile("CONFIG.db");
  std::string before = Contents(database);
  fs::permissions(database, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  std::string why;
  auto readOnly = ScopedMount::ReadOnly(database, why);  // root writes through permission bits
  if (::geteuid() == 0 && !readOnly) GTEST_SKIP() << "cannot make the file read-only for root: " << why;

  expectWindowAndCleanClose(launcher, "fault-catalogue-read-only", true);
  EXPECT_TRUE(Contents(database) == before) << "the read-only catalogue changed";
  EXPECT_EQ(launcher.catalogue(kFavourites), "3,5");
}

TEST_F(LauncherFaultTest, ACatalogueInAReadOnlyDirectoryIsReadAndNeverChanged) {
  LauncherSession launcher;
  MarkFavourites(launcher);
  std::string database = launcher.runFile("CONFIG.db");
  std::string before = Contents(database);
  fs::path directory = fs::path(database).parent_path();
  fs::permissions(directory, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  std::string why;
  auto readOnly = ScopedMount::ReadOnly(directory.string(), why);
  if (::geteuid() == 0 && !readOnly) GTEST_SKIP() << "cannot make the directory read-only for root: " << why;

  expectWindowAndCleanClose(launcher, "fault-catalogue-read-only-directory", true);
  readOnly.reset();
  fs::permissions(directory, fs::perms::owner_write, fs::perm_options::add);  // so it can be removed
  EXPECT_TRUE(Contents(database) == before) << "the catalogue in a read-only directory changed";
  EXPECT_EQ(launcher.catalogue(kFavourites), "3,5");
}

TEST_F(LauncherFaultTest, ATruncatedCatalogueIsLeftAsItIs) {
  LauncherSession launcher;
  std::string database = launcher.runFile("CONFIG.db");
  fs::resize_file(database, fs::file_size(database) / 2);
  std::string before = Contents(database);
  expectWindowAndCleanClose(launcher, "fault-catalogue-truncated", false);
  EXPECT_TRUE(Contents(database) == before) << "the launcher wrote into a damaged catalogue";
}

TEST_F(LauncherFaultTest, ACatalogueWithAGarbageHeaderIsLeftAsItIs) {
  LauncherSession launcher;
  std::string database = launcher.runFile("CONFIG.db");
  std::string damaged = Contents(database);
  damaged.replace(0, 100, std::string(100, '\x5a'));
  Overwrite(database, damaged);
  expectWindowAndCleanClose(launcher, "fault-catalogue-garbage", true);
  EXPECT_TRUE(Contents(database) == damaged) << "the launcher wrote into a file that is not a database";
}

TEST_F(LauncherFaultTest, AMissingMainLayoutEndsWithAMessageNamingIt) {
  LauncherSession launcher;
  MarkFavourites(launcher);
  fs::remove(fs::path(OwnLayouts(launcher)) / "main.xml");
  expectErrorBoxAndExit(launcher, "fault-layout-missing");
  EXPECT_NE(errors().find("/布局文件/main.xml"), std::string::npos) << errors();
  EXPECT_NE(errors().find("文件不存在"), std::string::npos) << errors();
  EXPECT_EQ(launcher.catalogue(kFavourites), "3,5");
}

// Only the main window's layout is one the program cannot do without: a broken panel leaves that
// panel empty, with a line naming the file, and everything else works.
TEST_F(LauncherFaultTest, APanelLayoutThatIsNotXmlLeavesThatPanelEmptyAndTheLauncherGoesOn) {
  LauncherSession launcher;
  MarkFavourites(launcher);
  std::string panel = (fs::path(OwnLayouts(launcher)) / "Panel" / "list_Panel_video.xml").string();
  Overwrite(panel, "<layout id=\"2000\">\n  <layout id=\"2001\"\n</layout>\n");
  expectWindowAndCleanClose(launcher, "fault-layout-bad-xml", false);
  EXPECT_NE(errors().find("/布局文件/Panel/list_Panel_video.xml：文件内容有误"), std::string::npos) << errors();
  EXPECT_NE(errors().find("这一部分留空"), std::string::npos) << errors();
  EXPECT_NE(errors().find("list_Panel_video.xml:3: bad XML"), std::string::npos) << errors();
  EXPECT_EQ(launcher.catalogue(kFavourites), "3,5");
}

TEST_F(LauncherFaultTest, AToolkitFileThatIsNotALibraryEndsWithAMessageAndIsKept) {
  const std::string text = "This is a text file that happens to carry the toolkit library's name.\n";
  LauncherSession::Options options;
  options.presetToolkitFile = text;
  options.presetToolkit = true;
  LauncherSession launcher(options);
  MarkFavourites(launcher);
  expectErrorBoxAndExit(launcher, "fault-toolkit-text");
  EXPECT_NE(errors().find("无法加载界面库 XCGUI.dll"), std::string::npos) << errors();
  EXPECT_NE(errors().find("invalid ELF header"), std::string::npos) << errors();
  EXPECT_EQ(Contents(launcher.workFile("XCGUI.dll")), text);
  EXPECT_EQ(launcher.catalogue(kFavourites), "3,5");
}

TEST_F(LauncherFaultTest, AnArchiveCutShortByALyingLengthIsNotInstalled) {
  LauncherSession launcher;
  MarkFavourites(launcher);
  LyingHttpServer server(ToolArchive(launcher.workFile(".")));
  server.setLengthLie(-200);  // the end of the archive, where its directory is, never comes
  expectNothingInstalled(launcher, installFirstVideoTool(launcher, server.url("/video_compress.zip")),
                         "fault-install-cut");
}

TEST_F(LauncherFaultTest, AFullDiskDuringADownloadInstallsNothing) {
  LauncherSession launcher;
  MarkFavourites(launcher);
  fs::create_directory(launcher.runFile("Application"));
  std::string why;
  auto disk = ScopedMount::SmallDisk(launcher.runFile("Application"), 256 * 1024, why);
  if (!disk) GTEST_SKIP() << "a small disk is not possible here: " << why;
  LyingHttpServer server(ToolArchive(launcher.workFile(".")));
  server.setRangesHonoured(true);
  expectNothingInstalled(launcher, installFirstVideoTool(launcher, server.url("/video_compress.zip")),
                         "fault-install-disk-full");
}

}  // namespace
