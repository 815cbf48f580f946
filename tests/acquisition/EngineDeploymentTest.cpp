#include "acquisition/EngineDeployment.h"
#include "shell/startup/CodePageText.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "acquisition/ChildProcess.h"
#include "acquisition/EngineLibrary.h"
#include "acquisition/TaskParamRecord.h"
#include "acquisition/TempDirScope.h"

namespace {

namespace fs = std::filesystem;

const std::string kBuiltEngine = XLDL_PATH;
// The engine's private directory inside a scratch temporary directory.
const std::string kHome = "quillbay-engine-" + std::to_string(::getuid());

TEST(EngineDeploymentTest, PathsHangOffAPrivateDirectoryInTheTemporaryDirectory) {
  TempDirScope temp;
  AnsiText root = temp.scratch().path() + "/";
  EXPECT_EQ(TempDir(), root);
  EXPECT_EQ(EngineDir(), root + kHome + "\\downLoad\\");
  EXPECT_EQ(EngineWorkDir(), root + kHome + "\\download\\");
  struct stat info {};
  ASSERT_EQ(::lstat(temp.file(kHome).c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
}

// Another user could make the directory first and plant a link or an engine of their own; the
// engine is then neither written nor loaded there.
TEST(EngineDeploymentTest, APlantedLinkOrAnOpenDirectoryIsNeverUsed) {
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  for (bool link : {true, false}) {
    TempDirScope temp;
    fs::create_directories(temp.file("planted"));
    if (link) {
      fs::create_directory_symlink(temp.file("planted"), temp.file(kHome));
    } else {
      fs::create_directories(temp.file(kHome));
      fs::permissions(temp.file(kHome), fs::perms::all);
    }
    ::setenv("HOME", temp.file("home").c_str(), 1);  // the fallback, in the user's cache
    ::unsetenv("XDG_CACHE_HOME");
    ::testing::internal::CaptureStderr();
    AnsiText failure;
    EXPECT_TRUE(DeployEngine(&failure)) << failure;
    std::string log = ConsoleToAnsi(::testing::internal::GetCapturedStderr());
    EXPECT_NE(log.find(link ? "是链接或不是文件夹" : "其他用户可以访问"), std::string::npos) << log;
    EXPECT_TRUE(fs::is_empty(temp.file("planted")));
    EXPECT_FALSE(fs::exists(temp.file(kHome + "/downLoad")));
    EXPECT_TRUE(fs::exists(temp.file("home/.cache/" + kHome + "/downLoad/xldl.dll")));
    if (CurrentEngine()) CurrentEngine()->XL_UnInit();
  }
  ::setenv("HOME", home.c_str(), 1);
}

TEST(EngineDeploymentTest, DeploysTheEngineLoadsItAndInitialisesIt) {
  TempDirScope temp;
  ::testing::internal::CaptureStderr();
  DeployEngine();
  std::string log = ConsoleToAnsi(::testing::internal::GetCapturedStderr());
  EXPECT_NE(log.find("} 释放程序下载引擎文件完成"), std::string::npos) << log;
  EXPECT_EQ(ScratchDirectory::Read(temp.file(kHome + "/downLoad/xldl.dll")),
            ScratchDirectory::Read(kBuiltEngine));
  EXPECT_FALSE(fs::exists(temp.file(kHome + "/downLoad/tmp.zip")));
  EXPECT_TRUE(fs::is_directory(temp.file(kHome + "/download")));
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
  fs::create_directories(temp.file(kHome + "/downLoad"));
  fs::permissions(temp.file(kHome), fs::perms::owner_all);
  std::ofstream(temp.file(kHome + "/downLoad/xldl.dll")) << "stale engine";
  std::ofstream(temp.file(kHome + "/downLoad/keep.dat")) << "keep";
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(UnpackEngine(), 1);
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(ScratchDirectory::Read(temp.file(kHome + "/downLoad/xldl.dll")),
            ScratchDirectory::Read(kBuiltEngine));
  EXPECT_EQ(ScratchDirectory::Read(temp.file(kHome + "/downLoad/keep.dat")), "keep");
  CurrentEngine()->XL_UnInit();
}

TEST(EngineDeploymentTest, FailureToMakeTheEngineDirectoryStopsEverything) {
  TempDirScope temp;
  fs::create_directories(temp.file(kHome));
  fs::permissions(temp.file(kHome), fs::perms::owner_all);
  std::ofstream(temp.file(kHome + "/downLoad")) << "a file where the directory should be";
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(UnpackEngine(), 0);
  AnsiText failure;
  EXPECT_FALSE(DeployEngine(&failure));
  EXPECT_FALSE(failure.empty());
  std::string log = ConsoleToAnsi(::testing::internal::GetCapturedStderr());
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
