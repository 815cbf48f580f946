// The engine through its C interface against a real HTTP server on 127.0.0.1. Every download
// must end either with a file identical to the source or in the failure state.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>

#include "platform/xldl/EngineStatus.h"
#include "platform/xldl/ScratchDirectory.h"
#include "platform/xldl/TaskBlocks.h"
#include "platform/xldl/TestFileServer.h"
#include "platform/xldl/XlDownload.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;
using Mode = TestFileServer::Mode;

struct Outcome {
  xldl::TaskProgress last;
  std::vector<xldl::TaskProgress> history;
  bool timedOut = false;
};

// Runs one task to its end (or the time limit) the way the launcher does, polling often.
Outcome Download(const std::string& url, const std::string& directory, const std::string& name,
                 std::chrono::seconds limit = 60s) {
  Outcome outcome;
  xldl::TaskParameters parameters;
  parameters.url = url;
  parameters.savePath = directory;
  parameters.fileName = name;
  parameters.disableAutoRename = true;
  auto paramBlock = xldl::MakeTaskParamBlock(parameters);
  std::vector<uint8_t> infoBlock(xldl::kInfoBlockSize, 0);
  EXPECT_TRUE(XL_Init());
  XL_TASK task = XL_CreateTask(paramBlock.data());
  EXPECT_NE(task, nullptr);
  EXPECT_TRUE(XL_StartTask(task));
  auto deadline = std::chrono::steady_clock::now() + limit;
  while (true) {
    std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(XL_QueryTaskInfoEx(task, infoBlock.data()));
    outcome.last = xldl::ReadTaskInfoBlock(infoBlock.data());
    outcome.history.push_back(outcome.last);
    if (outcome.last.stat == kTaskComplete || outcome.last.stat == kTaskFailed) break;
    if (std::chrono::steady_clock::now() > deadline) {
      outcome.timedOut = true;
      break;
    }
  }
  XL_UnInit();
  return outcome;
}

void ExpectProgressNeverGoesBack(const Outcome& outcome) {
  int64_t downloaded = 0;
  float percent = 0;
  for (const auto& step : outcome.history) {
    EXPECT_GE(step.totalDownload, downloaded);
    EXPECT_GE(step.percent, percent);
    EXPECT_LE(step.percent, 1.0f);
    if (step.totalSize > 0) EXPECT_LE(step.totalDownload, step.totalSize);
    downloaded = step.totalDownload;
    percent = step.percent;
  }
}

void ExpectFailedWithoutFile(const Outcome& outcome, const ScratchDirectory& dir, int32_t failCode) {
  ASSERT_FALSE(outcome.timedOut);
  EXPECT_EQ(outcome.last.stat, kTaskFailed);
  EXPECT_EQ(outcome.last.failCode, failCode);
  EXPECT_FALSE(std::filesystem::exists(dir.file("tool.zip")));
}

class EngineTest : public ::testing::Test {
 protected:
  const std::string m_body = TestFileServer::RandomBody(3 * 1024 * 1024 + 123);
  TestFileServer m_server{m_body};
  ScratchDirectory m_dir;

  void leavePartialDownload();
};

TEST_F(EngineTest, DownloadsIdenticalFileOverEightRangeConnections) {
  Outcome outcome = Download(m_server.url(), m_dir.path(), "tool.zip");
  ASSERT_FALSE(outcome.timedOut);
  EXPECT_EQ(outcome.last.stat, kTaskComplete);
  EXPECT_EQ(outcome.last.failCode, kFailNone);
  EXPECT_EQ(outcome.last.totalSize, static_cast<int64_t>(m_body.size()));
  EXPECT_EQ(outcome.last.totalDownload, static_cast<int64_t>(m_body.size()));
  EXPECT_FLOAT_EQ(outcome.last.percent, 1.0f);
  EXPECT_EQ(outcome.last.sourcesTotal, 8);
  EXPECT_EQ(outcome.last.fileName, "tool.zip");
  EXPECT_TRUE(outcome.last.originUsable);
  EXPECT_EQ(ScratchDirectory::Read(m_dir.file("tool.zip")), m_body);
  EXPECT_FALSE(std::filesystem::exists(m_dir.file("tool.zip.part")));
  EXPECT_FALSE(std::filesystem::exists(m_dir.file("tool.zip.part.state")));
  EXPECT_GE(m_server.rangesSeen().size(), 8u);
  ExpectProgressNeverGoesBack(outcome);
}

