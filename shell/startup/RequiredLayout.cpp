#include "shell/startup/RequiredLayout.h"

#include <cstdio>

#include "platform/win32/Win32.h"
#include "shell/startup/CodePageText.h"
#include "shell/startup/RunDirectory.h"
#include "shell/startup/StartUpFailure.h"
#include "shell/startup/UiTextConversion.h"

namespace {

AnsiText LayoutProblem(const AnsiText& path) {
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA(path.c_str(), &found);
  bool exists = search != INVALID_HANDLE_VALUE;
  if (exists) FindClose(search);
  return "无法加载布局文件 " + Utf8ToAnsiText(QbNativePath(path.c_str())) + "：" +
         (exists ? AnsiText("文件内容有误（XML 格式或元素不对）") : AnsiText("文件不存在"));
}

void ReportPart(const AnsiText& path) {
  WriteDiagnosticLine(LayoutProblem(path) + "，这一部分留空");
}

}  // namespace

HXCGUI LoadRequiredLayout(const char* relative, HXCGUI parent) {
  AnsiText path = RunDir() + relative;
  HXCGUI loaded = XC_LoadLayout(ToUiText(path).c_str(), parent);
  if (loaded == 0) StopWithMessage(LayoutProblem(path));
  return loaded;
}

HXCGUI LoadPartLayout(const char* relative, HXCGUI parent) {
  AnsiText path = RunDir() + relative;
  HXCGUI loaded = XC_LoadLayout(ToUiText(path).c_str(), parent);
  if (loaded == 0) ReportPart(path);
  return loaded;
}

void SetRequiredTemplate(TemplateSetter setter, HELE element, const char* relative) {
  if (element == 0) return;  // its panel is missing, and has said so
  AnsiText path = RunDir() + relative;
  if (!setter(element, ToUiText(path).c_str())) ReportPart(path);
}
