// The engine's exported functions over a process-wide table of tasks. XL_Init and XL_UnInit
// count: two downloads that each initialise and shut down the engine do not stop each other's
// tasks, and only the last XL_UnInit stops whatever still runs.
#include <curl/curl.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "platform/xldl/DownloadTask.h"
#include "platform/xldl/XlDownload.h"

namespace {

struct EngineState {
  std::mutex lock;
  int initCount = 0;
  std::uintptr_t nextId = 1;
  std::map<std::uintptr_t, std::unique_ptr<xldl::DownloadTask>> tasks;
};

EngineState& State() {
  static EngineState state;
  return state;
}

xldl::DownloadTask* FindTask(EngineState& state, XL_TASK task) {
  auto it = state.tasks.find(reinterpret_cast<std::uintptr_t>(task));
  return it == state.tasks.end() ? nullptr : it->second.get();
}

}  // namespace

extern "C" __attribute__((visibility("default"))) XL_BOOL XL_Init(void) {
  EngineState& state = State();
  std::lock_guard<std::mutex> lock(state.lock);
  if (state.initCount == 0 && curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) return 0;
  ++state.initCount;
  return 1;
}

extern "C" __attribute__((visibility("default"))) XL_BOOL XL_UnInit(void) {
  EngineState& state = State();
  std::map<std::uintptr_t, std::unique_ptr<xldl::DownloadTask>> ending;
  {
    std::lock_guard<std::mutex> lock(state.lock);
    if (state.initCount == 0) return 0;
    if (--state.initCount > 0) return 1;
    ending.swap(state.tasks);
  }
  ending.clear();  // stops and joins every task outside the lock
  curl_global_cleanup();
  return 1;
}

extern "C" __attribute__((visibility("default"))) XL_TASK XL_CreateTask(const void* paramBlock) {
  EngineState& state = State();
  std::lock_guard<std::mutex> lock(state.lock);
  if (!paramBlock || state.initCount == 0) return nullptr;
  auto task = std::make_unique<xldl::DownloadTask>(xldl::ReadTaskParamBlock(paramBlock));
  std::uintptr_t id = state.nextId++;
  state.tasks.emplace(id, std::move(task));
  return reinterpret_cast<XL_TASK>(id);
}

extern "C" __attribute__((visibility("default"))) XL_BOOL XL_StartTask(XL_TASK task) {
  EngineState& state = State();
  std::lock_guard<std::mutex> lock(state.lock);
  xldl::DownloadTask* found = FindTask(state, task);
  return found && found->start() ? 1 : 0;
}

extern "C" __attribute__((visibility("default"))) XL_BOOL XL_QueryTaskInfoEx(XL_TASK task, void* infoBlock) {
  EngineState& state = State();
  std::lock_guard<std::mutex> lock(state.lock);
  xldl::DownloadTask* found = FindTask(state, task);
  if (!found || !infoBlock) return 0;
  xldl::WriteTaskInfoBlock(infoBlock, found->progress());
  return 1;
}
