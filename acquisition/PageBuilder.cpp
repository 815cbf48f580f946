#include "acquisition/PageBuilder.h"

#include <dlfcn.h>

#include <cstdio>

#include "platform/win32/Win32.h"
#include "shell/startup/CodePageText.h"
#include "shell/startup/RunDirectory.h"

namespace {

using InitializationMain = int (*)(const char* name, int host, int window);

InitializationMain LoadPageBuilder() {
  static InitializationMain function = [] () -> InitializationMain {
    std::string path = QbNativePath((RunDir() + "\\Guide.dll").c_str());
    void* library = dlopen(path.c_str(), RTLD_NOW);
    if (library == nullptr) {
      std::fprintf(stderr, "Guide.dll: %s\n", dlerror());
      return nullptr;
    }
    return reinterpret_cast<InitializationMain>(dlsym(library, "Initialization_Main"));
  }();
  return function;
}

}  // namespace

HELE BuildToolPage(const AnsiText& name, HELE host, HWINDOW window) {
  InitializationMain initialize = LoadPageBuilder();
  return initialize ? initialize(name.c_str(), host, window) : 0;
}
