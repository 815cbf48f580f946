// The display scale: whole steps of 96 dpi, and never more than the display has room for.
#include "platform/xcgui/DisplayConnection.h"

#include <gtest/gtest.h>

TEST(DisplayConnectionTest, ScaleIsWholeStepsOfTheDpiThatStillLeaveRoomForTheWindow) {
  EXPECT_EQ(ScaleForDpi(0, 1920, 1080), 1);  // no DPI known
  EXPECT_EQ(ScaleForDpi(96, 3840, 2160), 1);
  EXPECT_EQ(ScaleForDpi(144, 3840, 2160), 1);  // 1.5x is not yet a whole step
  EXPECT_EQ(ScaleForDpi(168, 3840, 2160), 2);
  EXPECT_EQ(ScaleForDpi(192, 3840, 2160), 2);
  EXPECT_EQ(ScaleForDpi(288, 3840, 2160), 3);
  EXPECT_EQ(ScaleForDpi(192, 1920, 1080), 1) << "960 x 540 window pixels would not hold the window";
  EXPECT_EQ(ScaleForDpi(5000, 3840, 2160), 3) << "a display that lies about its size";
}
