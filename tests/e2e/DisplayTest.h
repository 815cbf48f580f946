// Base of the end-to-end cases: they need an X display, which the suite gets from xvfb-run.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X display (the suite runs under xvfb-run)";
  }
};
