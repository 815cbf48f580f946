#include "shell/startup/RequiredLayout.h"

#include "platform/win32/Win32.h"
#include "shell/startup/CodePageText.h"
#include "shell/startup/RunDirectory.h"
#include "shell/startup/StartUpFailure.h"
#include "shell/startup/UiTextConversion.h"

namespace {

[[noreturn]] void StopOnLayout(const AnsiText& path) {
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA(path.c_str(), &found);
  bool exists = search != INVALID_HANDLE_VALUE;
  if (exists) FindClose(search);
  StopWithMessage(
      "无法加载布局文件 " + Utf8ToAnsiText(QbNativePath(path.c_str())) + "：" +
      (exists ? AnsiText("文件内容有误（XML 格式、元素或引用的图片不对）") : AnsiText("文件不存在")));
}

}  // namespace

HXCGUI LoadRequiredLayout(const char* relative, HXCGUI parent) {
  AnsiText path = RunDir() + relative;
  HXCGUI loaded = XC_LoadLayout(ToUiText(path).c_str(), parent);
  if (loaded == 0) StopOnLayout(path);
  return loaded;
}

void SetRequiredTemplate(TemplateSetter setter, HELE element, const char* relative) {
  AnsiText path = RunDir() + relative;
  if (!setter(element, ToUiText(path).c_str())) StopOnLayout(path);
}
