// The updater program end to end: the real UpDater.exe, copied into a scratch run directory with a
// stand-in launcher script named quillbay beside it, against a local server.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "acquisition/ManifestRecord.h"
#include "acquisition/UpdateCheck.h"
#include "platform/updater/ManifestSignature.h"
#include "platform/updater/UpdaterExit.h"
#include "platform/urlmon/LocalHttpServer.h"
#include "shell/startup/CodePageText.h"
#include "support/CommandOutput.h"
#include "support/ScratchDirectory.h"

extern char** environ;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr auto kRunLimit = 60s;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteText(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// Waits for a child within the limit; kills it and fails the test when it does not end.
int WaitForChild(pid_t child, std::chrono::seconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      ADD_FAILURE() << "process " << child << " did not end in time";
      return -1;
    }
    std::this_thread::sleep_for(10ms);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class UpdaterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(run_);
    fs::copy_file(UPDATER_PATH, run_ / "UpDater.exe");
    // As in a run directory, the library it links lies beside it (found through $ORIGIN).
    fs::copy_file(fs::path(UPDATER_PATH).parent_path() / "libwin32.so", run_ / "libwin32.so");
    // The stand-in launcher notes each start in a file beside it.
    WriteText(run_ / "quillbay", "#!/bin/sh\necho started >> \"$(dirname \"$0\")/launcher-started\"\n");
    fs::permissions(run_ / "quillbay", fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
  }

  // The record that lists `path` (UTF-8) with `md5`, to be fetched from `urlPath` on the server.
  AnsiText record(const std::string& path, const AnsiText& md5, const std::string& urlPath,
                  const std::string& size) {
    const std::string url = urlPath.empty() ? "" : "http://127.0.0.1:" + std::to_string(port_) + urlPath;
    return EncodeManifestRecord(Utf8ToAnsiText(path) + "|" + md5 + "|" + url + "|" + size + "|note",
                                kManifestKeySentence);
  }
  // Runs the updater from the run directory with the given arguments; returns its exit code.
  int runUpdater(const std::vector<std::string>& arguments) {
    const std::string program = (run_ / "UpDater.exe").string();
    std::vector<std::string> args{program};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string errPath = scratch_.file("stderr.txt");
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int rc = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
      ADD_FAILURE() << "cannot start the updater: " << rc;
      return -1;
    }
    const int code = WaitForChild(child, std::chrono::duration_cast<std::chrono::seconds>(kRunLimit));
    stderr_ = ReadText(errPath);
    return code;
  }

  // Waits (bounded) for the stand-in launcher's note.
  bool launcherStarted() {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!fs::exists(run_ / "launcher-started")) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(10ms);
    }
    return true;
  }
  std::vector<std::string> leftovers() const {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(run_)) {
      if (entry.path().filename().string().find(".update-") != std::string::npos) {
        found.push_back(entry.path().string());
      }
    }
    return found;
  }

  ScratchDirectory scratch_;
  fs::path run_ = scratch_.path() / "run";
  LocalHttpServer http_;
  int port_ = 0;
  std::string stderr_;
};

// The server's routes are fixed and it runs before any record is made, since records name its port.
class StartedUpdaterTest : public UpdaterTest {
 protected:
  void SetUp() override {
    UpdaterTest::SetUp();
    http_.route("/updata.html", [this] { return LocalResponse{manifestStatus_, manifest_}; });
    // Signed as the publisher signs, with the build's key, unless a case says otherwise.
    http_.route("/updata.html.sig", [this] {
      if (signingKey_.empty()) return LocalResponse{404, "no signature"};
      std::string error;
      return LocalResponse{200, ManifestSignature::signHex(signedText_.empty() ? manifest_ : signedText_,
                                                           signingKey_, &error)};
    });
    http_.route("/files/new-a", [] { return LocalResponse{200, "new a"}; });
    http_.route("/files/new-layout", [] { return LocalResponse{200, "<new layout/>"}; });
    http_.route("/files/new-tool", [] { return LocalResponse{200, "tool bytes"}; });
    http_.route("/files/same", [] { return LocalResponse{200, "same"}; });
    http_.route("/files/broken", [] { return LocalResponse{200, "not what was listed"}; });
    http_.route("/files/missing", [] { return LocalResponse{404, "gone"}; });
    http_.start();
    port_ = http_.port();
    WriteText(run_ / "a.txt", "old a");
    WriteText(run_ / "布局文件" / "main.xml", "<old layout/>");
    WriteText(run_ / "same.txt", "same");
  }
  AnsiText listed(const std::string& path, const std::string& content, const std::string& name,
                  const std::string& size = "") {
    return record(path, Md5Hex(ByteBuffer(content.begin(), content.end()), true), "/files/" + name, size);
  }
  std::string manifestUrl(const std::vector<AnsiText>& records) {
    manifest_.clear();
    for (const AnsiText& r : records) manifest_ += (manifest_.empty() ? "" : "#") + r;
    return http_.url("/updata.html");
  }
  void expectOldFilesKept() {
    EXPECT_EQ(ReadText(run_ / "a.txt"), "old a");
    EXPECT_EQ(ReadText(run_ / "布局文件" / "main.xml"), "<old layout/>");
    EXPECT_EQ(ReadText(run_ / "same.txt"), "same");
    EXPECT_TRUE(leftovers().empty());
  }

