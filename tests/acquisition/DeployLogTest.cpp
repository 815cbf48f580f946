#include "acquisition/DeployLog.h"
#include "shell/startup/CodePageText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>

namespace {

TEST(DeployLogTest, TimedLineCarriesLocalTimeInBraces) {
  ::testing::internal::CaptureStderr();
  AnsiText line = DeployLog("释放程序下载引擎文件完成", true);
  std::string written = ::testing::internal::GetCapturedStderr();
  ASSERT_GT(line.size(), 13u);
  EXPECT_TRUE(std::regex_match(line.substr(0, 13), std::regex("\\{ [0-2][0-9]:[0-5][0-9]:[0-6][0-9] \\} ")))
      << line;
  EXPECT_EQ(line.substr(13), "释放程序下载引擎文件完成");
  EXPECT_EQ(ConsoleToAnsi(written), line + "\n");
}

// The program's text is CP936; a UTF-8 terminal must get UTF-8, not CP936 bytes it shows as garbage.
TEST(DeployLogTest, TheLineReachesAUtf8TerminalAsUtf8) {
  const char* before = std::getenv("LC_ALL");
  std::string kept = before ? before : "";
  setenv("LC_ALL", "C.UTF-8", 1);
  ::testing::internal::CaptureStderr();
  DeployLog("释放", false);
  std::string written = ::testing::internal::GetCapturedStderr();
  if (before)
    setenv("LC_ALL", kept.c_str(), 1);
  else
    unsetenv("LC_ALL");
  EXPECT_EQ(written, "\xE9\x87\x8A\xE6\x94\xBE\n");
}

TEST(DeployLogTest, UntimedOrEmptyMessageIsTheMessageAlone) {
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(DeployLog("创建程序工作目录失败", false), "创建程序工作目录失败");
  EXPECT_EQ(DeployLog("", true), "");
  ::testing::internal::GetCapturedStderr();
}

}  // namespace
