// A tool that is not installed: its card downloads the real archive from the build's
// distribution site, served by nginx, through the launcher's own engine, checks it, unpacks it
// and opens its page, whose start button starts the tool; the back control returns to the list.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "e2e/DisplayTest.h"
#include "e2e/LauncherSession.h"
#include "support/CommandOutput.h"
#include "support/NginxSite.h"

namespace {

// The navigation column and the first row of cards, which move while the column narrows.
std::string CardArea() {
  return "700x300+" + std::to_string(kLeft) + "+" + std::to_string(kTop + 150);
}

class ToolInstallE2ETest : public DisplayTest {
 protected:
  // Points the catalogue at this test's site (it has a port of its own), applies `change` to the
  // first video tool's row, opens the main window and the video list, and waits until the
  // narrowing column has settled. False when a step fails.
  bool openVideoList(LauncherSession& launcher, const std::string& change = "") {
    if (!site_.started()) return false;
    launcher.catalogue("update App_List set App_download_http = replace(App_download_http, '" QB_DIST_BASE_URL
                       "', '" +
                       site_.baseUrl() + "')");
    if (!change.empty()) launcher.catalogue("update App_List set " + change + " where ID = 1");
    if (launcher.openMainWindow().empty()) return false;
    launcher.click(kLeft + 28, kTop + 64 + 30 + 20);  // 视屏处理
    launcher.moveTo(kLeft + 800, kTop + 500);         // the column narrows
    launcher.waitUntilStill(CardArea());
    return true;
  }

  // The user is told in a box titled "提示"; afterwards nothing of the tool is left.
  void expectToldAndNothingInstalled(LauncherSession& launcher, const std::string& shot) {
    std::string message = launcher.waitForWindow("提示", 60000);
    ASSERT_FALSE(message.empty()) << "the user was not told";
    launcher.screenshot(shot);
    launcher.pressEnterIn(message);
    EXPECT_FALSE(std::filesystem::exists(launcher.runFile("Application/VideoCompress")));
    EXPECT_FALSE(std::filesystem::exists(launcher.runFile("Application/video_compress.zip")));
  }

