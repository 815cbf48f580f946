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
  EXPECT_EQ(FadeInAlpha(1), 5);    // truncated, not rounded: 5.55
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

TEST(NotificationPositionTest, OpensLeftOfAndBelowThePointerAndStaysOnScreen) {
  constexpr int kW = 300, kH = 400, kScreenW = 1600, kScreenH = 1000;
  auto at = [](LONG x, LONG y) { return NotificationPosition(POINT{x, y}, kW, kH, kScreenW, kScreenH); };
  POINT middle = at(800, 300);
  EXPECT_EQ(middle.x, 750);
  EXPECT_EQ(middle.y, 310);
  EXPECT_EQ(at(10, 300).x, 0);                      // left edge
  EXPECT_EQ(at(1590, 300).x, kScreenW - kW);        // right edge
  EXPECT_EQ(at(800, 990).y, kScreenH - kH - 40);    // bottom edge keeps room for the rise
  POINT corner = at(1599, 999);
  EXPECT_EQ(corner.x, kScreenW - kW);
  EXPECT_EQ(corner.y, kScreenH - kH - 40);
  POINT unknownScreen = NotificationPosition(POINT{20, 20}, kW, kH, 0, 0);
  EXPECT_EQ(unknownScreen.x, -30);  // nothing to clamp against
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
