#include "acquisition/UpdateCheck.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <thread>

#include "acquisition/ManifestRecord.h"
#include "platform/urlmon/LocalHttpServer.h"
#include "platform/win32/Win32.h"
#include "shell/startup/RunDirectory.h"
#include "support/CommandOutput.h"
#include "support/ScratchDirectory.h"

namespace {

const char* const kEmptyMd5 = "d41d8cd98f00b204e9800998ecf8427e";
// Characters 3 to 11 of the MD5 of the key sentence's CP936 bytes (05c827a065f3d0a4...).
const char* const kKeyTag = "C827A065F";

// Records what the check would do to the world, in order.
class RecordingEffects : public UpdateEffects {
 public:
  void showMessage(const AnsiText& text, const AnsiText& title) override {
    events.push_back("message:" + text + "/" + title);
  }
  void startUpdater(const AnsiText& location) override { events.push_back("updater:" + location); }
  void endProcess() override { events.push_back("end"); }
  std::vector<AnsiText> events;
};

AnsiText Record(const AnsiText& path, const AnsiText& md5, size_t fields = 5) {
  AnsiText content = path + "|" + md5;
  for (size_t i = 2; i < fields; ++i) content += "|f" + std::to_string(i + 1);
  return EncodeManifestRecord(content, kManifestKeySentence);
}

TEST(Md5Hex, MatchesTheRfc1321VectorsInLowerCase) {
  const std::pair<const char*, const char*> vectors[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& [input, digest] : vectors) EXPECT_EQ(Md5Hex(TextAsBytes(input), true), digest) << input;
}

TEST(Md5Hex, WritesUpperCaseUnlessAskedForLowerCase) {
  EXPECT_EQ(Md5Hex(TextAsBytes("abc"), false), "900150983CD24FB0D6963F7D28E17F72");
  EXPECT_EQ(Md5Hex(ByteBuffer{}, false), "D41D8CD98F00B204E9800998ECF8427E");
  EXPECT_EQ(Md5Hex(TextAsBytes("message digest"), false), "F96B697D7CB7938D525A2F31AAF161D0");
}

TEST(Md5Hex, HashesZeroBytesAndTheKeySentencesCodePage936Bytes) {
  EXPECT_EQ(Md5Hex(ByteBuffer{0, 0, 0}, true), "693e9af84d3dfcc71e640e005bdc5e2e");
  const AnsiText key = kManifestKeySentence;
  ASSERT_EQ(key.size(), 40u);
  EXPECT_EQ(Md5Hex(TextAsBytes(key), true), "05c827a065f3d0a4becc9a524fc16d02");
}

TEST(HexToBytes, DecodesPairsInEitherCase) {
  EXPECT_EQ(HexToBytes("00ff7Fa0"), (ByteBuffer{0x00, 0xFF, 0x7F, 0xA0}));
  EXPECT_EQ(HexToBytes("abAB"), (ByteBuffer{0xAB, 0xAB}));
  EXPECT_TRUE(HexToBytes("").empty());
}

TEST(HexToBytes, SkipsOtherCharactersWithinTheirPair) {
  EXPECT_EQ(HexToBytes("4x"), (ByteBuffer{0x04}));
  EXPECT_EQ(HexToBytes("x4"), (ByteBuffer{0x04}));
  EXPECT_EQ(HexToBytes("zz41"), (ByteBuffer{0x00, 0x41}));
  EXPECT_EQ(HexToBytes("g1G2"), (ByteBuffer{0x01, 0x02}));
}

TEST(HexToBytes, AFinalSingleCharacterFormsAByte) {
  EXPECT_EQ(HexToBytes("abc"), (ByteBuffer{0xAB, 0x0C}));
  EXPECT_EQ(HexToBytes("7"), (ByteBuffer{0x07}));
}

std::vector<UINT> g_dispatched;
LRESULT RecordMessage(HWND, UINT message, WPARAM, LPARAM) {
  g_dispatched.push_back(message);
  return 0;
}

TEST(HexToBytes, ProcessesPendingMessagesAsItGoes) {
  HWND window = QbCreateWindow(RecordMessage, nullptr);
  g_dispatched.clear();
  PostMessageA(window, WM_USER + 7, 0, 0);
  EXPECT_EQ(HexToBytes("01"), (ByteBuffer{0x01}));
  EXPECT_EQ(g_dispatched, (std::vector<UINT>{WM_USER + 7}));
  DestroyWindow(window);
}

TEST(DecodeManifestRecord, ReadsARecordMadeWithTheKeySentence) {
  // 'a' ^ 0x3B = 0x5A, '|' ^ 0x3B = 0x47, 'b' = 0x59, 'c' = 0x58, 'd' = 0x5F, 'e' = 0x5E.
  EXPECT_EQ(DecodeManifestRecord(AnsiText("5A47594758475F475E") + kKeyTag, kManifestKeySentence),
            "a|b|c|d|e");
  EXPECT_EQ(DecodeManifestRecord(AnsiText("5a47594758475f475e") + kKeyTag, kManifestKeySentence),
            "a|b|c|d|e");
  EXPECT_EQ(ManifestTag(kManifestKeySentence), kKeyTag);
}

TEST(DecodeManifestRecord, GivesBackWhatEncodeMade) {
  const AnsiText content = "布局文件\\main.xml|0123456789abcdef0123456789abcdef|http://h/m|10|界面";
  const AnsiText record = EncodeManifestRecord(content, kManifestKeySentence);
  EXPECT_EQ(record.substr(record.size() - 9), kKeyTag);
  EXPECT_EQ(DecodeManifestRecord(record, kManifestKeySentence), content);
}

TEST(DecodeManifestRecord, AWrongTagGivesEmptyText) {
  EXPECT_EQ(DecodeManifestRecord("5A475947584C827A065E", kManifestKeySentence), "");
  EXPECT_EQ(DecodeManifestRecord(AnsiText("5A4759") + "c827a065f", kManifestKeySentence), "");  // exact case
  EXPECT_EQ(DecodeManifestRecord("C827A065", kManifestKeySentence), "");
  EXPECT_EQ(DecodeManifestRecord("", kManifestKeySentence), "");
  const AnsiText madeWithAnotherKey = EncodeManifestRecord("a|b|c|d|e", "another key");
  EXPECT_EQ(DecodeManifestRecord(madeWithAnotherKey, kManifestKeySentence), "");
  EXPECT_EQ(DecodeManifestRecord(madeWithAnotherKey, "another key"), "a|b|c|d|e");
}

TEST(DecodeManifestRecord, OddHexCharactersAndAnOddLengthDecodeAsTheirDigits) {
  // "4z" is the byte 0x04, and 0x04 ^ 0x3B = '?'.
  EXPECT_EQ(DecodeManifestRecord(AnsiText("5A4z") + kKeyTag, kManifestKeySentence), "a?");
  EXPECT_EQ(DecodeManifestRecord(AnsiText("5Az4") + kKeyTag, kManifestKeySentence), "a?");
  EXPECT_EQ(DecodeManifestRecord(AnsiText("5A4") + kKeyTag, kManifestKeySentence), "a?");
  EXPECT_EQ(DecodeManifestRecord(AnsiText(kKeyTag), kManifestKeySentence), "");
}

TEST(DecodeManifestRecord, ContentEndsAtItsFirstZeroByte) {
  // 0x3B decodes to a zero byte.
  EXPECT_EQ(DecodeManifestRecord(AnsiText("5A3B5A") + kKeyTag, kManifestKeySentence), "a");
}

TEST(UpdateCheck, TheSystemManifestLivesOnTheDistributionSite) {
  EXPECT_EQ(SystemManifestUrl(), QB_DIST_BASE_URL "/quillbay_resalse/updata.html");
  EXPECT_TRUE(IsManifestUrl(SystemManifestUrl()));
  EXPECT_TRUE(IsManifestUrl("x https://h/y"));
  EXPECT_FALSE(IsManifestUrl("HTTP://h/y"));
  EXPECT_FALSE(IsManifestUrl("Https://h/y"));
}

class CheckForUpdatesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousRunDir_ = RunDir();
    SetRunDirForTesting(scratch_.path().string());
  }
  void TearDown() override { SetRunDirForTesting(previousRunDir_); }

  // Writes `bytes` at `relative` (a CP936 path as the manifest lists it) under the run directory;
  // returns their MD5.
  AnsiText writeFile(const AnsiText& relative, const std::string& bytes) {
    std::filesystem::path path = QbNativePath((RunDir() + "\\" + relative).c_str());
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return Md5Hex(TextAsBytes(bytes), true);
  }
  // Serves `manifest` at /updata.html and counts the requests.
  std::string serve(const std::string& manifest) {
    http_.serve("/updata.html", manifest);
    http_.start();
    return http_.url("/updata.html");
  }
  std::vector<AnsiText> differenceEvents(const AnsiText& location) const {
    return {"message:未发现软件更新但检测到网络文件与本地文件有差异，需更新！/发现差异文件",
            "updater:" + location, "end"};
  }

  int requests() const { return http_.requests("/updata.html"); }

  ScratchDirectory scratch_;
  AnsiText previousRunDir_;
  LocalHttpServer http_;
  RecordingEffects effects_;
};

