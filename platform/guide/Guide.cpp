// The page builder library Guide.dll: Initialization_Main(tool name, host element, window)
// builds a tool's page and returns its element.
#include <dlfcn.h>

#include <string>

#include "platform/guide/ToolPage.h"
#include "platform/win32/Win32.h"

namespace {

// The run directory is where this library lies (UTF-8, no final separator).
std::string LibraryDirectory() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&LibraryDirectory), &info) == 0 || info.dli_fname == nullptr) return ".";
  std::string path = info.dli_fname;
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string Utf8FromAnsi(const char* ansi) {
  if (ansi == nullptr || *ansi == '\0') return std::string();
  int units = MultiByteToWideChar(CP_GBK, 0, ansi, -1, nullptr, 0);
  std::u16string wide(static_cast<size_t>(units), u'\0');
  MultiByteToWideChar(CP_GBK, 0, ansi, -1, wide.data(), units);
  int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), -1, out.data(), bytes, nullptr, nullptr);
  if (!out.empty() && out.back() == '\0') out.pop_back();
  return out;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int Initialization_Main(const char* toolName, int host, int window) {
  (void)window;  // the page lives in the host; the window is the host's own
  return ToolPage::build(LibraryDirectory(), Utf8FromAnsi(toolName), host);
}
