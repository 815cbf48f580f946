// The launcher's update check against a site served by nginx: a favourite the user marked never
// looks like a file to update; a file changed on the site brings the message, and the updater
// replaces it, keeps the user's favourites and starts the launcher again.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "e2e/DisplayTest.h"
#include "e2e/LauncherSession.h"
#include "support/CommandOutput.h"
#include "support/NginxSite.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kCatalogue = "资源文件/catalogue/CONFIG.db";

class UpdateE2ETest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_TRUE(site_.started());
    // The site publishes two of the launcher's files: the catalogue and one layout.
    for (const char* file : {kCatalogue, "布局文件/guide/tool_page.xml"}) {
      fs::create_directories((siteRoot_.path() / "run" / file).parent_path());
      fs::copy_file(fs::path(QB_RUN_DIR) / file, siteRoot_.path() / "run" / file);
    }
    writeManifest();
  }
  void TearDown() override {
    // The launcher the updater started again is no child of the session.
    if (launcher_) CommandOutput("pkill -KILL -f '" + launcher_->runFile("") + "' 2>/dev/null");
  }

  void writeManifest() {
    fs::create_directories(siteRoot_.path() / "quillbay_resalse");
    const std::string manifest = siteRoot_.file("quillbay_resalse/updata.html");
    CommandOutput(std::string(QB_MAKE_MANIFEST) + " '" + siteRoot_.file("run") + "' " + site_.baseUrl() +
                  "/run > '" + manifest + "'");
    CommandOutput(std::string(QB_SIGN_MANIFEST) + " sign '" QB_UPDATE_SIGNING_KEY "' '" + manifest + "' '" +
                  manifest + ".sig'");
  }

  // The test build of the launcher in a full copy of the run directory, checking this site's
  // manifest; its web services point at a closed local port.
  LauncherSession& launcher() {
    launcher_ = std::make_unique<LauncherSession>(
        LauncherSession::Options{.program = QB_STANDIN_LAUNCHER, .copyResources = true});
    std::ofstream hosts(launcher_->runFile("service-hosts.txt"));
    hosts << "manifest " << site_.baseUrl() << "/quillbay_resalse/updata.html\n";
    for (const char* name : {"ipechofallback", "geolocation", "weather"}) hosts << name << " 127.0.0.1:1\n";
    for (int k = 1; k <= 7; ++k) hosts << "ipecho" << k << " 127.0.0.1:1\n";
    return *launcher_;
  }

  ScratchDirectory siteRoot_;
  NginxSite site_{siteRoot_.path().string()};
  std::unique_ptr<LauncherSession> launcher_;
};

TEST_F(UpdateE2ETest, AFavouriteMarkedLocallyBringsNoUpdate) {
  LauncherSession& session = launcher();
  session.catalogue("update App_List set IsCollection = 1 where ID = 2");
  ASSERT_FALSE(session.openMainWindow().empty());
  for (int i = 0; i < 100 && site_.requestsFor("/quillbay_resalse/updata.html") == 0; ++i) usleep(100000);
  ASSERT_EQ(site_.requestsFor("/quillbay_resalse/updata.html"), 1) << "the check did not run";
  EXPECT_TRUE(WaitForWindowNamed("发现差异文件", 3000).empty()) << "a favourite was taken for a difference";
  EXPECT_TRUE(session.running());
  EXPECT_EQ(site_.requestsFor("/run/资源文件/catalogue/CONFIG.db"), 0);
}

TEST_F(UpdateE2ETest, AChangedFileIsReplacedAndFavouritesAreKept) {
  CommandOutput("sqlite3 '" + siteRoot_.file(std::string("run/") + kCatalogue) +
                "' \"update App_List set NewVersion = '9.9.9' where ID = 2\"");
  writeManifest();
  LauncherSession& session = launcher();
  session.catalogue("update App_List set IsCollection = 1 where ID in (2, 5)");
  ASSERT_FALSE(session.openMainWindow().empty());

  std::string message = session.waitForWindow("发现差异文件", 30000);
  ASSERT_FALSE(message.empty()) << "the changed file brought no message";
  session.screenshot("update-message");
  EXPECT_EQ(session.pressEnterUntilExit(message), 0);

  const std::string updated = "select NewVersion from App_List where ID = 2";
  for (int i = 0; i < 300 && session.catalogue(updated) != "9.9.9"; ++i) usleep(100000);
  EXPECT_EQ(session.catalogue(updated), "9.9.9") << "the updater did not bring the new catalogue";
  EXPECT_EQ(CommandOutput("md5sum < '" + session.runFile(kCatalogue) + "'"),
            CommandOutput("md5sum < '" + siteRoot_.file(std::string("run/") + kCatalogue) + "'"));
  EXPECT_EQ(session.catalogue("select group_concat(ID) from App_List where IsCollection = 1"), "2,5");
  EXPECT_EQ(site_.requestsFor("/run/布局文件/guide/tool_page.xml"), 0) << "an unchanged file was fetched";
  EXPECT_FALSE(WaitForWindowNamed("信息：", 20000).empty()) << "the launcher was not started again";
}

}  // namespace