TEST_F(CheckForUpdatesTest, AllFilesEqualDoesNothing) {
  const AnsiText first = writeFile("CONFIG.db", "catalogue");
  const AnsiText second = writeFile("布局文件\\main.xml", "<layout/>");
  const std::string url = serve(Record("CONFIG.db", first) + "#" + Record("布局文件\\main.xml", second));
  CheckForUpdates(url, effects_);
  EXPECT_EQ(requests(), 1);
  EXPECT_TRUE(effects_.events.empty());
}

TEST_F(CheckForUpdatesTest, OneDifferingFileShowsTheMessageStartsTheUpdaterAndEnds) {
  const AnsiText same = writeFile("CONFIG.db", "catalogue");
  writeFile("布局文件\\main.xml", "<old/>");
  const std::string url = serve(Record("CONFIG.db", same) + "#" +
                                Record("布局文件\\main.xml", Md5Hex(TextAsBytes("<new/>"), true)));
  CheckForUpdates(url, effects_);
  EXPECT_EQ(effects_.events, differenceEvents(url));
}

TEST_F(CheckForUpdatesTest, OnlyTheFirstDifferenceIsActedOn) {
  writeFile("a.txt", "one");
  writeFile("b.txt", "two");
  const AnsiText location = Record("a.txt", kEmptyMd5) + "#" + Record("b.txt", kEmptyMd5);
  CheckForUpdates(location, effects_);
  EXPECT_EQ(effects_.events, differenceEvents(location));
}

