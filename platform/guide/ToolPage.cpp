#include "platform/guide/ToolPage.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>

#include "platform/guide/ToolDesktopEntry.h"

#include "platform/win32/Win32.h"

namespace {

// Element IDs of tool_page.xml; kept clear of the main window's own IDs, since the page lives
// inside that window.
enum : int { kHost = 9100, kName = 9101, kVersion = 9102, kAbout = 9103, kCover = 9104, kLaunch = 9105, kStatus = 9106 };

struct LaunchTarget {
  std::string file;       // UTF-8 POSIX path
  std::string name;       // UTF-8
  HELE status = 0;
};

std::map<HXCGUI, LaunchTarget>& Targets() {
  static std::map<HXCGUI, LaunchTarget> targets;
  return targets;
}

std::u16string Wide(const std::string& text, UINT codePage = CP_UTF8) {
  if (text.empty()) return u"";
  int units = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::u16string out(static_cast<size_t>(units), u'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), units);
  return out;
}

std::string Ansi(const std::string& utf8) {
  std::u16string wide = Wide(utf8);
  int bytes = WideCharToMultiByte(CP_GBK, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_GBK, 0, wide.data(), static_cast<int>(wide.size()), out.data(), bytes, nullptr, nullptr);
  return out;
}

std::string About(const std::string& category) {
  static const std::map<std::string, std::string> lines = {
      {"video", "在本机完成视频处理，文件不上传，速度快又安心。"},
      {"image", "批量处理图片，支持常见格式，保持清晰画质。"},
      {"effice", "文档格式转换与整理，让日常办公更高效。"},
      {"ocr", "智能识别图片中的文字与信息，省去手动录入。"},
  };
  auto it = lines.find(category);
  return it != lines.end() ? it->second : "实用的办公小工具，安装后即可使用。";
}

void SetText(HXCGUI scope, int id, const std::string& utf8) {
  XShapeText_SetText(XC_GetObjectByID(scope, id), Wide(utf8).c_str());
}

std::string Native(const std::string& runDirectory, const std::string& windowsPath) {
  return runDirectory + QbNativePath(Ansi(windowsPath).c_str());
}

// An installed tool of the user's own run directory is offered under "Open with"; every opening
// of its page does so again, which also covers tools installed before there were entries.
void OfferToDesktop(const std::string& runDirectory, const CatalogueEntry& entry) {
  const std::string launch = Native(runDirectory, entry.launchPath);
  std::error_code ignored;
  if (entry.launchPath.empty() || !std::filesystem::is_regular_file(launch, ignored) ||
      !ToolDesktopEntry::IsUsersRunDirectory(runDirectory)) {
    return;
  }
  std::string error;
  const std::string icon = entry.coverPath.empty() ? std::string() : Native(runDirectory, entry.coverPath);
  if (!ToolDesktopEntry(launch, icon).install(&error)) {
    std::fprintf(stderr, "无法把“%s”加入“打开方式”：%s\n", entry.name.c_str(), error.c_str());
  }
}

void Fill(HXCGUI page, const std::string& runDirectory, const std::string& toolName,
          const std::optional<CatalogueEntry>& entry) {
  SetText(page, kName, toolName);
  SetText(page, kVersion, entry && !entry->version.empty() ? "版本 " + entry->version : "");
  SetText(page, kAbout, About(entry ? entry->category : ""));
  if (entry && !entry->coverPath.empty()) {
    HIMAGE cover = XImage_LoadFile(Wide(Native(runDirectory, entry->coverPath)).c_str(), TRUE);
    XShapePic_SetImage(XC_GetObjectByID(page, kCover), cover);
  }
  if (entry) OfferToDesktop(runDirectory, *entry);
  HELE button = XC_GetObjectByID(page, kLaunch);
  Targets()[button] = LaunchTarget{entry ? Native(runDirectory, entry->launchPath) : "", toolName,
                                   XC_GetObjectByID(page, kStatus)};
}

}  // namespace

HXCGUI ToolPage::build(const std::string& runDirectory, const std::string& toolName, HELE host) {
  HXCGUI window = 0;
  if (host == 0) {
    window = XC_LoadLayout(Wide(runDirectory + "/布局文件/guide/tool_window.xml").c_str(), 0);
    host = XC_GetObjectByID(window, kHost);
    if (host == 0) return 0;
  }
  HXCGUI page = XC_LoadLayout(Wide(runDirectory + "/布局文件/guide/tool_page.xml").c_str(), host);
  if (page == 0) return 0;
  Fill(page, runDirectory, toolName, FindCatalogueEntry(runDirectory, toolName));
  XEle_RegEventC(XC_GetObjectByID(page, kLaunch), XE_BNCLICK, &ToolPage::OnLaunchClicked);
  if (window != 0) {
    XWnd_AdjustLayout(window);
    XWnd_ShowWindow(window, SW_SHOW);
    return window;
  }
  return page;
}

int ToolPage::OnLaunchClicked(HXCGUI button, int, WPARAM, LPARAM, BOOL*) {
  auto it = Targets().find(button);
  if (it == Targets().end()) return 0;
  const LaunchTarget& target = it->second;
  intptr_t started = target.file.empty() ? 0 : ShellExecuteA(nullptr, "open", Ansi(target.file).c_str(), nullptr,
                                                             nullptr, SW_SHOWNORMAL);
  if (started > 32) {
    XShapeText_SetText(target.status, Wide("已启动“" + target.name + "”。").c_str());
  } else {
    std::string message = "无法启动“" + target.name + "”：找不到或不能运行 " +
                          (target.file.empty() ? std::string("它的启动文件") : target.file);
    XShapeText_SetText(target.status, Wide(message).c_str());
    MessageBoxA(nullptr, Ansi(message).c_str(), Ansi("启动失败").c_str(), MB_OK | MB_TASKMODAL);
  }
  XEle_RedrawEle(target.status, FALSE);
  return 0;
}