TEST_F(EngineTest, FallsBackToOneConnectionWhenServerIgnoresRanges) {
  m_server.setMode(Mode::IgnoreRanges);
  Outcome outcome = Download(m_server.url(), m_dir.path(), "tool.zip");
  ASSERT_FALSE(outcome.timedOut);
  EXPECT_EQ(outcome.last.stat, kTaskComplete);
  EXPECT_EQ(outcome.last.sourcesTotal, 1);
  EXPECT_EQ(m_server.requestCount(), 1);
  EXPECT_EQ(ScratchDirectory::Read(m_dir.file("tool.zip")), m_body);
}

TEST_F(EngineTest, RetriesDroppedConnectionsFromWhereTheyStopped) {
  m_server.dropNext(6, 100 * 1024);
  Outcome outcome = Download(m_server.url(), m_dir.path(), "tool.zip");
  ASSERT_FALSE(outcome.timedOut);
  EXPECT_EQ(outcome.last.stat, kTaskComplete);
  EXPECT_EQ(ScratchDirectory::Read(m_dir.file("tool.zip")), m_body);
  ExpectProgressNeverGoesBack(outcome);
  // A retried range starts where its dropped connection stopped, 100 KiB into its segment.
  auto ranges = m_server.rangesSeen();
  EXPECT_NE(std::find(ranges.begin(), ranges.end(), "bytes=102400-393230"), ranges.end());
}

TEST_F(EngineTest, DroppedWholeBodyIsResumedWithoutRanges) {
  m_server.setMode(Mode::IgnoreRanges);
  m_server.dropNext(2, 1024 * 1024);
  Outcome outcome = Download(m_server.url(), m_dir.path(), "tool.zip");
  ASSERT_FALSE(outcome.timedOut);
  EXPECT_EQ(outcome.last.stat, kTaskComplete);
  EXPECT_EQ(ScratchDirectory::Read(m_dir.file("tool.zip")), m_body);
  ExpectProgressNeverGoesBack(outcome);
}

TEST_F(EngineTest, ShortBodyUnderLongLengthNeverCompletes) {
  m_server.setMode(Mode::ShortBody);
  Outcome outcome = Download(m_server.url(), m_dir.path(), "tool.zip");
  ExpectFailedWithoutFile(outcome, m_dir, kFailShortBody);
  ExpectProgressNeverGoesBack(outcome);
  EXPECT_LT(outcome.last.totalDownload, static_cast<int64_t>(m_body.size()));
}

TEST_F(EngineTest, ErrorPagesEndInFailureState) {
  m_server.setMode(Mode::NotFound);
  Outcome notFound = Download(m_server.url(), m_dir.path(), "tool.zip");
  ExpectFailedWithoutFile(notFound, m_dir, kFailHttpStatus);
  EXPECT_EQ(notFound.last.httpStatus, 404);
  EXPECT_EQ(m_server.requestCount(), 1);  // a missing file is not asked for again

  m_server.setMode(Mode::RangeRefused);
  Outcome refused = Download(m_server.url(), m_dir.path(), "tool.zip");
  ExpectFailedWithoutFile(refused, m_dir, kFailRangeRefused);

  m_server.setMode(Mode::ServerError);
  Outcome serverError = Download(m_server.url(), m_dir.path(), "tool.zip");
  ExpectFailedWithoutFile(serverError, m_dir, kFailHttpStatus);
  EXPECT_EQ(serverError.last.httpStatus, 500);
  EXPECT_FALSE(std::filesystem::exists(m_dir.file("tool.zip.part")));

  // A 200 page in place of an archive (a login or "not found" page) is no file either.
  m_server.setMode(Mode::HtmlPage);
  Outcome page = Download(m_server.url(), m_dir.path(), "tool.zip");
  ExpectFailedWithoutFile(page, m_dir, kFailErrorPage);
  EXPECT_FALSE(std::filesystem::exists(m_dir.file("tool.zip.part")));
}

