// A tool that is not installed: its card downloads the archive from a local server through the
// launcher's own engine, unpacks it, opens its page, and the back control returns to the list.
#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "e2e/DisplayTest.h"
#include "e2e/LauncherSession.h"
#include "support/CommandOutput.h"

namespace {

// The navigation column and the first row of cards, which move while the column narrows.
std::string CardArea() { return "700x300+" + std::to_string(kLeft) + "+" + std::to_string(kTop + 150); }

// A real ZIP holding the tool's launch script, made with Python's zipfile module.
std::string MakeToolArchive(const ScratchDirectory& dir) {
  std::string archive = dir.file("video_compress.zip");
  CommandOutput("python3 -c \"import zipfile; z = zipfile.ZipFile('" + archive +
                "', 'w', zipfile.ZIP_DEFLATED); z.writestr('video_compress.sh', '#!/bin/sh\\necho ok\\n'); "
                "z.writestr('README.txt', 'video compress'); z.close()\"");
  return archive;
}

class ToolInstallE2ETest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    if (IsSkipped()) return;
    std::ifstream in(MakeToolArchive(scratch_), std::ios::binary);
    archive_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    server_.Get("/tools/video_compress.zip", [this](const httplib::Request&, httplib::Response& response) {
      ++requests_;
      response.set_content(archive_, "application/zip");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }
  void TearDown() override {
    server_.stop();
    if (thread_.joinable()) thread_.join();
  }

  // Points the first video tool at `path` on the local server, opens the main window and the
  // video list, and waits until the narrowing column has settled. False when a step fails.
  bool openVideoListDownloadingFrom(LauncherSession& launcher, const std::string& path) {
    launcher.catalogue("update App_List set App_download_http = 'http://127.0.0.1:" + std::to_string(port_) +
                       path + "' where ID = 1");
    if (launcher.openMainWindow().empty()) return false;
    launcher.click(kLeft + 28, kTop + 64 + 30 + 20);  // 视屏处理
    launcher.moveTo(kLeft + 800, kTop + 500);           // the column narrows
    launcher.waitUntilStill(CardArea());
    return true;
  }

  ScratchDirectory scratch_;
  std::string archive_;
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  std::atomic<int> requests_{0};
};

TEST_F(ToolInstallE2ETest, DownloadsUnpacksAndOpensATool) {
  LauncherSession launcher;
  ASSERT_TRUE(openVideoListDownloadingFrom(launcher, "/tools/video_compress.zip"));
  std::string list = launcher.screenshot("install-list");
  launcher.click(kLeft + 427, kTop + 221);  // the first card's indicator

  std::string launchFile = launcher.runFile("Application/VideoCompress/video_compress.sh");
  for (int i = 0; i < 150 && !std::filesystem::exists(launchFile); ++i) usleep(100000);
  ASSERT_TRUE(std::filesystem::exists(launchFile)) << "the tool was not unpacked";
  EXPECT_EQ(requests_.load(), 1);
  usleep(2500000);  // end frames, then the page
  std::string page = launcher.screenshot("install-page");
  std::string region = "700x400+" + std::to_string(kLeft + 80) + "+" + std::to_string(kTop + 150);
  EXPECT_GT(ScreenDifference(list, page, region), 0.05) << "no tool page in place of the list";
  EXPECT_FALSE(std::filesystem::exists(launcher.runFile("Application/video_compress.zip")));

  launcher.click(kLeft + 134, kTop + 30);  // back, beside the narrowed column
  std::string back = launcher.screenshot("install-back");
  EXPECT_GT(ScreenDifference(page, back, region), 0.05) << "the tool page is still there";
}

TEST_F(ToolInstallE2ETest, AFailedDownloadInstallsNothingAndSaysSo) {
  LauncherSession launcher;
  ASSERT_TRUE(openVideoListDownloadingFrom(launcher, "/tools/missing.zip"));
  launcher.click(kLeft + 427, kTop + 221);

  std::string message = launcher.waitForWindow("提示", 60000);
  ASSERT_FALSE(message.empty()) << "the user was not told";
  launcher.screenshot("install-failed");
  launcher.pressEnterIn(message);
  EXPECT_FALSE(std::filesystem::exists(launcher.runFile("Application/VideoCompress")));
  EXPECT_FALSE(std::filesystem::exists(launcher.runFile("Application/missing.zip")));
}

}  // namespace
