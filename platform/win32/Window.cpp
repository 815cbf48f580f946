#include "platform/win32/Window.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

struct WindowRecord {
  DWORD thread = 0;
  WNDPROC procedure = nullptr;
  HWND parent = nullptr;
  std::vector<HWND> children;
  std::map<std::string, HANDLE> properties;
  RECT rect{};
};

struct WindowTable {
  std::mutex mutex;
  std::unordered_map<HWND, WindowRecord> windows;
  uintptr_t nextId = 0x10000;

  WindowRecord* find(HWND window) {
    auto it = windows.find(window);
    return it == windows.end() ? nullptr : &it->second;
  }
};

WindowTable& Table() {
  static auto* table = new WindowTable;
  return *table;
}

std::atomic<bool> g_keyDown[256];

void DestroyLocked(WindowTable& table, HWND window) {
  WindowRecord* record = table.find(window);
  if (record == nullptr) return;
  std::vector<HWND> children = record->children;
  for (HWND child : children) DestroyLocked(table, child);
  if (WindowRecord* parent = table.find(record->parent)) {
    auto& siblings = parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
  }
  table.windows.erase(window);
}

}  // namespace

LRESULT CallCurrentWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC procedure = nullptr;
  {
    std::lock_guard lock(Table().mutex);
    if (WindowRecord* record = Table().find(window)) procedure = record->procedure;
  }
  return procedure ? procedure(window, message, wParam, lParam) : 0;
}

bool WindowOwnerThread(HWND window, DWORD* thread) {
  std::lock_guard lock(Table().mutex);
  WindowRecord* record = Table().find(window);
  if (record == nullptr) return false;
  *thread = record->thread;
  return true;
}

extern "C" HWND QbCreateWindow(WNDPROC procedure, HWND parent) {
  WindowTable& table = Table();
  std::lock_guard lock(table.mutex);
  if (parent != nullptr && table.find(parent) == nullptr) return nullptr;
  HWND window = reinterpret_cast<HWND>(table.nextId);
  table.nextId += 16;
  WindowRecord& record = table.windows[window];
  record.thread = GetCurrentThreadId();
  record.procedure = procedure;
  record.parent = parent;
  if (parent != nullptr) table.find(parent)->children.push_back(window);
  return window;
}

extern "C" BOOL DestroyWindow(HWND window) {
  std::lock_guard lock(Table().mutex);
  if (Table().find(window) == nullptr) return FALSE;
  DestroyLocked(Table(), window);
  return TRUE;
}

extern "C" BOOL IsWindow(HWND window) {
  std::lock_guard lock(Table().mutex);
  return Table().find(window) != nullptr;
}

extern "C" void QbSetWindowRect(HWND window, const RECT* rect) {
  std::lock_guard lock(Table().mutex);
  if (WindowRecord* record = Table().find(window); record != nullptr && rect != nullptr) record->rect = *rect;
}

extern "C" BOOL GetWindowRect(HWND window, RECT* rect) {
  std::lock_guard lock(Table().mutex);
  WindowRecord* record = Table().find(window);
  if (record == nullptr || rect == nullptr) return FALSE;
  *rect = record->rect;
  return TRUE;
}

extern "C" LONG_PTR SetWindowLongA(HWND window, int index, LONG_PTR value) {
  std::lock_guard lock(Table().mutex);
  WindowRecord* record = Table().find(window);
  if (record == nullptr || index != GWL_WNDPROC) return 0;
  LONG_PTR previous = reinterpret_cast<LONG_PTR>(record->procedure);
  record->procedure = reinterpret_cast<WNDPROC>(value);
  return previous;
}

extern "C" LONG_PTR GetWindowLongA(HWND window, int index) {
  std::lock_guard lock(Table().mutex);
  WindowRecord* record = Table().find(window);
  if (record == nullptr || index != GWL_WNDPROC) return 0;
  return reinterpret_cast<LONG_PTR>(record->procedure);
}

extern "C" LRESULT CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
  return procedure ? procedure(window, message, wParam, lParam) : 0;
}

extern "C" LRESULT DefWindowProcA(HWND, UINT, WPARAM, LPARAM) {
  return 0;
}

extern "C" BOOL SetPropA(HWND window, const char* name, HANDLE value) {
  std::lock_guard lock(Table().mutex);
  WindowRecord* record = Table().find(window);
  if (record == nullptr || name == nullptr) return FALSE;
  record->properties[name] = value;
  return TRUE;
}

extern "C" HANDLE GetPropA(HWND window, const char* name) {
  std::lock_guard lock(Table().mutex);
  WindowRecord* record = Table().find(window);
  if (record == nullptr || name == nullptr) return nullptr;
  auto it = record->properties.find(name);
  return it == record->properties.end() ? nullptr : it->second;
}

extern "C" HANDLE RemovePropA(HWND window, const char* name) {
  std::lock_guard lock(Table().mutex);
  WindowRecord* record = Table().find(window);
  if (record == nullptr || name == nullptr) return nullptr;
  auto it = record->properties.find(name);
  if (it == record->properties.end()) return nullptr;
  HANDLE value = it->second;
  record->properties.erase(it);
  return value;
}

extern "C" HWND GetAncestor(HWND window, UINT flags) {
  std::lock_guard lock(Table().mutex);
  WindowRecord* record = Table().find(window);
  if (record == nullptr) return nullptr;
  if (flags == GA_PARENT) return record->parent;
  HWND root = window;
  while (WindowRecord* current = Table().find(root)) {
    if (current->parent == nullptr) break;
    root = current->parent;
  }
  return root;
}

extern "C" HWND GetWindow(HWND window, UINT command) {
  std::lock_guard lock(Table().mutex);
  WindowRecord* record = Table().find(window);
  if (record == nullptr) return nullptr;
  if (command == GW_CHILD) return record->children.empty() ? nullptr : record->children.front();
  if (command != GW_HWNDNEXT) return nullptr;
  WindowRecord* parent = Table().find(record->parent);
  if (parent == nullptr) return nullptr;
  auto it = std::find(parent->children.begin(), parent->children.end(), window);
  return (it == parent->children.end() || it + 1 == parent->children.end()) ? nullptr : *(it + 1);
}

extern "C" short GetAsyncKeyState(int virtualKey) {
  if (virtualKey < 0 || virtualKey > 255) return 0;
  return g_keyDown[virtualKey].load() ? static_cast<short>(0x8000) : 0;
}

extern "C" void QbSetKeyState(int virtualKey, BOOL down) {
  if (virtualKey >= 0 && virtualKey <= 255) g_keyDown[virtualKey].store(down != FALSE);
}

namespace {
std::atomic<int> g_displayScale{1};
}

extern "C" void QbSetDisplayScale(int scale) {
  g_displayScale.store(std::max(1, scale));
}

extern "C" int QbDisplayScale() {
  return g_displayScale.load();
}

extern "C" BOOL GetCursorPos(POINT* point) {
  if (point == nullptr) return FALSE;
  int x = 0, y = 0;
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return FALSE;
  SDL_GetGlobalMouseState(&x, &y);
  point->x = x / QbDisplayScale();
  point->y = y / QbDisplayScale();
  return TRUE;
}

extern "C" int GetSystemMetrics(int index) {
  SDL_Rect bounds{};
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0 || SDL_GetDisplayBounds(0, &bounds) != 0) return 0;
  if (index == SM_CXSCREEN) return bounds.w / QbDisplayScale();
  if (index == SM_CYSCREEN) return bounds.h / QbDisplayScale();
  return 0;
}