TEST_F(EngineTest, FollowsRedirectsButNotLoops) {
  Outcome redirected = Download(m_server.url("/redirect"), m_dir.path(), "tool.zip");
  ASSERT_FALSE(redirected.timedOut);
  EXPECT_EQ(redirected.last.stat, kTaskComplete);
  EXPECT_EQ(ScratchDirectory::Read(m_dir.file("tool.zip")), m_body);

  Outcome looping = Download(m_server.url("/loop"), m_dir.path(), "loop.zip");
  ASSERT_FALSE(looping.timedOut);
  EXPECT_EQ(looping.last.stat, kTaskFailed);
  EXPECT_EQ(looping.last.failCode, kFailTooManyRedirects);
}

TEST_F(EngineTest, SlowServerReportsHonestSpeedAndSources) {
  m_server.throttle(4 * 1024, 20ms);
  Outcome outcome = Download(m_server.url(), m_dir.path(), "tool.zip", 120s);
  ASSERT_FALSE(outcome.timedOut);
  EXPECT_EQ(outcome.last.stat, kTaskComplete);
  EXPECT_EQ(ScratchDirectory::Read(m_dir.file("tool.zip")), m_body);
  ExpectProgressNeverGoesBack(outcome);
  bool sawSpeed = false, sawSources = false;
  for (const auto& step : outcome.history) {
    if (step.stat != kTaskDownloading) continue;
    // Once known, the total is the whole file's size at every step.
    if (step.totalSize != 0) EXPECT_EQ(step.totalSize, static_cast<int64_t>(m_body.size()));
    EXPECT_LE(step.sourcesUsing, step.sourcesTotal);
    sawSpeed |= step.speed > 0;
    sawSources |= step.sourcesUsing > 1;
  }
  EXPECT_TRUE(sawSpeed);
  EXPECT_TRUE(sawSources);
  EXPECT_EQ(outcome.last.speed, 0);
  EXPECT_EQ(outcome.last.sourcesUsing, 0);
}

TEST_F(EngineTest, UnusableParametersFailAtOnce) {
  Outcome noName = Download(m_server.url(), m_dir.path(), "");
  EXPECT_EQ(noName.last.stat, kTaskFailed);
  EXPECT_EQ(noName.last.failCode, kFailBadParameters);
  Outcome badScheme = Download("gopher://127.0.0.1/x", m_dir.path(), "tool.zip");
  EXPECT_EQ(badScheme.last.stat, kTaskFailed);
  EXPECT_EQ(badScheme.last.failCode, kFailBadParameters);
  EXPECT_EQ(m_server.requestCount(), 0);
}

TEST_F(EngineTest, InterfaceRejectsUnknownHandlesAndUseBeforeInit) {
  std::vector<uint8_t> info(xldl::kInfoBlockSize, 0);
  EXPECT_EQ(XL_CreateTask(xldl::MakeTaskParamBlock({}).data()), nullptr);  // not initialised
  EXPECT_FALSE(XL_UnInit());
  ASSERT_TRUE(XL_Init());
  EXPECT_EQ(XL_CreateTask(nullptr), nullptr);
  EXPECT_FALSE(XL_StartTask(reinterpret_cast<XL_TASK>(0x7777)));
  EXPECT_FALSE(XL_QueryTaskInfoEx(reinterpret_cast<XL_TASK>(0x7777), info.data()));
  EXPECT_TRUE(XL_UnInit());
}

