#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/win32/Win32.h"

namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(SdlVideoTest, ADisplayThatRefusesEveryConnectionFailsInsteadOfDrawingOffScreen) {
  ScopedEnv driver("SDL_VIDEODRIVER", nullptr);
  ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
  ScopedEnv display("DISPLAY", ":987");  // no server there
  EXPECT_EQ(QbInitSdlVideo(), -1);
  EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
  EXPECT_NE(std::string(SDL_GetError()), "");
}

TEST(SdlVideoTest, AnExplicitDriverIsTakenAsItIs) {
  ScopedEnv driver("SDL_VIDEODRIVER", "dummy");
  ScopedEnv display("DISPLAY", ":987");
  ASSERT_EQ(QbInitSdlVideo(), 0);
  EXPECT_STREQ(SDL_GetCurrentVideoDriver(), "dummy");
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}  // namespace
