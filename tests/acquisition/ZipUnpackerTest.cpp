#include "acquisition/ZipUnpacker.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "acquisition/ZipMaker.h"
#include "platform/xldl/ScratchDirectory.h"

namespace {

namespace fs = std::filesystem;

// UTF-8 path text, as the file system holds it (this file's plain literals are code page 936).
std::string U8(std::u8string_view text) {
  return std::string(text.begin(), text.end());
}

class ZipUnpackerTest : public ::testing::Test {
 protected:
  std::string archive() const { return m_dir.file("a.zip"); }
  std::string target() const { return m_dir.file("out"); }
  ScratchDirectory m_dir;
};

TEST_F(ZipUnpackerTest, UnpacksFilesAndFoldersIntoTheTarget) {
  ASSERT_TRUE(MakeZip(archive(), {{"top.txt", "top"},
                                  {"bin/", ""},
                                  {"bin/tool.exe", std::string(100000, 'x')},
                                  {"deep/er/file.dat", "deep"}}));
  EXPECT_EQ(UnpackZip(archive(), target() + "\\"), 1);
  EXPECT_EQ(ScratchDirectory::Read(target() + "/top.txt"), "top");
  EXPECT_EQ(ScratchDirectory::Read(target() + "/bin/tool.exe"), std::string(100000, 'x'));
  EXPECT_EQ(ScratchDirectory::Read(target() + "/deep/er/file.dat"), "deep");
  EXPECT_TRUE(fs::is_directory(target() + "/bin"));
  for (const auto& entry : fs::recursive_directory_iterator(target()))
    EXPECT_EQ(entry.path().string().find(".unpacking"), std::string::npos);
}

TEST_F(ZipUnpackerTest, ReplacesExistingFilesEvenReadOnlyOnes) {
  fs::create_directories(target());
  std::ofstream(target() + "/top.txt") << "old contents that are longer";
  ::chmod((target() + "/top.txt").c_str(), 0444);
  ASSERT_TRUE(MakeZip(archive(), {{"top.txt", "new"}}));
  EXPECT_EQ(UnpackZip(archive(), target()), 1);
  EXPECT_EQ(ScratchDirectory::Read(target() + "/top.txt"), "new");
}

TEST_F(ZipUnpackerTest, MemberNamesInCodePage936AndUtf8BothLandAsUtf8) {
  ASSERT_TRUE(MakeZip(archive(), {{"工具.txt", "gbk"}, {U8(u8"说明.txt"), "utf8", true}}));
  EXPECT_EQ(UnpackZip(archive(), target()), 1);
  EXPECT_EQ(ScratchDirectory::Read(target() + U8(u8"/工具.txt")), "gbk");
  EXPECT_EQ(ScratchDirectory::Read(target() + U8(u8"/说明.txt")), "utf8");
}

TEST_F(ZipUnpackerTest, RefusesArchivesWithMembersOutsideTheTarget) {
  const char* escapes[] = {"../evil.txt",   "a/../../evil.txt", "..\\evil.txt",
                           "/tmp/evil.txt", "C:\\evil.txt",     "a\\..\\..\\evil.txt"};
  for (const char* name : escapes) {
    fs::remove_all(target());
    ASSERT_TRUE(MakeZip(archive(), {{"good.txt", "good"}, {name, "evil"}}));
    EXPECT_EQ(UnpackZip(archive(), target()), 0) << name;
    EXPECT_FALSE(fs::exists(target() + "/good.txt")) << name;  // nothing of it is written
    EXPECT_FALSE(fs::exists(m_dir.file("evil.txt"))) << name;
  }
}

TEST_F(ZipUnpackerTest, AnEscapeBeyondTheFirst4096BytesOfANameIsStillRefused) {
  // Names longer than a fixed buffer must be read whole, not cut short (or past the buffer).
  std::string name;
  while (name.size() < 5000) name += "folder/";
  name += "../../../../../../../../evil.txt";
  ASSERT_TRUE(MakeZip(archive(), {{"good.txt", "good"}, {name, "evil"}}));
  EXPECT_EQ(UnpackZip(archive(), target()), 0);
  EXPECT_FALSE(fs::exists(target()));  // refused before anything is made
  EXPECT_FALSE(fs::exists(m_dir.file("evil.txt")));
}

TEST_F(ZipUnpackerTest, HarmlessDotSegmentsStayInside) {
  ASSERT_TRUE(MakeZip(archive(), {{"./a/./b.txt", "b"}, {"a/x/../c.txt", "c"}}));
  // ".." anywhere is refused, even when it would stay inside: archives have no need of it.
  EXPECT_EQ(UnpackZip(archive(), target()), 0);
  ASSERT_TRUE(MakeZip(archive(), {{"./a/./b.txt", "b"}}));
  EXPECT_EQ(UnpackZip(archive(), target()), 1);
  EXPECT_EQ(ScratchDirectory::Read(target() + "/a/b.txt"), "b");
}

TEST_F(ZipUnpackerTest, MissingOrDamagedArchivesFail) {
  EXPECT_EQ(UnpackZip(m_dir.file("missing.zip"), target()), 0);
  std::ofstream(archive()) << "this is not an archive";
  EXPECT_EQ(UnpackZip(archive(), target()), 0);
  // A truncated archive: its central directory is gone.
  ASSERT_TRUE(MakeZip(archive(), {{"a.txt", std::string(50000, 'a')}}));
  fs::resize_file(archive(), fs::file_size(archive()) / 2);
  EXPECT_EQ(UnpackZip(archive(), target()), 0);
}

// A member whose data fails its CRC check halfway through the archive: the tool is installed
// whole or not at all, and a folder that was there stays as it was.
TEST_F(ZipUnpackerTest, InstallingIsWholeOrNothingAndKeepsTheUsersFiles) {
  std::mt19937 random(3);
  std::string noise(20000, '\0');
  for (char& c : noise) c = static_cast<char>(random());  // incompressible: stored as it is
  ASSERT_TRUE(MakeZip(archive(), {{"tool.sh", "echo ok"}, {"data.bin", "MARKER-XYZ" + noise}, {"z.txt", "z"}}));
  std::string bytes = ScratchDirectory::Read(archive());
  const size_t marker = bytes.find("MARKER-XYZ");
  ASSERT_NE(marker, std::string::npos);
  bytes[marker + 100] ^= 0x55;
  std::ofstream(archive(), std::ios::binary) << bytes;

  EXPECT_EQ(InstallZip(archive(), target()), 0);
  EXPECT_FALSE(fs::exists(target()));
  fs::create_directories(target());
  std::ofstream(target() + "/old.txt") << "old";
  EXPECT_EQ(InstallZip(archive(), target()), 0);
  EXPECT_EQ(ScratchDirectory::Read(target() + "/old.txt"), "old");
  EXPECT_FALSE(fs::exists(target() + "/tool.sh"));
  EXPECT_FALSE(fs::exists(target() + ".installing"));

  // A reinstall replaces the archive's members and keeps what the user saved beside them.
  std::ofstream(target() + "/tool.sh") << "echo old";
  fs::create_directories(target() + "/results");
  std::ofstream(target() + "/results/saved.txt") << "mine";
  ASSERT_TRUE(MakeZip(archive(), {{"tool.sh", "echo ok"}, {"results/readme.txt", "new"}}));
  EXPECT_EQ(InstallZip(archive(), target()), 1);
  EXPECT_EQ(ScratchDirectory::Read(target() + "/tool.sh"), "echo ok");
  EXPECT_EQ(ScratchDirectory::Read(target() + "/results/readme.txt"), "new");
  EXPECT_EQ(ScratchDirectory::Read(target() + "/old.txt"), "old") << "the user's file is gone";
  EXPECT_EQ(ScratchDirectory::Read(target() + "/results/saved.txt"), "mine");
  EXPECT_FALSE(fs::exists(target() + ".replaced"));

  // A file standing where the tool's folder should be is not the tool's to replace.
  std::ofstream(m_dir.file("CONFIG.db")) << "catalogue";
  EXPECT_EQ(InstallZip(archive(), m_dir.file("CONFIG.db")), 0);
  EXPECT_EQ(ScratchDirectory::Read(m_dir.file("CONFIG.db")), "catalogue");
}

TEST(SafeMemberPathTest, NormalisesSeparatorsAndRefusesEscapes) {
  EXPECT_EQ(SafeMemberPath("a\\b/c.txt", false), "a/b/c.txt");
  EXPECT_EQ(SafeMemberPath("a//b/", false), "a/b");
  EXPECT_EQ(SafeMemberPath("..", false), "");
  EXPECT_EQ(SafeMemberPath("a/..", false), "");
  EXPECT_EQ(SafeMemberPath("\\\\server\\share", false), "");
  EXPECT_EQ(SafeMemberPath("D:x", false), "");
  EXPECT_EQ(SafeMemberPath("./", false), "");
  EXPECT_EQ(SafeMemberPath("..a/b..", false), "..a/b..");
}

}  // namespace