TEST_F(CheckForUpdatesTest, AMissingLocalFileCountsAsDifferentAnUnreadableOneIsPassedBy) {
  // A folder where the file should be cannot be read (nor replaced by the updater).
  std::filesystem::create_directories(scratch_.path() / "unreadable.exe");
  const AnsiText unreadable = Record("unreadable.exe", Md5Hex(TextAsBytes("tool"), true));
  CheckForUpdates(unreadable, effects_);
  EXPECT_TRUE(effects_.events.empty()) << "an unreadable file must not send the user to the updater";

  const std::string url = serve(unreadable + "#" + Record("tools\\missing.exe", Md5Hex(TextAsBytes("tool"), true)));
  CheckForUpdates(url, effects_);
  EXPECT_EQ(effects_.events, differenceEvents(url));
}

TEST_F(CheckForUpdatesTest, TheMd5OfNoBytesMatchesAnEmptyAndAMissingFileInEitherCase) {
  writeFile("empty.txt", "");
  CheckForUpdates(
      Record("empty.txt", kEmptyMd5) + "#" + Record("missing.txt", "D41D8CD98F00B204E9800998ECF8427E"),
      effects_);
  EXPECT_TRUE(effects_.events.empty());
}

TEST_F(CheckForUpdatesTest, AListedMd5InUpperCaseMatches) {
  const AnsiText md5 = writeFile("a.txt", "content");
  AnsiText upper = md5;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  CheckForUpdates(Record("a.txt", upper), effects_);
  EXPECT_TRUE(effects_.events.empty());
}

