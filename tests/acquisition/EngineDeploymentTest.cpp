#include "acquisition/EngineDeployment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "acquisition/ChildProcess.h"
#include "acquisition/EngineLibrary.h"
#include "acquisition/TaskParamRecord.h"
#include "acquisition/TempDirScope.h"

namespace {

namespace fs = std::filesystem;

const std::string kBuiltEngine = XLDL_PATH;

TEST(EngineDeploymentTest, PathsHangOffTheTemporaryDirectory) {
  TempDirScope temp;
  AnsiText root = temp.scratch().path() + "/";
  EXPECT_EQ(TempDir(), root);
  EXPECT_EQ(EngineDir(), root + "\\downLoad\\");
  EXPECT_EQ(EngineWorkDir(), root + "download\\");
}

TEST(EngineDeploymentTest, DeploysTheEngineLoadsItAndInitialisesIt) {
  TempDirScope temp;
  ::testing::internal::CaptureStderr();
  DeployEngine();
  std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("} 释放程序下载引擎文件完成"), std::string::npos) << log;
  EXPECT_EQ(ScratchDirectory::Read(temp.file("downLoad/xldl.dll")), ScratchDirectory::Read(kBuiltEngine));
  EXPECT_FALSE(fs::exists(temp.file("downLoad/tmp.zip")));
  EXPECT_TRUE(fs::is_directory(temp.file("download")));
  // The loaded engine is initialised: it accepts a task.
  const EngineFunctions* engine = CurrentEngine();
  ASSERT_NE(engine, nullptr);
  TaskParamRecord parameters;
  parameters.build("http://127.0.0.1:9/none.zip", "", "", "none.zip", temp.scratch().path());
  EXPECT_NE(engine->XL_CreateTask(parameters.address()), nullptr);
  EXPECT_TRUE(engine->XL_UnInit());
}

TEST(EngineDeploymentTest, ExistingEngineDirectoryIsReusedAndItsFilesReplaced) {
  TempDirScope temp;
  fs::create_directories(temp.file("downLoad"));
  std::ofstream(temp.file("downLoad/xldl.dll")) << "stale engine";
  std::ofstream(temp.file("downLoad/keep.dat")) << "keep";
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(UnpackEngine(), 1);
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(ScratchDirectory::Read(temp.file("downLoad/xldl.dll")), ScratchDirectory::Read(kBuiltEngine));
  EXPECT_EQ(ScratchDirectory::Read(temp.file("downLoad/keep.dat")), "keep");
  CurrentEngine()->XL_UnInit();
}

TEST(EngineDeploymentTest, FailureToMakeTheEngineDirectoryStopsEverything) {
  TempDirScope temp("occupied");
  std::ofstream(temp.scratch().file("occupied")) << "a file where the directory should be";
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(UnpackEngine(), 0);
  DeployEngine();
  std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("} 创建程序下载引擎目录失败\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("创建程序工作目录失败"), std::string::npos);
  EXPECT_EQ(log.find("释放程序下载引擎文件完成"), std::string::npos);
}

TEST(EngineDeploymentTest, EndsTheFirstStaleEngineProcessOfEachName) {
  TempDirScope temp;
  ChildProcess reportA("XLBugReport.exe");
  ChildProcess reportB("XLBugReport.exe");
  ChildProcess platform("minithunderplatform.exe");  // differs only in letter case
  ChildProcess bystander("QbBystander.exe");
  ASSERT_TRUE(reportA.running() && reportB.running() && platform.running());
  ::testing::internal::CaptureStderr();
  DeployEngine();
  ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(platform.endedBySignal());
  // Exactly one of the two reporters is ended: the first in the process list.
  bool aRunning = reportA.running() && ::waitpid(reportA.pid(), nullptr, WNOHANG) == 0;
  bool bRunning = reportB.running() && ::waitpid(reportB.pid(), nullptr, WNOHANG) == 0;
  EXPECT_NE(aRunning, bRunning);
  EXPECT_TRUE(bystander.running());
  if (CurrentEngine()) CurrentEngine()->XL_UnInit();
}

}  // namespace
