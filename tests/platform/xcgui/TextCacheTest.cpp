#include "platform/xcgui/TextCache.h"

#include <SDL_ttf.h>
#include <gtest/gtest.h>

namespace {

class TextCacheTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { TTF_Init(); }
  void SetUp() override {
    font_.reset(TTF_OpenFont("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc", 14));
    ASSERT_NE(font_, nullptr);
  }
  FontPtr font_;
};

TEST_F(TextCacheTest, TheSameLineInTheSameColourIsRenderedOnce) {
  TextCache cache;
  SDL_Surface* first = cache.line(font_.get(), {255, 255, 255, 255}, "视频压缩");
  ASSERT_NE(first, nullptr);
  EXPECT_GT(first->w, 0);
  // The painter applies alpha itself, so lines differing only in alpha share one rendering.
  EXPECT_EQ(cache.line(font_.get(), {255, 255, 255, 40}, "视频压缩"), first);
  EXPECT_NE(cache.line(font_.get(), {0, 0, 0, 255}, "视频压缩"), first);
  EXPECT_NE(cache.line(font_.get(), {255, 255, 255, 255}, "视频剪辑"), first);
  EXPECT_EQ(cache.size(), 3u);
}

TEST_F(TextCacheTest, StaysWithinItsCapacityDroppingTheLeastRecentlyDrawnLine) {
  TextCache cache(2);
  cache.line(font_.get(), {}, "a");
  cache.line(font_.get(), {}, "b");
  cache.line(font_.get(), {}, "a");  // b is now the oldest
  cache.line(font_.get(), {}, "c");
  EXPECT_EQ(cache.size(), 2u);
  SDL_Surface* a = cache.line(font_.get(), {}, "a");
  EXPECT_EQ(cache.size(), 2u);
  EXPECT_EQ(cache.line(font_.get(), {}, "a"), a);  // a survived; b went
}

TEST_F(TextCacheTest, NothingToRenderGivesNoLineAndKeepsNothing) {
  TextCache cache;
  EXPECT_EQ(cache.line(font_.get(), {}, ""), nullptr);
  EXPECT_EQ(cache.line(nullptr, {}, "a"), nullptr);
  EXPECT_EQ(cache.size(), 0u);
  cache.line(font_.get(), {}, "a");
  cache.clear();
  EXPECT_EQ(cache.size(), 0u);
}

}  // namespace