TEST_F(CheckForUpdatesTest, AnUpperCaseSchemeIsTakenAsManifestText) {
  const std::string url = serve(Record("a.txt", kEmptyMd5));
  AnsiText upperScheme = "HTTP" + url.substr(4);
  // As text, the first piece fails its tag and the second is a record for a differing file.
  const AnsiText location = upperScheme + "#" + Record("missing.txt", Md5Hex(TextAsBytes("x"), true));
  CheckForUpdates(location, effects_);
  EXPECT_EQ(requests(), 0);
  EXPECT_EQ(effects_.events, differenceEvents(location));

  effects_.events.clear();
  CheckForUpdates(upperScheme, effects_);
  EXPECT_EQ(requests(), 0);
  EXPECT_TRUE(effects_.events.empty());
}

TEST_F(CheckForUpdatesTest, ATrailingHashChangesNothing) {
  const AnsiText same = writeFile("a.txt", "same");
  CheckForUpdates(Record("a.txt", same) + "#", effects_);
  EXPECT_TRUE(effects_.events.empty());

  const std::string url =
      serve(Record("a.txt", same) + "#" + Record("b.txt", kEmptyMd5 + AnsiText("0")) + "#");
  CheckForUpdates(url, effects_);
  EXPECT_EQ(effects_.events, differenceEvents(url));
}

TEST_F(CheckForUpdatesTest, RecordsWithAWrongTagOrTooFewFieldsAreSkipped) {
  const AnsiText wrongTag = Record("a.txt", kEmptyMd5).substr(0, Record("a.txt", kEmptyMd5).size() - 1) + "0";
  CheckForUpdates(wrongTag + "#" + Record("b.txt", "ffff", 4) + "#garbage", effects_);
  EXPECT_TRUE(effects_.events.empty());
}

TEST_F(CheckForUpdatesTest, PathsLeavingTheRunDirectoryAreNeitherReadNorActedOn) {
  // Beside the run directory, so a ".." path would reach it and find it different.
  const std::string besideName = scratch_.path().filename().string() + "-beside.txt";
  const std::filesystem::path besidePath = scratch_.path().parent_path() / besideName;
  std::ofstream(besidePath) << "outside";
  const AnsiText beside = "..\\" + besideName;
  const AnsiText unsafe[] = {beside,          "a\\..\\..\\x.txt", "\\etc\\hostname",
                             "/etc/hostname", "C:\\x.txt",        "a/../../x.txt"};
  for (const AnsiText& path : unsafe) {
    CheckForUpdates(Record(path, kEmptyMd5), effects_);
    EXPECT_TRUE(effects_.events.empty()) << path;
  }
  std::filesystem::remove(besidePath);
  // The records after an unsafe one are still checked.
  const AnsiText location = Record("..\\x.txt", kEmptyMd5) + "#" + Record("missing.txt", "ffff");
  CheckForUpdates(location, effects_);
  EXPECT_EQ(effects_.events, differenceEvents(location));
}

TEST_F(CheckForUpdatesTest, AFailedFetchEndsTheCheckSilently) {
  const AnsiText body = Record("missing.txt", "ffff");
  http_.route("/updata.html", [body] { return LocalResponse{404, body}; });
  http_.start();
  CheckForUpdates(http_.url("/updata.html"), effects_);
  EXPECT_EQ(requests(), 1);
  EXPECT_TRUE(effects_.events.empty());
}

TEST_F(CheckForUpdatesTest, TheManifestEndsAtTheBodysFirstZeroByte) {
  const AnsiText same = writeFile("a.txt", "same");
  const std::string url =
      serve(Record("a.txt", same) + "#" + std::string(1, '\0') + Record("missing.txt", "ffff"));
  CheckForUpdates(url, effects_);
  EXPECT_EQ(requests(), 1);
  EXPECT_TRUE(effects_.events.empty());
}

