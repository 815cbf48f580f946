// The images the build draws into the run directory's resource folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "data/RunDataFiles.h"
#include "support/ScratchDirectory.h"

using namespace qbtest;

namespace {

const char* const kNavigationIcons[] = {"home",    "edit_video", "edit_image", "edit_pdf",
                                        "edit_ai", "edit_more",  "edit_gather"};

struct StripGeometry {
  const char* name;
  int offsets[3];
  int width;
};
// Where the main window cuts the normal, mouse-over and pressed images from each strip.
const StripGeometry kStrips[] = {{"menu", {0, 29, 58}, 28},
                                 {"min", {0, 26, 52}, 25},
                                 {"max", {0, 32, 64}, 31},
                                 {"close", {0, 34, 68}, 31}};

RgbaImage MustLoad(const fs::path& path) {
  auto image = LoadPng(path);
  EXPECT_TRUE(image.has_value()) << path << ": " << IMG_GetError();
  return image.value_or(RgbaImage{});
}

fs::path Frame(int n) {
  return ResourceDir() / "download" / ("Download_" + std::to_string(n) + ".png");
}

// Mean brightness of the visible pixels, weighted by their opacity.
double Brightness(const RgbaImage& image) {
  double sum = 0, weight = 0;
  for (size_t i = 0; i < image.pixels.size(); i += 4) {
    double a = image.pixels[i + 3] / 255.0;
    sum += a * (image.pixels[i] + image.pixels[i + 1] + image.pixels[i + 2]) / 3.0;
    weight += a;
  }
  return weight > 0 ? sum / weight : 0;
}

int CountPixels(const RgbaImage& image, bool (*test)(const std::uint8_t*)) {
  int count = 0;
  for (size_t i = 0; i < image.pixels.size(); i += 4) count += test(&image.pixels[i]);
  return count;
}

// Mean per-channel difference of two equally sized images, colours premultiplied by alpha so
// that invisible pixels do not count.
double Difference(const RgbaImage& a, const RgbaImage& b) {
  double sum = 0;
  for (size_t i = 0; i < a.pixels.size(); i += 4) {
    for (int c = 0; c < 4; ++c) {
      double x = c == 3 ? a.pixels[i + 3] : a.pixels[i + c] * a.pixels[i + 3] / 255.0;
      double y = c == 3 ? b.pixels[i + 3] : b.pixels[i + c] * b.pixels[i + 3] / 255.0;
      sum += std::fabs(x - y);
    }
  }
  return sum / a.pixels.size();
}

TEST(GeneratedImagesTest, NavigationIconsPairAMutedAndABrightVersionOfOneShape) {
  for (const char* name : kNavigationIcons) {
    auto stay = MustLoad(ResourceDir() / (std::string(name) + "_stay.png"));
    auto select = MustLoad(ResourceDir() / (std::string(name) + "_select.png"));
    ASSERT_EQ(stay.width, 24) << name;
    ASSERT_EQ(stay.height, 24) << name;
    ASSERT_EQ(select.width, 24) << name;
    ASSERT_EQ(select.height, 24) << name;
    EXPECT_GT(CountPixels(stay, [](const std::uint8_t* p) { return p[3] > 200; }), 20) << name;
    EXPECT_EQ(stay.at(0, 0)[3], 0) << name << " has no transparent margin";
    EXPECT_GT(Brightness(select), Brightness(stay) + 40) << name;
    for (size_t i = 3; i < stay.pixels.size(); i += 4)
      ASSERT_EQ(stay.pixels[i], select.pixels[i]) << name << ": the two states differ in shape";
  }
}

TEST(GeneratedImagesTest, SystemButtonStripsHoldThreeStatesAtTheCutOffsets) {
  for (const auto& strip : kStrips) {
    auto image = MustLoad(ResourceDir() / "systembutton" /
                          ("imagelist.systembutton." + std::string(strip.name) + ".png"));
    ASSERT_EQ(image.height, 26) << strip.name;
    ASSERT_GE(image.width, strip.offsets[2] + strip.width) << strip.name;
    auto inCell = [&](int x) {
      return std::any_of(std::begin(strip.offsets), std::end(strip.offsets),
                         [&](int o) { return x >= o && x < o + strip.width; });
    };
    for (int x = 0; x < image.width; ++x)
      for (int y = 0; inCell(x) == false && y < image.height; ++y)
        ASSERT_EQ(image.at(x, y)[3], 0) << strip.name << ": paint between the states at x " << x;
    std::vector<std::vector<std::uint8_t>> cells;
    for (int o : strip.offsets) {
      std::vector<std::uint8_t> cell;
      int visible = 0;
      for (int y = 0; y < image.height; ++y)
        for (int x = o; x < o + strip.width; ++x) {
          cell.insert(cell.end(), image.at(x, y), image.at(x, y) + 4);
          visible += image.at(x, y)[3] > 128;
        }
      EXPECT_GT(visible, 8) << strip.name << " state at " << o << " shows no glyph";
      cells.push_back(cell);
    }
    EXPECT_NE(cells[0], cells[1]) << strip.name << ": mouse-over looks like normal";
    EXPECT_NE(cells[1], cells[2]) << strip.name << ": pressed looks like mouse-over";
  }
}

TEST(GeneratedImagesTest, IndicatorFramesRunFromOneToNinetyFive) {
  for (int n = 1; n <= 95; ++n) {
    auto frame = MustLoad(Frame(n));
    EXPECT_EQ(frame.width, 48) << n;
    EXPECT_EQ(frame.height, 48) << n;
  }
  EXPECT_FALSE(fs::exists(Frame(0)));
  EXPECT_FALSE(fs::exists(Frame(96)));
}

bool IsRingArc(const std::uint8_t* p) {
  return p[3] > 128 && p[2] > p[0] + 40 && p[0] > 100;
}

TEST(GeneratedImagesTest, ProgressRingGrowsWithEveryFrameFromTwentyToSixty) {
  int previous = -1;
  for (int n = 20; n <= 60; ++n) {
    int arc = CountPixels(MustLoad(Frame(n)), IsRingArc);
    EXPECT_GT(arc, previous) << "frame " << n << " shows no more progress than frame " << n - 1;
    previous = arc;
  }
  EXPECT_EQ(CountPixels(MustLoad(Frame(20)), IsRingArc), 0);
  // Frame 60 is a closed ring: its top, bottom, left and right all carry the arc colour.
  auto full = MustLoad(Frame(60));
  for (auto [x, y] : {std::pair{24, 5}, {24, 42}, {5, 24}, {42, 24}})
    EXPECT_TRUE(IsRingArc(full.at(x, y))) << x << "," << y;
  // 97.5 % must not pass for done: frame 59 keeps a gap left of twelve o'clock.
  EXPECT_FALSE(IsRingArc(MustLoad(Frame(59)).at(22, 4)));
}

TEST(GeneratedImagesTest, RestingFrameIsAButtonAndLastFrameAGreenCheck) {
  auto resting = MustLoad(Frame(1));
  EXPECT_EQ(resting.at(24, 6)[3], 255);
  EXPECT_EQ(resting.at(0, 0)[3], 0);
  auto arrow = resting.at(24, 18);  // the arrow's white stem
  EXPECT_GT(std::min({arrow[0], arrow[1], arrow[2]}), 230);

  auto done = MustLoad(Frame(95));
  auto disc = done.at(10, 24);
  EXPECT_EQ(disc[3], 255);
  EXPECT_GT(disc[1], disc[0] + 60) << "not green";
  EXPECT_GT(CountPixels(done, [](const std::uint8_t* p) { return p[3] == 255 && p[0] > 240 && p[2] > 240; }),
            30)
      << "no white check mark";
  // The ring before any progress is hollow: its centre shows only the label.
  auto empty = MustLoad(Frame(20));
  EXPECT_LT(empty.at(24, 4)[3], 120);
  EXPECT_EQ(empty.at(12, 24)[3], 0);
}

TEST(GeneratedImagesTest, OpeningAnimationSeamIsNoHarsherThanTheFinishSteps) {
  std::vector<RgbaImage> frames(96);
  for (int n = 1; n <= 95; ++n) frames[n] = MustLoad(Frame(n));
  double finishStep = 0;
  for (int n = 61; n < 95; ++n) finishStep = std::max(finishStep, Difference(frames[n], frames[n + 1]));
  double seam = Difference(frames[24], frames[63]);
  EXPECT_LE(seam, 1.5 * finishStep);
  // The seam is a real change of picture, not two copies of one frame.
  EXPECT_GT(seam, 1.0);
  for (int n = 1; n < 24; ++n) EXPECT_LE(Difference(frames[n], frames[n + 1]), 1.5 * finishStep) << n;
}

TEST(GeneratedImagesTest, CoversAreRoundedTilesWithALabel) {
  int covers = 0;
  for (const auto& entry : fs::directory_iterator(ResourceDir() / "cover")) {
    auto cover = MustLoad(entry.path());
    ++covers;
    // The size cards and the home panel show, so the caption is never rescaled on screen.
    ASSERT_EQ(cover.width, 92) << entry.path();
    ASSERT_EQ(cover.height, 92) << entry.path();
    EXPECT_EQ(cover.at(0, 0)[3], 0) << entry.path() << ": square corner";
    EXPECT_EQ(cover.at(46, 46)[3], 255) << entry.path();
    int white = 0;  // name text in the bottom band
    for (int y = 66; y < 84; ++y)
      for (int x = 5; x < 87; ++x)
        white += cover.at(x, y)[0] > 235 && cover.at(x, y)[1] > 235 && cover.at(x, y)[2] > 235;
    EXPECT_GT(white, 10) << entry.path() << ": no legible name";
  }
  EXPECT_GE(covers, 40);
}

TEST(GeneratedImagesTest, GeneratorRedrawsTheSameBytes) {
  ScratchDirectory scratch;
  ASSERT_EQ(RunScript(SourcePath("art/generate_images.py"),
                      {"--catalogue", SourcePath("data/catalogue/app_list.csv").string(), "--out",
                       scratch.path().string()}),
            0);
  std::set<fs::path> drawn;
  for (const auto& entry : fs::recursive_directory_iterator(scratch.path())) {
    if (!entry.is_regular_file()) continue;
    auto relative = fs::relative(entry.path(), scratch.path());
    drawn.insert(relative);
    EXPECT_EQ(ReadFile(entry.path()), ReadFile(ResourceDir() / relative)) << relative;
  }
  EXPECT_EQ(drawn.size(),
            14u + 4u + 8u + 6u +
                95u +  // navigation icons, button strips, window icons, icon-button states, frames
                std::distance(fs::directory_iterator(ResourceDir() / "cover"), fs::directory_iterator()));
}

}  // namespace