  std::string manifest_;
  int manifestStatus_ = 200;
  std::string signingKey_ = QB_UPDATE_SIGNING_KEY;
  std::string signedText_;  // what the signature is of, when not the manifest served
};

TEST_F(StartedUpdaterTest, ReplacesExactlyTheDifferingFilesAndRestartsTheLauncher) {
  const std::string url = manifestUrl({
      listed("a.txt", "new a", "new-a", "5"),
      listed("布局文件\\main.xml", "<new layout/>", "new-layout"),
      listed("same.txt", "same", "same", "4"),
      listed("tools\\ocr\\tool.bin", "tool bytes", "new-tool", "10"),
  });
  EXPECT_EQ(runUpdater({url}), kUpdaterDone) << stderr_;
  EXPECT_EQ(ReadText(run_ / "a.txt"), "new a");
  EXPECT_EQ(ReadText(run_ / "布局文件" / "main.xml"), "<new layout/>");
  EXPECT_EQ(ReadText(run_ / "tools" / "ocr" / "tool.bin"), "tool bytes");
  EXPECT_EQ(ReadText(run_ / "same.txt"), "same");
  EXPECT_EQ(http_.requests("/files/same"), 0);
  EXPECT_EQ(http_.requests("/files/new-a"), 1);
  EXPECT_TRUE(leftovers().empty());
  EXPECT_TRUE(launcherStarted());
}

// Anyone on the network path could hand the updater a manifest of their own: it acts only on one
// whose signature verifies against its key, and changes nothing otherwise.
TEST_F(StartedUpdaterTest, AnUnsignedAlteredOrForeignSignedManifestChangesNoFile) {
  const AnsiText text = listed("a.txt", "new a", "new-a") + "#";
  EXPECT_EQ(runUpdater({text}), kUpdaterUnsigned) << "manifest text carries no signature";
  const std::string url = manifestUrl({listed("a.txt", "new a", "new-a")});
  signedText_ = manifest_ + "#";
  EXPECT_EQ(runUpdater({url}), kUpdaterUnsigned) << "altered after signing";
  signedText_.clear();
  signingKey_ = scratch_.file("other-key.pem");
  std::string error;
  ASSERT_TRUE(ManifestSignature::generateKey(signingKey_, &error)) << error;
  EXPECT_EQ(runUpdater({url}), kUpdaterUnsigned) << "signed with another key";
  signingKey_.clear();
  EXPECT_EQ(runUpdater({url}), kUpdaterUnsigned) << "no signature at all";
  expectOldFilesKept();
  EXPECT_EQ(http_.requests("/files/new-a"), 0);
  EXPECT_TRUE(launcherStarted());
}

TEST_F(StartedUpdaterTest, NothingDifferingDownloadsNothing) {
  const std::string url = manifestUrl({listed("same.txt", "same", "same")});
  EXPECT_EQ(runUpdater({url}), kUpdaterDone) << stderr_;
  EXPECT_EQ(http_.requests("/files/same"), 0);
  EXPECT_TRUE(launcherStarted());
}

TEST_F(StartedUpdaterTest, RefusesPathsOutsideTheRunDirectoryAndReplacesNothing) {
  for (const char* path : {"..\\outside.txt", "tools\\..\\..\\outside.txt", "\\tmp\\outside.txt"}) {
    const std::string url = manifestUrl({listed("a.txt", "new a", "new-a"), listed(path, "new a", "new-a")});
    EXPECT_EQ(runUpdater({url}), kUpdaterUnsafePath) << path;
    EXPECT_NE(stderr_.find("拒绝"), std::string::npos) << stderr_;
    EXPECT_FALSE(fs::exists(scratch_.path() / "outside.txt"));
    expectOldFilesKept();
  }
  EXPECT_TRUE(launcherStarted());
}

TEST_F(StartedUpdaterTest, AMismatchingMd5ReplacesNothing) {
  const std::string url = manifestUrl({
      listed("a.txt", "new a", "new-a"),
      record("布局文件\\main.xml", Md5Hex(TextAsBytes("<new layout/>"), true), "/files/broken", ""),
  });
  EXPECT_EQ(runUpdater({url}), kUpdaterMismatch);
  EXPECT_NE(stderr_.find("MD5"), std::string::npos) << stderr_;
  expectOldFilesKept();
  EXPECT_TRUE(launcherStarted());
}