// Starts a download in a separate engine process, waits for a saved state with some data behind
// it, and kills the process without warning; the partial file and its state stay.
void EngineTest::leavePartialDownload() {
  m_server.throttle(2 * 1024, 20ms);
  std::string url = m_server.url();
  std::string path = XLDL_GET_PATH;
  char* argv[] = {path.data(),
                  url.data(),
                  const_cast<char*>(m_dir.path().c_str()),
                  const_cast<char*>("tool.zip"),
                  const_cast<char*>("--quiet"),
                  nullptr};
  pid_t child = 0;
  ASSERT_EQ(posix_spawn(&child, path.c_str(), nullptr, nullptr, argv, environ), 0);
  // Wait for a saved state with some data behind it, then kill the engine without warning.
  auto deadline = std::chrono::steady_clock::now() + 30s;
  while (!std::filesystem::exists(m_dir.file("tool.zip.part.state")) &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(20ms);
  ASSERT_TRUE(std::filesystem::exists(m_dir.file("tool.zip.part.state")));
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));
  ASSERT_FALSE(std::filesystem::exists(m_dir.file("tool.zip")));
}

TEST_F(EngineTest, KilledDownloadResumesAndEndsIdentical) {
  ASSERT_NO_FATAL_FAILURE(leavePartialDownload());
  std::size_t requestsBefore = m_server.rangesSeen().size();

  m_server.throttle(64 * 1024, 0ms);
  Outcome outcome = Download(m_server.url(), m_dir.path(), "tool.zip");
  ASSERT_FALSE(outcome.timedOut);
  EXPECT_EQ(outcome.last.stat, kTaskComplete);
  EXPECT_EQ(ScratchDirectory::Read(m_dir.file("tool.zip")), m_body);
  ExpectProgressNeverGoesBack(outcome);
  EXPECT_EQ(outcome.history.back().totalSize, static_cast<int64_t>(m_body.size()));
  // Resumed ranges do not start at the segment beginnings.
  auto ranges = m_server.rangesSeen();
  int resumedRanges = 0;
  for (std::size_t i = requestsBefore; i < ranges.size(); ++i) {
    long long first = 0;
    std::sscanf(ranges[i].c_str(), "bytes=%lld-", &first);
    if (first % 393231 != 0) ++resumedRanges;  // segment boundaries are multiples of the size
  }
  EXPECT_GT(resumedRanges, 0);
  for (std::size_t i = requestsBefore; i < ranges.size(); ++i) EXPECT_NE(ranges[i], "bytes=0-");
}

// The same length, other bytes: the validators tell, and the download starts over rather than
// stitching two versions together.
TEST_F(EngineTest, AFileChangedOnTheServerBeforeAResumeIsFetchedWholeAgain) {
  ASSERT_NO_FATAL_FAILURE(leavePartialDownload());
  const std::string changed = TestFileServer::RandomBody(m_body.size(), 99);
  m_server.replaceBody(changed);
  m_server.throttle(64 * 1024, 0ms);
  Outcome outcome = Download(m_server.url(), m_dir.path(), "tool.zip");
  ASSERT_FALSE(outcome.timedOut);
  EXPECT_EQ(outcome.last.stat, kTaskComplete);
  EXPECT_TRUE(ScratchDirectory::Read(m_dir.file("tool.zip")) == changed) << "the file mixes two versions";
  for (const auto& step : outcome.history) {
    EXPECT_LE(step.percent, 1.0f);
    if (step.totalSize > 0) EXPECT_LE(step.totalDownload, step.totalSize);
  }
  EXPECT_FALSE(std::filesystem::exists(m_dir.file("tool.zip.part.state")));
}

// A file that shrank, on a server without validators: the old ranges are refused (416), and
// the download starts over once and completes.
TEST_F(EngineTest, ARefusedRangeOnResumeStartsOverAndCompletes) {
  ASSERT_NO_FATAL_FAILURE(leavePartialDownload());
  const std::string shrunk = TestFileServer::RandomBody(1000, 5);
  m_server.replaceBody(shrunk, false);
  m_server.throttle(64 * 1024, 0ms);
  Outcome outcome = Download(m_server.url(), m_dir.path(), "tool.zip");
  ASSERT_FALSE(outcome.timedOut);
  EXPECT_EQ(outcome.last.stat, kTaskComplete);
  EXPECT_TRUE(ScratchDirectory::Read(m_dir.file("tool.zip")) == shrunk);
  EXPECT_EQ(outcome.last.totalSize, 1000);
}

}  // namespace
