// The painter on plain ARGB surfaces: blending, clipping, layers and drawing at a HiDPI scale.
#include "platform/xcgui/SurfacePainter.h"

#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include "platform/xcgui/Theme.h"

namespace {

class SurfacePainterTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { TTF_Init(); }
  SurfacePtr Frame(int w, int h) {
    return SurfacePtr(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888));
  }
  static uint32_t At(SDL_Surface* s, int x, int y) {
    return reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(s->pixels) + y * s->pitch)[x] &
           0xFFFFFF;
  }
  // Rows of `s` holding a pixel brighter than mid-grey.
  static int LitRows(SDL_Surface* s) {
    int rows = 0;
    for (int y = 0; y < s->h; ++y) {
      bool lit = false;
      for (int x = 0; x < s->w && !lit; ++x) lit = (At(s, x, y) >> 16) > 0x80;
      rows += lit ? 1 : 0;
    }
    return rows;
  }
};

TEST_F(SurfacePainterTest, FillsBlendSourceOverInsideTheClipOnly) {
  SurfacePtr frame = Frame(40, 20);
  {
    SurfacePainter painter(frame.get());
    painter.clear({0, 0, 0, 255});
    painter.pushClip({0, 0, 20, 20});
    painter.fillRect({0, 0, 40, 20}, {255, 255, 255, 128});
    painter.popClip();
    painter.fillRect({30, 0, 10, 20}, {0, 0, 255, 255});
  }
  EXPECT_EQ(At(frame.get(), 5, 5), 0x808080u);
  EXPECT_EQ(At(frame.get(), 25, 5), 0x000000u);  // clipped away
  EXPECT_EQ(At(frame.get(), 35, 5), 0x0000FFu);
  EXPECT_EQ(frame->clip_rect.w, 40) << "the painter leaves no clip behind";
}

// A layer starts from what is below and goes back at its alpha: nested layers multiply.
TEST_F(SurfacePainterTest, NestedLayersCompositeEachAsOnePicture) {
  SurfacePtr frame = Frame(20, 20);
  {
    SurfacePainter painter(frame.get());
    painter.clear({0, 0, 0, 255});
    painter.pushClip({0, 0, 10, 20});
    painter.pushLayer(128);
    painter.fillRect({0, 0, 10, 20}, {255, 255, 255, 255});
    painter.pushLayer(128);
    painter.fillRect({0, 0, 5, 20}, {255, 0, 0, 255});
    painter.popLayer();
    painter.popLayer();
    painter.popClip();
  }
  EXPECT_NEAR(int(At(frame.get(), 7, 5) >> 16), 128, 2);         // white at one half
  EXPECT_NEAR(int(At(frame.get(), 2, 5) >> 16), 128, 2);         // red over white, then halved
  EXPECT_NEAR(int((At(frame.get(), 2, 5) >> 8) & 0xFF), 64, 2);  // the white below shows a quarter
  EXPECT_EQ(At(frame.get(), 15, 5), 0u);
}

TEST_F(SurfacePainterTest, AtScaleTwoRectanglesAndTextCoverTwiceThePixels) {
  Theme theme;
  TTF_Font* font = theme.font(14);
  ASSERT_NE(font, nullptr);
  ASSERT_NE(theme.scaledFont(font, 2), font);
  EXPECT_EQ(theme.scaledFont(font, 1), font);
  SurfacePtr single = Frame(100, 30), twice = Frame(200, 60);
  for (auto [frame, scale] : {std::pair{single.get(), 1}, std::pair{twice.get(), 2}}) {
    SurfacePainter painter(frame, &theme, scale);
    painter.clear({0, 0, 0, 255});
    painter.drawText("视频", font, {255, 255, 255, 255}, {0, 0, 100, 30}, TextAlign::Start,
                     TextAlign::Center);
  }
  EXPECT_GT(LitRows(single.get()), 6);
  EXPECT_NEAR(LitRows(twice.get()), 2 * LitRows(single.get()), 3) << "rendered at 28 px, not stretched";
  {
    SurfacePainter painter(twice.get(), &theme, 2);
    painter.fillRect({10, 10, 5, 5}, {0, 255, 0, 255});
  }
  EXPECT_EQ(At(twice.get(), 20, 20), 0x00FF00u);
  EXPECT_EQ(At(twice.get(), 29, 29), 0x00FF00u);
  EXPECT_NE(At(twice.get(), 30, 30), 0x00FF00u);
}

}  // namespace
