#include "acquisition/DeployLog.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

TEST(DeployLogTest, TimedLineCarriesLocalTimeInBraces) {
  ::testing::internal::CaptureStderr();
  AnsiText line = DeployLog("释放程序下载引擎文件完成", true);
  std::string written = ::testing::internal::GetCapturedStderr();
  ASSERT_GT(line.size(), 13u);
  EXPECT_TRUE(std::regex_match(line.substr(0, 13), std::regex("\\{ [0-2][0-9]:[0-5][0-9]:[0-6][0-9] \\} ")))
      << line;
  EXPECT_EQ(line.substr(13), "释放程序下载引擎文件完成");
  EXPECT_EQ(written, line + "\n");
}

TEST(DeployLogTest, UntimedOrEmptyMessageIsTheMessageAlone) {
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(DeployLog("创建程序工作目录失败", false), "创建程序工作目录失败");
  EXPECT_EQ(DeployLog("", true), "");
  ::testing::internal::GetCapturedStderr();
}

}  // namespace
