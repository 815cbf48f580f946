#include "catalogue/Search.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <set>
#include <thread>
#include <vector>

#include "shell/MainWindowFixture.h"
#include "shell/SharedState.h"
#include "shell/main_window/Panels.h"

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

// The box's width and visibility, sampled from a worker thread through the UI thread while the
// search action runs there (its five-second wait keeps messages flowing).
class SearchBoxSampler {
 public:
  struct Sample {
    DWORD at;  // GetTickCount
    int width;
    bool shown;
  };
  // `onceOpen` runs on the worker the first time the box is seen at full width.
  explicit SearchBoxSampler(std::function<void()> onceOpen = nullptr)
      : onceOpen_(std::move(onceOpen)), worker_([this] { run(); }) {}
  ~SearchBoxSampler() { stop(); }

  // Called on the UI thread. The worker may be inside XC_CallUiThread, waiting for this very
  // thread, so messages keep flowing until it has seen the flag and ended.
  const std::vector<Sample>& stop() {
    stopping_ = true;
    DWORD start = GetTickCount();
    while (!finished_ && GetTickCount() - start < 10000) {
      XTest_Pump(1);
      Sleep(2);
    }
    EXPECT_TRUE(finished_) << "the sampler did not end";
    if (worker_.joinable()) worker_.join();
    return samples_;
  }

 private:
  static intptr_t Take(intptr_t self) {
    HELE box = MainElement(32);
    RECT rect{};
    XTest_GetRect(box, &rect);
    reinterpret_cast<SearchBoxSampler*>(self)->samples_.push_back(
        {GetTickCount(), int(rect.right - rect.left), XTest_IsElementShown(box) != FALSE});
    return 0;
  }
  void run() {
    bool opened = false;
    while (!stopping_) {
      XC_CallUiThread(&SearchBoxSampler::Take, reinterpret_cast<intptr_t>(this));
      if (!opened && !samples_.empty() && samples_.back().width == 160) {
        opened = true;
        if (onceOpen_) onceOpen_();
      }
      Sleep(20);
    }
    finished_ = true;
  }

  std::function<void()> onceOpen_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> finished_{false};
  std::vector<Sample> samples_;
  std::thread worker_;
};

class SearchBoxAutoCloseTest : public MainWindowTest {
 protected:
  static bool EnterBound() { return GetPropA(XWnd_GetHWND(MainWindow), "HotKey13_Proc") != nullptr; }
  static std::set<int> PartialWidths(const std::vector<SearchBoxSampler::Sample>& samples) {
    std::set<int> widths;
    for (const auto& sample : samples)
      if (sample.width > 0 && sample.width < 160) widths.insert(sample.width);
    return widths;
  }
};

TEST_F(SearchBoxAutoCloseTest, AnEmptyBoxOpensInStepsStaysFiveSecondsThenClosesAndLetsEnterGo) {
  ASSERT_EQ(SearchBoxExpanded, 0);
  SearchBoxSampler sampler;
  RunSearch();  // the search action with an empty edit: binds Enter, opens, waits, closes
  const auto& samples = sampler.stop();

  EXPECT_EQ(SearchBoxExpanded, 0);
  EXPECT_FALSE(EnterBound());
  EXPECT_FALSE(XTest_IsElementShown(MainElement(32)));
  std::vector<DWORD> open;
  for (const auto& sample : samples)
    if (sample.width == 160 && sample.shown) open.push_back(sample.at);
  ASSERT_FALSE(open.empty()) << "the box never reached its full width";
  // The wait is five seconds; samples come every 20 ms or so, so allow a little less.
  EXPECT_GE(open.back() - open.front(), 4800u);
  // Opening and closing pass through intermediate widths, at most 34 of them each way.
  std::set<int> partial = PartialWidths(samples);
  EXPECT_FALSE(partial.empty());
  EXPECT_LE(partial.size(), 68u);
}

TEST_F(SearchBoxAutoCloseTest, TextTypedDuringTheWaitKeepsTheBoxOpenUntilItIsEmptiedAgain) {
  ASSERT_EQ(SearchBoxExpanded, 0);
  HELE edit = MainElement(35);
  SearchBoxSampler sampler([edit] {
    RECT rect{};
    XTest_GetRect(edit, &rect);
    XTest_Click(MainWindow, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    XTest_TypeText(MainWindow, u"视频");
  });
  RunSearch();
  sampler.stop();
  EXPECT_EQ(SearchBoxExpanded, 1);
  EXPECT_TRUE(EnterBound());
  EXPECT_EQ(ReadSearchText(), "视频");
  RECT rect{};
  XTest_GetRect(MainElement(32), &rect);
  EXPECT_EQ(rect.right - rect.left, 160);

  // Emptying the edit starts the wait again, after which the box closes.
  constexpr int kBackspace = 0x08;
  XTest_KeyDown(MainWindow, kBackspace);
  XTest_KeyDown(MainWindow, kBackspace);
  EXPECT_TRUE(PumpUntilFor([] { return SearchBoxExpanded == 0; }, 15000));
  EXPECT_EQ(ReadSearchText(), "");
  EXPECT_FALSE(EnterBound());
}

}  // namespace
