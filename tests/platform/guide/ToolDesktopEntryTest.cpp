// An installed tool's desktop entry: written beside the tool, linked into the user's
// applications folder, and only for the user's own run directory.
#include "platform/guide/ToolDesktopEntry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/CommandOutput.h"
#include "support/ScratchDirectory.h"

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(ToolDesktopEntryTest, AnInstalledToolIsLinkedIntoTheUsersApplicationsWithItsOwnPaths) {
  ScratchDirectory scratch;
  setenv("XDG_DATA_HOME", scratch.path().c_str(), 1);
  // A folder name with every character the Exec quoting must protect.
  const fs::path tool = scratch.path() / "quillbay" / "Application" / "A \"b\" $c `d` 100%" / "video_compress.sh";
  fs::create_directories(tool.parent_path());
  std::ofstream(tool) << "#!/bin/bash\n";
  std::ofstream(tool.parent_path() / "video_compress.desktop.in")
      << "[Desktop Entry]\nType=Application\nName=视频压缩\nExec=@EXEC@ %f\nIcon=@ICON@\nMimeType=video/mp4;\n";
  EXPECT_TRUE(ToolDesktopEntry::IsUsersRunDirectory(scratch.path() / "quillbay"));
  EXPECT_FALSE(ToolDesktopEntry::IsUsersRunDirectory(scratch.path() / "build" / "run"));

  std::string error;
  ASSERT_TRUE(ToolDesktopEntry(tool, "/icons/cover.png").install(&error)) << error;
  const fs::path link = scratch.path() / "applications" / "quillbay-video_compress.desktop";
  ASSERT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(fs::read_symlink(link), tool.parent_path() / "quillbay-video_compress.desktop");
  const std::string entry = Read(link);
  EXPECT_NE(entry.find("Exec=bash \"" + scratch.path().string() +
                       "/quillbay/Application/A \\\\\"b\\\\\" \\\\$c \\\\`d\\\\` 100%%/video_compress.sh\" %f\n"),
            std::string::npos)
      << entry;
  EXPECT_NE(entry.find("Icon=/icons/cover.png\n"), std::string::npos) << entry;
  EXPECT_EQ(CommandOutput("desktop-file-validate '" + link.string() + "' >/dev/null 2>&1; echo $?"), "0");

  ASSERT_TRUE(ToolDesktopEntry(tool, "/icons/cover.png").install(&error)) << "a second opening: " << error;
  EXPECT_EQ(Read(link), entry);
}

}  // namespace
