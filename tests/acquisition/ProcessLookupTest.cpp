#include "acquisition/ProcessLookup.h"

#include <gtest/gtest.h>

#include "acquisition/ChildProcess.h"

namespace {

TEST(ProcessLookupTest, FindsARunningProgramByItsFileName) {
  ChildProcess child("QbLookupProbe.exe");
  ASSERT_TRUE(child.running());
  EXPECT_TRUE(ProcessRunning("QbLookupProbe.exe"));
  EXPECT_EQ(FindProcessId("QbLookupProbe.exe"), child.pid());
}

TEST(ProcessLookupTest, NamesCompareWithoutCaseUnlessAsked) {
  ChildProcess child("QbLookupProbe.exe");
  EXPECT_TRUE(ProcessRunning("qblookupprobe.EXE"));
  EXPECT_EQ(FindProcessId("QBLOOKUPPROBE.exe"), child.pid());
  EXPECT_FALSE(ProcessRunning("qblookupprobe.EXE", true));
  EXPECT_EQ(FindProcessId("QBLOOKUPPROBE.exe", true), -1);
  EXPECT_TRUE(ProcessRunning("QbLookupProbe.exe", true));
}

TEST(ProcessLookupTest, AbsentProgramIsNotFound) {
  EXPECT_FALSE(ProcessRunning("QbNoSuchProgram.exe"));
  EXPECT_EQ(FindProcessId("QbNoSuchProgram.exe"), -1);
}

}  // namespace
