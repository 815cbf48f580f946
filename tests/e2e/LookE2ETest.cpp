// What a user looks at, on the real launcher under X with a window manager: icons that stay under
// the pointer, labels that are whole or absent, cards and indicators that answer the pointer, and
// a notification window that stays over the main window. Each case checks small regions of a
// screenshot, never the whole screen.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "e2e/DisplayTest.h"
#include "e2e/LauncherSession.h"
#include "support/CommandOutput.h"

namespace {

int EntryY(int entry) {
  return kTop + 64 + 30 * (entry - 1) + 20;
}

// Share (0..1) of the pixels in `region` of `image` whose brightness passes `level` (0..1):
// light strokes (icons, text) on the dark theme.
double LitShare(const std::string& image, const std::string& region, double level = 0.55) {
  std::ostringstream command;
  command << "convert '" << image << "[" << region << "]' -colorspace Gray -threshold " << int(level * 100)
          << "% -format '%[fx:mean]' info: 2>/dev/null";
  return std::atof(CommandOutput(command.str()).c_str());
}

// Mean brightness (0..1) of a region.
double Brightness(const std::string& image, const std::string& region) {
  return std::atof(CommandOutput("convert '" + image + "[" + region +
                                 "]' -colorspace Gray -format '%[fx:mean]' info: 2>/dev/null")
                       .c_str());
}

class LookE2ETest : public DisplayTest {
 protected:
  // Opens the main window with the pointer outside it; false when it does not come.
  bool open() {
    if (launcher_.openMainWindow().empty()) return false;
    launcher_.moveTo(kLeft + 700, kTop + 740);
    return true;
  }
  // The video list with the column narrowed (cards 370 x 160; the first spans x 235..605).
  bool openNarrowVideoList() {
    if (!open()) return false;
    launcher_.click(kLeft + 28, EntryY(2));
    launcher_.moveTo(kLeft + 800, kTop + 700);
    launcher_.waitUntilStill(Area(700, 300, 0, 100));
    return true;
  }

