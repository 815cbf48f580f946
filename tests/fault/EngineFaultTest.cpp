// The download engine (xldl_get over its C interface, in a child process with a time limit)
// against a server that hangs up or lies about its lengths, and with no room left for the file.
// Each run ends either with the file identical to the served one under its final name, or in the
// failure state with nothing under that name.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "fault/EngineCommand.h"
#include "fault/LyingHttpServer.h"
#include "fault/ScopedMount.h"
#include "support/ScratchDirectory.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr auto kTimeLimit = 60s;

std::string RandomBody(std::size_t size) {
  std::mt19937 random(11);
  std::string body(size, '\0');
  for (char& c : body) c = static_cast<char>(random());
  return body;
}

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class EngineFaultTest : public ::testing::Test {
 protected:
  // Downloads the served body as tool.zip into `directory` (the scratch directory by default).
  EngineOutcome fetch(const std::string& directory = "", rlim_t fileSizeLimit = RLIM_INFINITY) {
    EngineCommand command(server_.url(), directory.empty() ? scratch_.path().string() : directory,
                          "tool.zip");
    command.limitFileSize(fileSizeLimit);
    EngineOutcome outcome = command.run(kTimeLimit);
    EXPECT_FALSE(outcome.timedOut) << "the engine did not end within " << kTimeLimit.count() << " s";
    EXPECT_EQ(outcome.signal, 0) << "the engine was ended by signal " << outcome.signal;
    return outcome;
  }
  std::string saved(const std::string& directory = "") const {
    return (directory.empty() ? scratch_.path().string() : directory) + "/tool.zip";
  }
  // The one acceptable success: the whole body, byte for byte, and no leftovers beside it.
  void expectIdenticalFile(const EngineOutcome& outcome) {
    ASSERT_TRUE(outcome.completed()) << outcome.errors;
    EXPECT_TRUE(Contents(saved()) == body_) << "a wrong file was reported as complete";
    EXPECT_FALSE(fs::exists(saved() + ".part"));
    EXPECT_FALSE(fs::exists(saved() + ".part.state"));
  }
  // Failure, told as such, and nothing under the final name.
  void expectFailure(const EngineOutcome& outcome, int failCode, const std::string& directory = "") {
    EXPECT_TRUE(outcome.failed()) << "exit " << outcome.exitCode << ": " << outcome.errors;
    EXPECT_NE(outcome.errors.find("fail_code=" + std::to_string(failCode)), std::string::npos)
        << outcome.errors;
    EXPECT_FALSE(fs::exists(saved(directory))) << "a partial file stands under the final name";
  }

  ScratchDirectory scratch_;
  std::string body_ = RandomBody(1536 * 1024);
  LyingHttpServer server_{body_};
};

TEST_F(EngineFaultTest, ConnectionsDroppedMidTransferAreResumedToAnIdenticalFile) {
  server_.setRangesHonoured(true);
  server_.dropNext(3, 100 * 1024);
  expectIdenticalFile(fetch());
  EXPECT_GT(server_.requestCount(), 3);
}

TEST_F(EngineFaultTest, ABodyDroppedAtTheSamePointEveryTimeEndsInFailure) {
  server_.dropNext(1000, 200 * 1024);  // no ranges: every retry starts at byte 0 and ends there
  expectFailure(fetch(), 5);           // short body
  EXPECT_LE(server_.requestCount(), 10) << "the engine kept retrying without progress";
}

TEST_F(EngineFaultTest, ALengthLongerThanTheBodyNeverCompletes) {
  server_.setLengthLie(+100 * 1024);
  expectFailure(fetch(), 5);
}

TEST_F(EngineFaultTest, ALengthLongerThanEachRangeIsRetriedToAnIdenticalFile) {
  server_.setRangesHonoured(true);
  server_.setLengthLie(+4096);
  expectIdenticalFile(fetch());
}

// HTTP ends a body at its announced length, and curl reads no byte past it, so a shorter length
// cannot be told from a shorter file: the engine keeps exactly the announced bytes and nothing
// beyond. The launcher's unpacking then refuses the cut archive (LauncherFaultTest).
TEST_F(EngineFaultTest, ALengthShorterThanTheBodyGivesExactlyTheAnnouncedBytes) {
  server_.setLengthLie(-100 * 1024);
  EngineOutcome outcome = fetch();
  ASSERT_TRUE(outcome.completed()) << outcome.errors;
  EXPECT_TRUE(Contents(saved()) == body_.substr(0, body_.size() - 100 * 1024));
}

TEST_F(EngineFaultTest, AWriteLimitReachedMidTransferFailsWithoutAFinalFile) {
  server_.setNoLength();  // no length to reserve: the limit is met while the body streams in
  expectFailure(fetch("", 512 * 1024), 2);
  EXPECT_LE(fs::file_size(saved() + ".part"), 512u * 1024) << "the partial file grew past the limit";
}

TEST_F(EngineFaultTest, AFileLargerThanTheWriteLimitFailsBeforeAnyByte) {
  server_.setRangesHonoured(true);
  expectFailure(fetch("", 512 * 1024), 2);
  EXPECT_FALSE(fs::exists(saved() + ".part")) << "nothing arrived, so nothing is kept";
}

TEST_F(EngineFaultTest, AFullDiskFailsWithoutAFinalFile) {
  fs::path disk = scratch_.path() / "disk";
  fs::create_directory(disk);
  std::string why;
  auto mount = ScopedMount::SmallDisk(disk.string(), 512 * 1024, why);
  if (!mount) GTEST_SKIP() << "a small disk is not possible here: " << why;
  server_.setRangesHonoured(true);
  EngineOutcome outcome = fetch(disk.string());
  expectFailure(outcome, 2, disk.string());
}

}  // namespace
