#include "platform/xldl/ResumeState.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/xldl/ScratchDirectory.h"

namespace {

xldl::ResumeState SampleState() {
  return xldl::ResumeState{"http://127.0.0.1:1/a.zip", "\"v1\"", "Tue, 01 Dec 2026 10:00:00 GMT", 1000,
                           {{0, 400, 100}, {400, 1000, 1000}}};
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path) << text;
}

TEST(ResumeStateTest, SavedStateLoadsBackAndLeavesNoTemporaryFile) {
  ScratchDirectory dir;
  ASSERT_TRUE(SampleState().save(dir.file("a.state")));
  auto loaded = xldl::ResumeState::load(dir.file("a.state"));
  ASSERT_TRUE(loaded.has_value());
  EXPECT_EQ(loaded->url, "http://127.0.0.1:1/a.zip");
  EXPECT_EQ(loaded->totalSize, 1000);
  ASSERT_EQ(loaded->segments.size(), 2u);
  EXPECT_EQ(loaded->segments[0].cursor, 100);
  EXPECT_TRUE(loaded->segments[1].done());
  EXPECT_FALSE(std::filesystem::exists(dir.file("a.state.tmp")));
}

TEST(ResumeStateTest, SaveReplacesThePreviousState) {
  ScratchDirectory dir;
  ASSERT_TRUE(SampleState().save(dir.file("a.state")));
  auto later = SampleState();
  later.segments[0].cursor = 400;
  ASSERT_TRUE(later.save(dir.file("a.state")));
  EXPECT_EQ(xldl::ResumeState::load(dir.file("a.state"))->segments[0].cursor, 400);
}

TEST(ResumeStateTest, DamagedOrInconsistentStatesAreRefused) {
  ScratchDirectory dir;
  EXPECT_FALSE(xldl::ResumeState::load(dir.file("missing")).has_value());
  const char* bad[] = {
      "",                                                              // empty
      "qb-xldl-state 1\nhttp://x\n1000 2\n0 400 100\n",                // torn: a segment missing
      "qb-xldl-state 1\nhttp://x\n1000 2\n0 400 500\n400 1000 400\n",  // cursor past its end
      "qb-xldl-state 1\nhttp://x\n1000 2\n0 400 0\n500 1000 500\n",    // a gap between segments
      "qb-xldl-state 1\nhttp://x\n900 1\n0 1000 0\n",                  // segments longer than the file
      "other 1\nhttp://x\n1000 1\n0 1000 0\n",                         // not a state file
  };
  for (const char* text : bad) {
    WriteText(dir.file("s"), text);
    EXPECT_FALSE(xldl::ResumeState::load(dir.file("s")).has_value()) << text;
  }
}

}  // namespace