TEST_F(StartedUpdaterTest, AWrongListedSizeReplacesNothing) {
  EXPECT_EQ(runUpdater({manifestUrl({listed("a.txt", "new a", "new-a", "4")})}), kUpdaterMismatch);
  expectOldFilesKept();
  EXPECT_EQ(runUpdater({manifestUrl({listed("a.txt", "new a", "new-a", "6")})}), kUpdaterMismatch);
  expectOldFilesKept();
}

TEST_F(StartedUpdaterTest, AFailedDownloadReplacesNothing) {
  std::string url = manifestUrl({listed("a.txt", "new a", "new-a"), listed("same.txt", "other", "missing")});
  EXPECT_EQ(runUpdater({url}), kUpdaterDownloadFailed);
  EXPECT_NE(stderr_.find("404"), std::string::npos) << stderr_;
  expectOldFilesKept();
  url = manifestUrl({record("a.txt", Md5Hex(TextAsBytes("x"), true), "", "")});
  EXPECT_EQ(runUpdater({url}), kUpdaterDownloadFailed);
  expectOldFilesKept();
}

TEST_F(StartedUpdaterTest, AnUnreadableOrEmptyManifestIsReported) {
  manifestStatus_ = 500;
  EXPECT_EQ(runUpdater({manifestUrl({listed("a.txt", "new a", "new-a")})}), kUpdaterManifestUnreadable);
  EXPECT_FALSE(stderr_.empty());
  manifestStatus_ = 200;
  EXPECT_EQ(runUpdater({manifestUrl({"garbage", EncodeManifestRecord("a|b", kManifestKeySentence)})}),
            kUpdaterManifestEmpty);
  expectOldFilesKept();
}

TEST_F(UpdaterTest, WithoutExactlyOneArgumentItExplainsItsUse) {
  EXPECT_EQ(runUpdater({}), kUpdaterUsage);
  EXPECT_NE(stderr_.find("UpDater.exe"), std::string::npos);
  EXPECT_EQ(runUpdater({"a", "b"}), kUpdaterUsage);
  EXPECT_FALSE(fs::exists(run_ / "launcher-started"));
}

TEST_F(StartedUpdaterTest, WaitsForTheRunningLauncherToExitBeforeReplacing) {
  // A launcher that runs two more seconds: a copy of sleep under the launcher's name.
  fs::remove(run_ / "quillbay");
  fs::copy_file("/bin/sleep", run_ / "quillbay");
  pid_t launcher = 0;
  const std::string program = (run_ / "quillbay").string();
  std::string seconds = "2";
  char* argv[] = {const_cast<char*>(program.c_str()), seconds.data(), nullptr};
  ASSERT_EQ(posix_spawn(&launcher, program.c_str(), nullptr, nullptr, argv, environ), 0);
  EXPECT_EQ(runUpdater({manifestUrl({listed("a.txt", "new a", "new-a")})}), kUpdaterDone) << stderr_;
  // The launcher had ended (it waits for us to reap it) by the time the updater finished.
  int status = 0;
  EXPECT_EQ(waitpid(launcher, &status, WNOHANG), launcher);
  if (waitpid(launcher, &status, WNOHANG) == 0) WaitForChild(launcher, 10s);
  EXPECT_EQ(ReadText(run_ / "a.txt"), "new a");
}

TEST_F(UpdaterTest, AManifestFromMakeManifestBringsTheRunDirectoryToTheServersFiles) {
  const fs::path published = scratch_.path() / "published";
  WriteText(published / "a.txt", "fresh a");
  WriteText(published / "布局文件" / "main.xml", "<fresh/>");
  WriteText(run_ / "a.txt", "stale a");
  http_.server().set_mount_point("/files", published.string());
  const fs::path manifest = scratch_.path() / "site" / "updata.html";
  fs::create_directories(manifest.parent_path());
  http_.server().set_mount_point("/site", manifest.parent_path().string());
  http_.start();
  port_ = http_.port();
  CommandOutput(std::string(MAKE_MANIFEST_PATH) + " '" + published.string() + "' http://127.0.0.1:" +
                std::to_string(port_) + "/files > '" + manifest.string() + "'");
  CommandOutput(std::string(SIGN_MANIFEST_PATH) + " sign '" QB_UPDATE_SIGNING_KEY "' '" + manifest.string() + "' '" +
                manifest.string() + ".sig'");
  ASSERT_FALSE(ReadText(manifest).empty());
  EXPECT_EQ(runUpdater({http_.url("/site/updata.html")}), kUpdaterDone) << stderr_;
  EXPECT_EQ(ReadText(run_ / "a.txt"), "fresh a");
  EXPECT_EQ(ReadText(run_ / "布局文件" / "main.xml"), "<fresh/>");
  EXPECT_TRUE(launcherStarted());
}

}  // namespace
