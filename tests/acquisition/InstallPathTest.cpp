#include "acquisition/InstallPath.h"

#include <gtest/gtest.h>

namespace {

const std::vector<AnsiText> kRows = {"\\Application\\VideoCompress", "\\Application\\OcrText", "\\Tools\\Pdf\\Merge"};

TEST(InstallPathTest, TheRunDirectoryItsProductFoldersAndOtherToolsFoldersAreRefused) {
  for (const AnsiText refused : {"", "\\", "\\.\\", "\\Application", "\\application\\", "\\布局文件", "/资源文件",
                                 "\\Application\\..\\..\\etc", "\\Tools", "\\Tools\\Pdf"}) {
    EXPECT_FALSE(InstallPathProblem(refused, kRows).empty()) << refused;
  }
  for (const AnsiText allowed : {"\\Application\\VideoCompress", "\\Application\\VideoCompress\\", "\\Tools\\Pdf\\Merge",
                                 "\\Application\\New", "\\资源文件\\字体"}) {
    EXPECT_EQ(InstallPathProblem(allowed, kRows), "") << allowed;
  }
}

}  // namespace