  LauncherSession launcher_;
};

TEST_F(LookE2ETest, SearchAndBellButtonsKeepTheirIconUnderThePointer) {
  ASSERT_TRUE(open());
  const std::string search = Area(30, 30, 274, 15), bell = Area(34, 34, 865, 13);
  launcher_.moveTo(kLeft + 289, kTop + 30);
  launcher_.waitUntilStill(search);
  std::string overSearch = launcher_.screenshot("look-search-hover");
  launcher_.moveTo(kLeft + 882, kTop + 30);
  launcher_.waitUntilStill(bell);
  std::string overBell = launcher_.screenshot("look-bell-hover");
  EXPECT_GT(LitShare(overSearch, search), 0.03) << "no magnifier under the pointer";
  EXPECT_GT(LitShare(overBell, bell), 0.03) << "no bell under the pointer";
}

TEST_F(LookE2ETest, TheOpenSearchBoxShowsOneMagnifier) {
  ASSERT_TRUE(open());
  launcher_.click(kLeft + 289, kTop + 30);
  launcher_.moveTo(kLeft + 700, kTop + 740);
  const std::string box = Area(180, 30, 273, 15);
  launcher_.waitUntilStill(box);
  std::string open = launcher_.screenshot("look-search-open");
  // Only the placeholder text in the box: no second magnifier at its start.
  EXPECT_LT(LitShare(open, Area(12, 30, 275, 15), 0.5), 0.01);
  EXPECT_GT(LitShare(open, Area(30, 30, 450, 15)), 0.05) << "the search button lost its magnifier";
}

TEST_F(LookE2ETest, TheLongestLabelIsWholeWhenSelectedAndTheNarrowColumnShowsIconsOnly) {
  ASSERT_TRUE(open());
  launcher_.click(kLeft + 28, EntryY(6));  // 更多办公小工具
  launcher_.moveTo(kLeft + 100, EntryY(6));
  std::string wide = launcher_.screenshot("look-label-selected");
  // Its last character, 具, sits whole inside the column: dense strokes just before the edge.
  EXPECT_GT(LitShare(wide, "13x13+" + std::to_string(kLeft + 134) + "+" + std::to_string(EntryY(6) - 6)),
            0.12);

  launcher_.moveTo(kLeft + 700, kTop + 740);
  launcher_.waitUntilStill(Area(160, 220, 0, 64));
  std::string narrow = launcher_.screenshot("look-narrow-column");
  // Between the icons and the column's edge (x 41..54) nothing of the labels shows.
  EXPECT_LT(LitShare(narrow, "14x210+" + std::to_string(kLeft + 41) + "+" + std::to_string(kTop + 70), 0.45),
            0.002);
}

TEST_F(LookE2ETest, ACardAndItsIndicatorLightUpUnderThePointer) {
  ASSERT_TRUE(openNarrowVideoList());
  const std::string face = Area(60, 20, 470, 270);  // an empty part of the first card
  const std::string ring = Area(8, 6, 561, 193);    // the top of the indicator and the ring around it
  std::string plain = launcher_.screenshot("look-card-plain");
  launcher_.moveTo(kLeft + 420, kTop + 221);
  launcher_.waitUntilStill(face);
  std::string overCard = launcher_.screenshot("look-card-hover");
  launcher_.moveTo(kLeft + 565, kTop + 221);
  launcher_.waitUntilStill(ring);
  std::string overIndicator = launcher_.screenshot("look-indicator-hover");
  EXPECT_GT(Brightness(overCard, face), Brightness(plain, face) + 0.01)
      << "the card does not answer the pointer";
  EXPECT_GT(Brightness(overIndicator, ring), Brightness(overCard, ring) + 0.05)
      << "no ring behind the indicator";
}

TEST_F(LookE2ETest, TheNotificationWindowIsFramedAndStaysInsideTheMainWindow) {
  ASSERT_TRUE(open());
  launcher_.click(kLeft + 895, kTop + 30);  // the bell's right-hand side
  std::string notifications = launcher_.waitForWindow("通知");
  ASSERT_FALSE(notifications.empty()) << "no notification window";
  launcher_.moveTo(kLeft + 895, kTop + 30);
  launcher_.waitUntilStill(Area(320, 170, 830, 30));
  std::string open = launcher_.screenshot("look-notifications");
  std::string geometry = CommandOutput("xdotool getwindowgeometry --shell " + notifications);
  int x = 0, width = 0;
  std::sscanf(geometry.substr(geometry.find("X=")).c_str(), "X=%d", &x);
  std::sscanf(geometry.substr(geometry.find("WIDTH=")).c_str(), "WIDTH=%d", &width);
  EXPECT_LE(x + width, kLeft + 1170) << "past the main window's right edge";
  // Its rim is lighter than the main window around it.
  std::string rim = "1x60+" + std::to_string(x) + "+" + std::to_string(kTop + 90);
  std::string outside = "1x60+" + std::to_string(x - 3) + "+" + std::to_string(kTop + 90);
  EXPECT_GT(Brightness(open, rim), Brightness(open, outside) + 0.15);
}

TEST_F(LookE2ETest, AFailedDownloadIsReportedWithTheErrorIconOverTheMainWindow) {
  launcher_.catalogue(
      "update App_List set App_download_http = 'http://127.0.0.1:1/missing.zip' where ID = 1");
  ASSERT_TRUE(openNarrowVideoList());
  launcher_.click(kLeft + 565, kTop + 221);
  std::string message = launcher_.waitForWindow("提示", 60000);
  ASSERT_FALSE(message.empty()) << "the user was not told";
  std::string shot = launcher_.screenshot("look-failure-box");
  std::string geometry = CommandOutput("xdotool getwindowgeometry --shell " + message);
  int x = 0, y = 0, width = 0, height = 0;
  std::sscanf(geometry.substr(geometry.find("X=")).c_str(), "X=%d", &x);
  std::sscanf(geometry.substr(geometry.find("Y=")).c_str(), "Y=%d", &y);
  std::sscanf(geometry.substr(geometry.find("WIDTH=")).c_str(), "WIDTH=%d", &width);
  std::sscanf(geometry.substr(geometry.find("HEIGHT=")).c_str(), "HEIGHT=%d", &height);
  EXPECT_NEAR(x + width / 2, kLeft + 585, 40) << "not over the main window";
  EXPECT_NEAR(y + height / 2, kTop + 380, 60) << "not over the main window";
  // The badge left of the text is red.
  std::string badge = std::to_string(26) + "x" + std::to_string(26) + "+" + std::to_string(x + 27) + "+";
  std::string red = CommandOutput("convert '" + shot + "[" + badge + std::to_string(y + height / 2 - 30) +
                                  "]' -format '%[fx:mean.r-mean.b]' info: 2>/dev/null");
  launcher_.pressEnterIn(message);
  EXPECT_GT(std::atof(red.c_str()), 0.2) << "no error badge";
}

}  // namespace
