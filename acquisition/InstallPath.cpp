#include "acquisition/InstallPath.h"

#include <algorithm>
#include <cctype>

namespace {

// The path's folders, without empty and "." segments; ".." is kept so the caller can refuse it.
std::vector<AnsiText> Segments(const AnsiText& path) {
  std::vector<AnsiText> segments;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find_first_of("\\/", start);
    if (end == AnsiText::npos) end = path.size();
    AnsiText segment = path.substr(start, end - start);
    if (!segment.empty() && segment != ".") segments.push_back(segment);
    start = end + 1;
  }
  return segments;
}

// Folder names compare as the file system of the run directory's origin does: ASCII letters
// without case.
bool SameName(const AnsiText& a, const AnsiText& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

bool IsPrefix(const std::vector<AnsiText>& prefix, const std::vector<AnsiText>& path) {
  if (prefix.size() > path.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (!SameName(prefix[i], path[i])) return false;
  }
  return true;
}

}  // namespace

AnsiText InstallPathProblem(const AnsiText& installDir, const std::vector<AnsiText>& catalogueDirs) {
  const std::vector<AnsiText> own = Segments(installDir);
  if (own.empty()) return "的安装位置是程序文件夹本身";
  if (std::find(own.begin(), own.end(), "..") != own.end()) return "的安装位置超出了程序文件夹";
  if (own.size() == 1) {
    for (const char* product : {"Application", "布局文件", "资源文件"}) {
      if (SameName(own[0], product)) return "的安装位置是程序自己的文件夹 " + own[0];
    }
  }
  for (const AnsiText& other : catalogueDirs) {
    const std::vector<AnsiText> theirs = Segments(other);
    if (theirs.size() > own.size() && IsPrefix(own, theirs)) return "的安装位置包含其他工具的文件夹 " + other;
  }
  return {};
}