  NginxSite site_{QB_DIST_DIR};
};

TEST_F(ToolInstallE2ETest, DownloadsUnpacksOpensAndStartsTheRealTool) {
  LauncherSession launcher;
  ASSERT_TRUE(openVideoList(launcher));
  std::string list = launcher.screenshot("install-list");
  launcher.click(kLeft + 565, kTop + 221);  // the first card's indicator: 视频压缩

  std::string launchFile = launcher.runFile("Application/VideoCompress/video_compress.sh");
  for (int i = 0; i < 150 && !std::filesystem::exists(launchFile); ++i) usleep(100000);
  ASSERT_TRUE(std::filesystem::exists(launchFile)) << "the tool was not unpacked";
  EXPECT_TRUE(std::filesystem::exists(launcher.runFile("Application/VideoCompress/qbtool.sh")));
  EXPECT_EQ(site_.requestsFor("/tools/video_compress.zip"), 1);
  usleep(2500000);  // end frames, then the page
  std::string page = launcher.screenshot("install-page");
  std::string region = "700x400+" + std::to_string(kLeft + 80) + "+" + std::to_string(kTop + 150);
  EXPECT_GT(ScreenDifference(list, page, region), 0.05) << "no tool page in place of the list";
  EXPECT_FALSE(std::filesystem::exists(launcher.runFile("Application/video_compress.zip")));

  launcher.click(kLeft + 1050, kTop + 222);  // 启动工具
  std::string tool = WaitForWindowNamed("视频压缩：", 20000);
  EXPECT_FALSE(tool.empty()) << "the tool's window did not open";
  launcher.screenshot("install-tool-started");
  if (!tool.empty()) CommandOutput("xdotool windowkill " + tool + " 2>/dev/null");

  launcher.click(kLeft + 134, kTop + 30);  // back, beside the narrowed column
  std::string back = launcher.screenshot("install-back");
  EXPECT_GT(ScreenDifference(page, back, region), 0.05) << "the tool page is still there";
}

// Opened from the search results while another category was chosen last, the page shows in the
// results' place, and back shows the results again.
TEST_F(ToolInstallE2ETest, ASearchResultOpensItsPageWhereItWasClickedAndBackReturnsToTheResults) {
  LauncherSession launcher;
  ASSERT_TRUE(openVideoList(launcher));
  launcher.click(kLeft + 28, kTop + 64 + 30 * 3 + 20);  // 高效处理
  launcher.search("视频");  // many results: the same grid as a category, 视频压缩 first
  std::string results = launcher.screenshot("search-install-results");
  launcher.click(kLeft + 395, kTop + 200);  // the first result's indicator (the results' cards are small)

  std::string launchFile = launcher.runFile("Application/VideoCompress/video_compress.sh");
  for (int i = 0; i < 150 && !std::filesystem::exists(launchFile); ++i) usleep(100000);
  ASSERT_TRUE(std::filesystem::exists(launchFile)) << "the tool was not unpacked";
  usleep(2500000);  // end frames, then the page
  std::string page = launcher.screenshot("search-install-page");
  std::string region = "700x400+" + std::to_string(kLeft + 80) + "+" + std::to_string(kTop + 150);
  EXPECT_GT(ScreenDifference(results, page, region), 0.05) << "no tool page where the result was";

  launcher.click(kLeft + 134, kTop + 30);  // back
  launcher.settleCards();
  std::string back = launcher.screenshot("search-install-back");
  // The results again (their clicked card now shown selected), not the page.
  EXPECT_LT(ScreenDifference(results, back, region), ScreenDifference(page, back, region) / 3)
      << "back did not lead to the results";
}

// A catalogue row that leaves App_md5 empty installs without the check.
TEST_F(ToolInstallE2ETest, AnEmptyMd5InstallsUnchecked) {
  LauncherSession launcher;
  ASSERT_TRUE(openVideoList(launcher, "App_md5 = ''"));
  launcher.click(kLeft + 565, kTop + 221);
  std::string launchFile = launcher.runFile("Application/VideoCompress/video_compress.sh");
  for (int i = 0; i < 150 && !std::filesystem::exists(launchFile); ++i) usleep(100000);
  EXPECT_TRUE(std::filesystem::exists(launchFile)) << "the tool was not installed";
}

// An install path that is the program's own folder is refused before anything is fetched.
TEST_F(ToolInstallE2ETest, AnInstallPathOfTheApplicationFolderInstallsNothingAndKeepsEveryFile) {
  LauncherSession launcher;
  ASSERT_TRUE(openVideoList(launcher, "App_Install_path = '\\Application'"));
  std::filesystem::create_directories(launcher.runFile("Application/OcrText"));
  std::ofstream(launcher.runFile("Application/OcrText/ocr_text.sh")) << "another tool";
  launcher.click(kLeft + 565, kTop + 221);
  std::string message = launcher.waitForWindow("提示", 30000);
  ASSERT_FALSE(message.empty()) << "the user was not told";
  launcher.screenshot("install-path-refused");
  launcher.pressEnterIn(message);
  EXPECT_EQ(site_.requestsFor("/tools/video_compress.zip"), 0);
  EXPECT_TRUE(std::filesystem::exists(launcher.runFile("Application/OcrText/ocr_text.sh")));
  EXPECT_TRUE(std::filesystem::exists(launcher.runFile("布局文件/main.xml")));
}

TEST_F(ToolInstallE2ETest, AFailedDownloadInstallsNothingAndSaysSo) {
  LauncherSession launcher;
  ASSERT_TRUE(openVideoList(launcher, "App_download_http = '" + site_.baseUrl() + "/tools/missing.zip'"));
  launcher.click(kLeft + 565, kTop + 221);
  expectToldAndNothingInstalled(launcher, "install-failed");
}

// An archive that is not the one the catalogue promises (damaged or altered on the way) is never
// unpacked.
TEST_F(ToolInstallE2ETest, AnArchiveWhoseMd5DiffersInstallsNothing) {
  LauncherSession launcher;
  ASSERT_TRUE(openVideoList(launcher, "App_md5 = '0123456789abcdef0123456789abcdef'"));
  launcher.click(kLeft + 565, kTop + 221);
  expectToldAndNothingInstalled(launcher, "install-md5-mismatch");
  EXPECT_EQ(site_.requestsFor("/tools/video_compress.zip"), 1);
}

}  // namespace
