#include "catalogue/Search.h"

#include <gtest/gtest.h>

namespace {

TEST(SearchBoxTest, OpeningGrowsToFullWidthAndAlphaInThirtyFiveSteps) {
  int width = -1, alpha = -1;
  for (int step = 1; step <= 35; ++step) {
    EXPECT_GE(SearchBoxWidth(step, true), width) << "step " << step;
    EXPECT_GT(SearchBoxAlpha(step, true), alpha) << "step " << step;
    width = SearchBoxWidth(step, true);
    alpha = SearchBoxAlpha(step, true);
  }
  EXPECT_EQ(width, 160);
  EXPECT_EQ(alpha, 255);
  EXPECT_EQ(SearchBoxAlpha(1, true), 7);  // 255 / 35, truncated
}

TEST(SearchBoxTest, ClosingMirrorsOpeningDownToNothing) {
  for (int step = 1; step <= 35; ++step) {
    // Both sides truncate, so together they cover the full width or one pixel less.
    int together = SearchBoxWidth(step, true) + SearchBoxWidth(step, false);
    EXPECT_TRUE(together == 160 || together == 159) << "step " << step << ": " << together;
    if (step > 1) EXPECT_LE(SearchBoxWidth(step, false), SearchBoxWidth(step - 1, false));
  }
  EXPECT_EQ(SearchBoxWidth(35, false), 0);
  EXPECT_EQ(SearchBoxAlpha(35, false), 0);
  EXPECT_EQ(SearchBoxAlpha(1, false), 247);  // 255 - 7.29, truncated
}

}  // namespace
