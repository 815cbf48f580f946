#include "shell/startup/ToolkitLibrary.h"

#include <dlfcn.h>

#include "platform/win32/Win32.h"
#include "shell/startup/StartUpFailure.h"
#include "shell/toolkit/xcgui.h"

extern "C" const unsigned char qb_xcgui_payload[];
extern "C" const unsigned char qb_xcgui_payload_end[];

namespace {

constexpr const char* kLibraryName = "XCGUI.dll";

// The program cannot run without its toolkit: say which file failed and why, then stop.
[[noreturn]] void FailToLoad(const char* reason) {
  StopWithMessage(AnsiText("无法加载界面库 ") + kLibraryName + "：" + (reason ? reason : ""));
}

void* Toolkit() {
  static void* handle = [] {
    void* loaded = dlopen("./XCGUI.dll", RTLD_NOW | RTLD_GLOBAL);
    if (loaded == nullptr) FailToLoad(dlerror());
    return loaded;
  }();
  return handle;
}

void* ResolveToolkitFunction(const char* name) {
  void* function = dlsym(Toolkit(), name);
  if (function == nullptr) FailToLoad(name);
  return function;
}

}  // namespace

const unsigned char* ToolkitPayload() { return qb_xcgui_payload; }

unsigned long ToolkitPayloadSize() { return static_cast<unsigned long>(qb_xcgui_payload_end - qb_xcgui_payload); }

void EnsureToolkitLibrary() {
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA(kLibraryName, &found);
  if (search != INVALID_HANDLE_VALUE) {
    FindClose(search);
  } else {
    HANDLE file = CreateFileA(kLibraryName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(file, ToolkitPayload(), static_cast<DWORD>(ToolkitPayloadSize()), &written, nullptr);
      CloseHandle(file);
    }
  }
  Sleep(10);
}

// Every toolkit function of the header, resolved from the loaded file on its first call.
#define XCGUI_THUNK(ret, name, params, args)                                  \
  extern "C" ret name params {                                                \
    using Function = ret(*) params;                                           \
    static const auto function = reinterpret_cast<Function>(ResolveToolkitFunction(#name)); \
    return function args;                                                     \
  }
XCGUI_FUNCTIONS(XCGUI_THUNK)
#undef XCGUI_THUNK
