#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/win32/Win32.h"
#include "support/CommandOutput.h"
#include "support/ScratchDirectory.h"

namespace {

// The box is a real window: find it by its Chinese title, look at it, dismiss it with Enter.
TEST(MessageBoxTest, ShowsAWindowWithTheTextAndEndsOnEnter) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X display (the suite runs under xvfb-run)";
  pid_t child = fork();
  if (child == 0) {
    // 信息： / 由于刚研发 in code page 936
    int result = MessageBoxA(nullptr, "\xD3\xC9\xD3\xDA\xB8\xD5\xD1\xD0\xB7\xA2", "\xD0\xC5\xCF\xA2\xA3\xBA",
                             MB_OK | MB_TASKMODAL);
    _exit(result == IDOK ? 0 : 1);
  }
  std::string window;
  for (int i = 0; i < 100 && window.empty(); ++i) {
    window = CommandOutput("xdotool search --pid " + std::to_string(child) + " 2>/dev/null | head -n1");
    if (window.empty()) usleep(50000);
  }
  ASSERT_FALSE(window.empty()) << "no message box window appeared";
  EXPECT_EQ(CommandOutput("xprop -id " + window + " _NET_WM_NAME"), "_NET_WM_NAME(UTF8_STRING) = \"信息：\"");
  usleep(300000);
  ScratchDirectory dir;
  std::string shot = dir.file("box.png");
  CommandOutput("import -window " + window + " " + shot);
  // The OK button and the accent are drawn in the launcher's purple (92, 72, 190).
  std::string purple = CommandOutput("convert " + shot + " -fill black +opaque 'rgb(92,72,190)' -format '%[fx:mean]' info:");
  EXPECT_GT(std::atof(purple.c_str()), 0.01) << "no accent-coloured pixels in the box";
  std::string dark = CommandOutput("convert " + shot + " -threshold 50% -negate -format '%[fx:mean]' info:");
  EXPECT_GT(std::atof(dark.c_str()), 0.005) << "no text drawn";
  CommandOutput("xdotool key --window " + window + " Return");
  int status = -1;
  for (int i = 0; i < 100 && waitpid(child, &status, WNOHANG) == 0; ++i) usleep(50000);
  ASSERT_TRUE(WIFEXITED(status)) << "the box did not close on Enter";
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
