#include "acquisition/EngineLibrary.h"

#include <dlfcn.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>

#include "platform/win32/Win32.h"

namespace {

// Process-wide: every loaded engine, by native path, and the one deployed last.
std::mutex g_lock;
std::map<std::string, std::unique_ptr<EngineFunctions>> g_loaded;
std::atomic<const EngineFunctions*> g_current{nullptr};

}  // namespace

const EngineFunctions* LoadEngineLibrary(const AnsiText& directory) {
  std::string path = QbNativePath((directory + "xldl.dll").c_str());
  std::lock_guard<std::mutex> lock(g_lock);
  auto known = g_loaded.find(path);
  if (known != g_loaded.end()) {
    g_current = known->second.get();
    return known->second.get();
  }
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) return nullptr;
  auto functions = std::make_unique<EngineFunctions>();
  bool complete = true;
#define XL_RESOLVE(ret, name, params, args)                                 \
  functions->name = reinterpret_cast<ret(*) params>(dlsym(library, #name)); \
  complete = complete && functions->name != nullptr;
  XL_FUNCTIONS(XL_RESOLVE)
#undef XL_RESOLVE
  if (!complete) {
    dlclose(library);
    return nullptr;
  }
  const EngineFunctions* result = functions.get();
  g_loaded.emplace(path, std::move(functions));
  g_current = result;
  return result;
}

const EngineFunctions* CurrentEngine() {
  return g_current;
}
