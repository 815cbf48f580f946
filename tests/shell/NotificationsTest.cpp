#include "shell/notifications/Notifications.h"

#include "shell/MainWindowFixture.h"
#include "shell/SharedState.h"
#include "shell/main_window/Panels.h"

namespace {

TEST(NotificationFadeTest, FadeInRisesFromFortyBelowToFullAlphaInFortyFiveSteps) {
  int previous = -1;
  for (int step = 1; step <= 45; ++step) {
    EXPECT_GT(FadeInAlpha(step), previous) << "step " << step;
    previous = FadeInAlpha(step);
  }
  EXPECT_EQ(FadeInAlpha(1), 5);  // truncated, not rounded: 5.55
  EXPECT_EQ(FadeInAlpha(45), 250);
  EXPECT_EQ(FadeInOffset(0), -40);
  EXPECT_EQ(FadeInOffset(45), 0);
}

TEST(NotificationFadeTest, FadeOutEndsTransparentFortyPixelsLower) {
  EXPECT_EQ(FadeOutAlpha(1), 249);  // 255 - 5.67, truncated
  EXPECT_EQ(FadeOutAlpha(45), 0);
  for (int step = 2; step <= 45; ++step) EXPECT_LT(FadeOutAlpha(step), FadeOutAlpha(step - 1));
  EXPECT_EQ(FadeOutOffset(0), 0);
  EXPECT_EQ(FadeOutOffset(45), 40);
}

TEST(NotificationPositionTest, OpensLeftOfAndBelowThePointerAndMovesOnlyWhatWouldLeaveTheScreen) {
  constexpr int kW = 300, kH = 400, kScreenW = 1600, kScreenH = 1000;
  auto at = [](LONG x, LONG y) { return NotificationPosition(POINT{x, y}, kW, kH, kScreenW, kScreenH); };
  auto expectAt = [&](LONG x, LONG y, LONG cornerX, LONG cornerY) {
    POINT corner = at(x, y);
    EXPECT_EQ(corner.x, cornerX) << "pointer " << x << "," << y;
    EXPECT_EQ(corner.y, cornerY) << "pointer " << x << "," << y;
  };
  expectAt(800, 300, 750, 310);    // x - 50, y + 10
  expectAt(800, 590, 750, 600);    // just fits: the bottom edge meets the screen's
  expectAt(10, 300, 0, 310);       // left edge
  expectAt(1590, 300, 1300, 310);  // right edge
  expectAt(800, 595, 750, 600);    // 5 pixels up is enough and keeps the pointer clear
  expectAt(800, 990, 750, 590);    // moved back up it would cover the pointer: just above it
  expectAt(1590, 980, 1290, 600);  // in the corner, just left of the pointer is nearer
  POINT unknownScreen = NotificationPosition(POINT{20, 20}, kW, kH, 0, 0);
  EXPECT_EQ(unknownScreen.x, -30);  // nothing to clamp against
  EXPECT_EQ(unknownScreen.y, 30);
}

TEST_F(MainWindowTest, NotificationWindowOpensOnceFadesInAndClosesWhenThePointerLeaves) {
  ASSERT_EQ(NotificationWindow, 0);
  ClickElement(MainElement(101));
  HWINDOW window = NotificationWindow;
  ASSERT_NE(window, 0);
  EXPECT_TRUE(XTest_IsWindowShown(window));
  EXPECT_EQ(XTest_WindowAlpha(window), FadeInAlpha(45));
  EXPECT_EQ(XTest_ListItemCount(XC_GetObjectByID(window, 9)), -1) << "a tree, not a list view";

  ClickElement(MainElement(101));  // a second click while it is open changes nothing
  EXPECT_EQ(NotificationWindow, window);

  XTest_MouseLeave(window);
  for (int i = 0; i < 20 && NotificationWindow != 0; ++i) Settle();
  EXPECT_EQ(NotificationWindow, 0);
  EXPECT_EQ(NotificationAnimating, 0);
}

}  // namespace
