// The real launcher under X: start-up notice, main window, navigation, the narrowing column,
// a favourite written to CONFIG.db, and the close path.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "e2e/DisplayTest.h"
#include "e2e/LauncherSession.h"
#include "support/CommandOutput.h"

namespace {

int EntryY(int entry) {
  return kTop + 64 + 30 * (entry - 1) + 20;
}

class LauncherE2ETest : public DisplayTest {};

TEST_F(LauncherE2ETest, StartsThroughTheNoticeNavigatesMarksAFavouriteAndClosesCleanly) {
  LauncherSession launcher;
  std::string window = launcher.openMainWindow();
  ASSERT_FALSE(window.empty()) << "no main window after the notice";

  // The toolkit library was written into the current directory and loaded from there.
  std::string written = launcher.workFile("XCGUI.dll");
  ASSERT_TRUE(std::filesystem::exists(written));
  EXPECT_EQ(std::filesystem::file_size(written), std::filesystem::file_size(QB_SHIPPED_TOOLKIT));

  // The clock on the home panel moves.
  launcher.moveTo(kLeft + 700, kTop + 700);
  std::string before = launcher.screenshot("home");
  usleep(1600000);
  std::string after = launcher.screenshot("home-later");
  std::string clock = "300x60+" + std::to_string(kLeft + 180) + "+" + std::to_string(kTop + 110);
  EXPECT_GT(ScreenDifference(before, after, clock), 0.001) << "the clock did not change";

  // Every entry of the column; the four catalogue entries each show a screen of their own.
  std::string content = "900x500+" + std::to_string(kLeft + 200) + "+" + std::to_string(kTop + 120);
  std::string previous = after;
  for (int entry = 2; entry <= 7; ++entry) {
    launcher.click(kLeft + 28, EntryY(entry));
    std::string shot = launcher.screenshot("entry-" + std::to_string(entry));
    if (entry <= 5) EXPECT_GT(ScreenDifference(previous, shot, content), 0.02) << "entry " << entry;
    if (entry >= 6) EXPECT_LT(ScreenDifference(previous, shot, content), 0.02) << "entry " << entry;
    previous = shot;
  }

  // Back to the video tools; leaving the column narrows it, then the first card's star.
  launcher.click(kLeft + 28, EntryY(2));
  launcher.moveTo(kLeft + 800, kTop + 500);
  launcher.waitUntilStill(Area(700, 300, 0, 150));  // the cards move while the column narrows
  launcher.screenshot("video-narrow");
  ASSERT_EQ(launcher.catalogue("select IsCollection from App_List where ID = 1"), "0");
  launcher.click(kLeft + 362, kTop + 256);
  launcher.screenshot("video-favourite");
  EXPECT_EQ(launcher.catalogue("select IsCollection from App_List where ID = 1"), "1");

  // The close button keeps the window up for about a second, then the process ends with 0.
  launcher.click(kLeft + 1139, kTop + 30);
  EXPECT_TRUE(launcher.running());
  EXPECT_EQ(launcher.waitForExit(5000), 0);
  EXPECT_EQ(launcher.catalogue("select IsCollection from App_List where ID = 1"), "1");
}

TEST_F(LauncherE2ETest, SearchesAChineseNameWithEnterAndListsExactlyTheMarkedFavourites) {
  LauncherSession launcher;
  std::string window = launcher.openMainWindow();
  ASSERT_FALSE(window.empty()) << "no main window after the notice";
  std::string content = Area(900, 500, 200, 120);
  launcher.moveTo(kLeft + 700, kTop + 700);
  std::string home = launcher.screenshot("search-home");

  launcher.click(kLeft + 287, kTop + 29);  // the search button opens the box
  launcher.click(kLeft + 385, kTop + 29);  // into the box
  launcher.type("视频");
  launcher.key("Return");
  launcher.waitUntilStill(content);
  std::string results = launcher.screenshot("search-results");
  EXPECT_GT(ScreenDifference(home, results, content), 0.05) << "no search results in place of the home panel";

  // The first two results are the first two video tools; mark both.
  ASSERT_EQ(launcher.catalogue("select count(*) from App_List where IsCollection = 1"), "0");
  launcher.click(kLeft + 460, kTop + 235);
  launcher.click(kLeft + 796, kTop + 235);
  EXPECT_EQ(launcher.catalogue("select group_concat(ID) from App_List where IsCollection = 1"), "1,2");

  launcher.click(kLeft + 955, kTop + 29);  // 我的收藏
  launcher.waitUntilStill(content);
  std::string favourites = launcher.screenshot("favourites");
  // The same two cards stand in the first row; the rows below them are empty now.
  std::string firstRow = Area(580, 95, 160, 150);
  std::string secondRow = Area(580, 95, 160, 290);
  double below = ScreenDifference(results, favourites, secondRow);
  EXPECT_GT(below, 0.05) << "the favourites panel lists more than the two cards";
  EXPECT_LT(ScreenDifference(results, favourites, firstRow), below);
}

// A star toggled in the search results or the favourites shows at once on the tool's card in its
// category, which was built at start-up.
TEST_F(LauncherE2ETest, AStarToggledInSearchResultsOrFavouritesShowsOnTheCategoryCard) {
  LauncherSession launcher;
  ASSERT_FALSE(launcher.openMainWindow().empty());
  const std::string star = Area(30, 30, 347, 241);  // the first card's star, narrow column
  auto showVideoList = [&](const std::string& name) {
    launcher.click(kLeft + 28, EntryY(3));  // another entry first: choosing the chosen one again changes nothing
    launcher.click(kLeft + 28, EntryY(2));
    launcher.settleCards();
    return launcher.screenshot(name);
  };
  const std::string hollow = showVideoList("stars-category-before");

  launcher.search("视频");  // many results: the same grid as a category, 视频压缩 first
  launcher.click(kLeft + 243, kTop + 236);  // mark 视频压缩 among the results (their cards are the small ones)
  ASSERT_EQ(launcher.catalogue("select IsCollection from App_List where ID = 1"), "1");
  const std::string marked = showVideoList("stars-category-marked");
  EXPECT_GT(ScreenDifference(hollow, marked, star), 0.05) << "the category card still shows no star";

  launcher.click(kLeft + 955, kTop + 29);  // 我的收藏
  launcher.settleCards();
  launcher.click(kLeft + 362, kTop + 256);  // unmark it there
  ASSERT_EQ(launcher.catalogue("select IsCollection from App_List where ID = 1"), "0");
  const std::string unmarked = showVideoList("stars-category-unmarked");
  EXPECT_GT(ScreenDifference(marked, unmarked, star), 0.05) << "the category card still shows the star";
  EXPECT_LT(ScreenDifference(hollow, unmarked, star), 0.02);
}

TEST_F(LauncherE2ETest, NotificationsOpenBesideThePointerAndFadeAwayWhenItLeaves) {
  LauncherSession launcher;
  std::string window = launcher.openMainWindow();
  ASSERT_FALSE(window.empty()) << "no main window after the notice";
  std::string below = Area(300, 150, 832, 40);  // where the window opens for a click on the bell
  launcher.moveTo(kLeft + 882, kTop + 29);
  std::string before = launcher.screenshot("notifications-before");
  launcher.click(kLeft + 882, kTop + 29);
  std::string notifications = launcher.waitForWindow("通知");
  ASSERT_FALSE(notifications.empty()) << "no notification window";
  launcher.waitUntilStill(below);
  std::string open = launcher.screenshot("notifications-open");
  EXPECT_GT(ScreenDifference(before, open, below), 0.1) << "the window is not beside the pointer";

  launcher.moveTo(kLeft + 882, kTop + 120);  // into the window: it stays
  launcher.moveTo(kLeft + 300, kTop + 600);  // and away: it fades and closes
  launcher.waitUntilStill(below);
  std::string closed = launcher.screenshot("notifications-closed");
  EXPECT_LT(ScreenDifference(before, closed, below), 0.05) << "the window did not go";
  EXPECT_EQ(CommandOutput("xwininfo -id " + notifications + " 2>/dev/null | grep -c IsViewable"), "0");
}

TEST_F(LauncherE2ETest, WithoutACatalogueTheWindowStillOpensAndNoFileIsCreated) {
  LauncherSession launcher(LauncherSession::Options{.withCatalogue = false});
  ASSERT_FALSE(launcher.openMainWindow().empty());
  EXPECT_FALSE(std::filesystem::exists(launcher.runFile("CONFIG.db")));
  launcher.click(kLeft + 1139, kTop + 30);
  EXPECT_EQ(launcher.waitForExit(5000), 0);
  EXPECT_FALSE(std::filesystem::exists(launcher.runFile("CONFIG.db")));
}

TEST_F(LauncherE2ETest, AnExistingToolkitFileIsNeverReplacedAndAnUnusableOneEndsWithAMessage) {
  LauncherSession launcher(
      LauncherSession::Options{.presetToolkitFile = "not a library", .presetToolkit = true});
  ASSERT_TRUE(launcher.start());
  std::string notice = launcher.waitForWindow("信息：");  // shown before the toolkit is first used
  ASSERT_FALSE(notice.empty());
  std::string error = launcher.pressEnterUntilWindow(notice, "错误");
  ASSERT_FALSE(error.empty()) << "no message about the toolkit library";
  launcher.screenshot("toolkit-error");
  EXPECT_EQ(launcher.pressEnterUntilExit(error), 1);
  std::ifstream kept(launcher.workFile("XCGUI.dll"));
  std::string contents((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>());
  EXPECT_EQ(contents, "not a library");
}

}  // namespace
