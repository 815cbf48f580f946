#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "platform/win32/Win32.h"
#include "support/ScratchDirectory.h"

namespace {

std::set<std::string> Find(const std::string& pattern) {
  std::set<std::string> names;
  WIN32_FIND_DATAA data{};
  HANDLE find = FindFirstFileA(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    names.insert(data.cFileName);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return names;
}

TEST(FilesTest, FindMatchesExactNamesAndWildcardsWithBackslashPaths) {
  ScratchDirectory dir;
  std::ofstream(dir.file("tool.sh")) << "x";
  std::ofstream(dir.file("other.txt")) << "y";
  std::string base = dir.path().string();
  EXPECT_EQ(Find(base + "\\tool.sh"), std::set<std::string>{"tool.sh"});
  EXPECT_EQ(Find(base + "\\*.sh"), std::set<std::string>{"tool.sh"});
  EXPECT_EQ(Find(base + "\\*"), (std::set<std::string>{"other.txt", "tool.sh"}));
  EXPECT_TRUE(Find(base + "\\missing.sh").empty());
}

TEST(FilesTest, MakeSureDirectoryPathExistsCreatesUpToTheLastSeparator) {
  ScratchDirectory dir;
  std::string base = dir.path().string();
  EXPECT_TRUE(MakeSureDirectoryPathExists((base + "\\a\\b\\").c_str()));
  EXPECT_EQ(PathIsDirectoryA((base + "\\a\\b").c_str()), static_cast<BOOL>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_TRUE(MakeSureDirectoryPathExists((base + "\\c\\file").c_str()));
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "c"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "c" / "file"));
}

TEST(FilesTest, CreateWriteReadAndDelete) {
  ScratchDirectory dir;
  std::string path = dir.file("data.bin");
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(file, "hello", 5, &written, nullptr));
  EXPECT_EQ(written, 5u);
  CloseHandle(file);
  EXPECT_EQ(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr), INVALID_HANDLE_VALUE);
  file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  char buffer[16] = {};
  DWORD read = 0;
  EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &read, nullptr));
  EXPECT_EQ(std::string(buffer, read), "hello");
  CloseHandle(file);
  EXPECT_FALSE(PathIsDirectoryA(path.c_str()));
  EXPECT_TRUE(DeleteFileA(path.c_str()));
  EXPECT_FALSE(DeleteFileA(path.c_str()));
}

TEST(FilesTest, TempPathEndsInASeparator) {
  char buffer[MAX_PATH];
  DWORD length = GetTempPathA(sizeof buffer, buffer);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(buffer[length - 1], '/');
}

}  // namespace
