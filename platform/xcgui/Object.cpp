#include "platform/xcgui/Object.h"

#include <mutex>
#include <unordered_map>

namespace {

// Objects are made and used on the UI thread, but the table is also read by handle checks made
// before a call is handed to that thread, so it keeps its own lock.
struct HandleTable {
  std::mutex lock;
  std::unordered_map<HXCGUI, Object*> objects;
  HXCGUI next = 1;
};

HandleTable& Table() {
  static HandleTable table;
  return table;
}

}  // namespace

Object::Object() {
  auto& table = Table();
  std::lock_guard guard(table.lock);
  handle_ = table.next++;
  table.objects.emplace(handle_, this);
}

Object::~Object() {
  retireHandle();
}

void Object::retireHandle() {
  if (handle_ == 0) return;
  auto& table = Table();
  std::lock_guard guard(table.lock);
  table.objects.erase(handle_);
  handle_ = 0;
}

Object* Object::lookup(HXCGUI handle) {
  if (handle <= 0) return nullptr;
  auto& table = Table();
  std::lock_guard guard(table.lock);
  auto it = table.objects.find(handle);
  return it == table.objects.end() ? nullptr : it->second;
}
