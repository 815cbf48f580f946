#include "acquisition/RunDownload.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "acquisition/CardFrame.h"
#include "acquisition/EngineDeployment.h"
#include "acquisition/ServedFile.h"
#include "acquisition/TempDirScope.h"
#include "acquisition/ToolkitDouble.h"
#include "platform/win32/Win32.h"
#include "platform/xldl/EngineStatus.h"
#include "shell/startup/CodePageText.h"
#include "shell/startup/RunDirectory.h"

namespace {

namespace fs = std::filesystem;

constexpr HELE kCard = 4242;
const CardLocation kCardPlace(77, 0, 3);

class RunDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetRunDirForTesting(m_temp.scratch().path());
    ToolkitDouble::instance().reset();
    ToolkitDouble::instance().setCardElement(kCard);
    ::testing::internal::CaptureStderr();
    DeployEngine();  // the real engine, unpacked into the scratch temporary directory
    ::testing::internal::GetCapturedStderr();
  }
  AnsiText saveDirectory() const { return m_temp.scratch().path() + "\\Application\\"; }
  std::string savedFile(const std::string& name) const {
    return m_temp.scratch().file("Application/" + name);
  }

  TempDirScope m_temp;
  std::string m_body = ServedFile::RandomBody(2 * 1024 * 1024 + 17);
  ServedFile m_server{m_body};
};

TEST(ProgressImageNumberTest, MapsTheWholePercentToImages20To60) {
  EXPECT_EQ(ProgressImageNumber(0.0f), 20);
  EXPECT_EQ(ProgressImageNumber(0.024f), 20);
  EXPECT_EQ(ProgressImageNumber(0.025f), 20);  // 2 % over 2.5 is still 0
  EXPECT_EQ(ProgressImageNumber(0.03f), 21);
  EXPECT_EQ(ProgressImageNumber(0.452f), 38);
  EXPECT_EQ(ProgressImageNumber(0.999f), 59);
  EXPECT_EQ(ProgressImageNumber(1.0f), 60);
  EXPECT_EQ(ProgressImageNumber(7.0f), 60);
  EXPECT_EQ(ProgressImageNumber(-1.0f), 20);
}

TEST(CardFrameTest, FrameIsDrawnOnTheUiThreadOnTheElementTheCardHasNow) {
  SetRunDirForTesting("D:\\运行");
  ToolkitDouble::instance().reset();
  ToolkitDouble::instance().setCardElement(kCard);
  SetCardFrame(kCardPlace, 7);
  ToolkitDouble::instance().setCardElement(0);  // scrolled out of view
  SetCardFrame(kCardPlace, 8);
  constexpr HELE kRebuilt = 4343;  // and back: the list built the card anew
  ToolkitDouble::instance().setCardElement(kRebuilt);
  SetCardFrame(kCardPlace, 9);
  auto frames = ToolkitDouble::instance().frames();
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].element, kCard);
  EXPECT_EQ(frames[0].imagePath, u"D:\\运行\\资源文件\\download\\Download_7.png");
  EXPECT_TRUE(frames[0].insideUiCall);
  EXPECT_TRUE(frames[0].complete);
  EXPECT_EQ(frames[1].element, kRebuilt);
  EXPECT_EQ(frames[1].imagePath, u"D:\\运行\\资源文件\\download\\Download_9.png");
  EXPECT_EQ(CardFrameImagePath(95), "D:\\运行\\资源文件\\download\\Download_95.png");
}

TEST_F(RunDownloadTest, DownloadsARealFileWhileTheFramesMove) {
  m_server.throttle(4 * 1024, 20);  // about three seconds, so several polls see progress
  EXPECT_TRUE(RunDownload(m_server.url(), "tool.zip", saveDirectory(), kCardPlace));
  EXPECT_EQ(ScratchDirectory::Read(savedFile("tool.zip")), m_body);
  std::vector<int> images = ToolkitDouble::instance().imageNumbers();
  ASSERT_GE(images.size(), 2u);
  EXPECT_EQ(images.back(), 60);
  EXPECT_TRUE(std::is_sorted(images.begin(), images.end()));
  EXPECT_TRUE(std::any_of(images.begin(), images.end(), [](int n) { return n > 20 && n < 60; }));
  for (const DrawnFrame& frame : ToolkitDouble::instance().frames()) {
    EXPECT_EQ(frame.element, kCard);
    EXPECT_TRUE(frame.insideUiCall);
    EXPECT_TRUE(frame.complete);
  }
}

TEST_F(RunDownloadTest, FailedTaskReturnsFalseSaysWhyAndPutsImage1Back) {
  m_server.behave(ServedFile::Behaviour::NotFound);
  AnsiText why;
  EXPECT_FALSE(RunDownload(m_server.url(), "tool.zip", saveDirectory(), kCardPlace, kDownloadStallSeconds, &why));
  EXPECT_EQ(why, Utf8ToAnsiText(XlFailCodeText(kFailHttpStatus)) + "（错误码 3）");
  EXPECT_FALSE(fs::exists(savedFile("tool.zip")));
  std::vector<int> images = ToolkitDouble::instance().imageNumbers();
  ASSERT_GE(images.size(), 2u);
  EXPECT_EQ(images.front(), 20);
  EXPECT_EQ(images.back(), 1);
}

TEST_F(RunDownloadTest, ShortBodyIsNeverReportedInstalled) {
  m_server.behave(ServedFile::Behaviour::ShortBody);
  EXPECT_FALSE(RunDownload(m_server.url(), "tool.zip", saveDirectory(), kCardPlace));
  EXPECT_FALSE(fs::exists(savedFile("tool.zip")));
  EXPECT_EQ(ToolkitDouble::instance().imageNumbers().back(), 1);
}

TEST_F(RunDownloadTest, DownloadWithoutNewBytesGivesUpAfterTheTimeLimit) {
  m_server.throttle(16 * 1024, 6000);  // one chunk, then silence for longer than the limit
  DWORD started = GetTickCount();
  AnsiText why;
  EXPECT_FALSE(RunDownload(m_server.url(), "tool.zip", saveDirectory(), kCardPlace, 2, &why));
  EXPECT_EQ(why, "2 秒没有收到任何数据");
  EXPECT_LT(GetTickCount() - started, 60000u);  // a bound against hanging, not a timing
  EXPECT_FALSE(fs::exists(savedFile("tool.zip")));
  EXPECT_EQ(ToolkitDouble::instance().imageNumbers().back(), 1);
}

}  // namespace