TEST(SystemUpdateEffects, StartTheUpdaterWithTheLocationAndEndTheProcessWithCodeZero) {
  ScratchDirectory scratch;
  // A stand-in updater in the current directory notes its argument.
  const std::string updater = scratch.file("UpDater.exe");
  std::ofstream(updater) << "#!/bin/sh\nprintf '%s' \"$1\" > \"$(dirname \"$0\")/argument\"\n";
  std::filesystem::permissions(updater, std::filesystem::perms::owner_all);
  const AnsiText location = "http://127.0.0.1:9/updata.html";
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (chdir(scratch.path().c_str()) != 0) _exit(5);
    SystemUpdateEffects().startUpdater(location);
    SystemUpdateEffects().endProcess();
    _exit(3);  // not reached when the process was ended
  }
  int status = 0;
  pid_t reaped = 0;
  for (int i = 0; i < 1000 && (reaped = waitpid(child, &status, WNOHANG)) == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (reaped != child) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    FAIL() << "the process did not end";
  }
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const std::filesystem::path noted = scratch.path() / "argument";
  for (int i = 0; i < 500 && !std::filesystem::exists(noted); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::ifstream in(noted);
  std::string argument((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(argument, location);
}

// The whole road with the program's own effects: a real message box under X, dismissed with
// Enter, then the updater started and the process ended.
TEST(SystemUpdateEffects, ADifferenceShowsTheBoxThenStartsTheUpdaterAndEnds) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X display (the suite runs under xvfb-run)";
  ScratchDirectory scratch;
  const std::string updater = scratch.file("UpDater.exe");
  std::ofstream(updater) << "#!/bin/sh\nprintf '%s' \"$1\" > \"$(dirname \"$0\")/argument\"\n";
  std::filesystem::permissions(updater, std::filesystem::perms::owner_all);
  const AnsiText location = Record("missing.txt", Md5Hex(TextAsBytes("x"), true));
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (chdir(scratch.path().c_str()) != 0) _exit(5);
    SetRunDirForTesting(scratch.path().string());
    CheckForUpdates(location);
    _exit(3);  // not reached when the process was ended
  }
  std::string window;
  for (int i = 0; i < 100 && window.empty(); ++i) {
    window = CommandOutput("xdotool search --pid " + std::to_string(child) + " 2>/dev/null | head -n1");
    if (window.empty()) usleep(50000);
  }
  if (window.empty()) {
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    FAIL() << "no message box appeared";
  }
  const std::string title(reinterpret_cast<const char*>(u8"发现差异文件"));
  EXPECT_EQ(CommandOutput("xprop -id " + window + " _NET_WM_NAME"),
            "_NET_WM_NAME(UTF8_STRING) = \"" + title + "\"");
  usleep(300000);
  const std::string shot = scratch.file("box.png");
  // Bounded: import falls back to waiting for a click when the window has gone.
  CommandOutput("timeout 10 import -window " + window + " " + shot);
  const std::string dark =
      CommandOutput("convert " + shot + " -threshold 50% -negate -format '%[fx:mean]' info:");
  EXPECT_GT(std::atof(dark.c_str()), 0.005) << "no text drawn";
  EXPECT_FALSE(std::filesystem::exists(scratch.path() / "argument"))
      << "the updater started before the box closed";
  CommandOutput("xdotool key --window " + window + " Return");
  int status = 0;
  pid_t reaped = 0;
  for (int i = 0; i < 200 && (reaped = waitpid(child, &status, WNOHANG)) == 0; ++i) usleep(50000);
  if (reaped != child) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    FAIL() << "the process did not end after the box closed";
  }
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const std::filesystem::path noted = scratch.path() / "argument";
  for (int i = 0; i < 500 && !std::filesystem::exists(noted); ++i) usleep(10000);
  std::ifstream in(noted);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), location);
}

}  // namespace
