// Private heaps: a heap owns its blocks and frees whatever is left when it is destroyed.
// A maximum size, when given, is enforced, so growth past it fails as it would there.
#include <cstdlib>
#include <cstring>
#include <unordered_map>

#include "platform/win32/KernelObject.h"

namespace {

class Heap final : public KernelObject {
 public:
  explicit Heap(size_t maximum) : maximum_(maximum) {}
  ~Heap() override {
    for (auto& [block, size] : blocks_) std::free(block);
  }

  void* allocate(size_t size, bool zero) {
    if (!fits(0, size)) return nullptr;
    void* block = zero ? std::calloc(1, size ? size : 1) : std::malloc(size ? size : 1);
    if (block == nullptr) return nullptr;
    blocks_[block] = size;
    used_ += size;
    return block;
  }

  void* reallocate(void* block, size_t size, bool zero) {
    auto it = blocks_.find(block);
    if (it == blocks_.end()) return nullptr;
    size_t old = it->second;
    if (!fits(old, size)) return nullptr;
    void* grown = std::realloc(block, size ? size : 1);
    if (grown == nullptr) return nullptr;
    if (zero && size > old) std::memset(static_cast<char*>(grown) + old, 0, size - old);
    blocks_.erase(it);
    blocks_[grown] = size;
    used_ = used_ - old + size;
    return grown;
  }

  bool release(void* block) {
    auto it = blocks_.find(block);
    if (it == blocks_.end()) return false;
    used_ -= it->second;
    std::free(block);
    blocks_.erase(it);
    return true;
  }

 private:
  bool fits(size_t replaced, size_t size) const { return maximum_ == 0 || used_ - replaced + size <= maximum_; }

  size_t maximum_;
  size_t used_ = 0;
  std::unordered_map<void*, size_t> blocks_;
};

}  // namespace

extern "C" HANDLE HeapCreate(DWORD, size_t, size_t maximumSize) {
  return RegisterHandle(std::make_unique<Heap>(maximumSize));
}

extern "C" void* HeapAlloc(HANDLE heap, DWORD flags, size_t size) {
  auto* object = LookupHandleAs<Heap>(heap);
  return object ? object->allocate(size, (flags & HEAP_ZERO_MEMORY) != 0) : nullptr;
}

extern "C" void* HeapReAlloc(HANDLE heap, DWORD flags, void* block, size_t size) {
  auto* object = LookupHandleAs<Heap>(heap);
  return object ? object->reallocate(block, size, (flags & HEAP_ZERO_MEMORY) != 0) : nullptr;
}

extern "C" BOOL HeapFree(HANDLE heap, DWORD, void* block) {
  auto* object = LookupHandleAs<Heap>(heap);
  return object && object->release(block) ? TRUE : FALSE;
}

extern "C" BOOL HeapDestroy(HANDLE heap) {
  if (LookupHandleAs<Heap>(heap) == nullptr) return FALSE;
  return CloseHandle(heap);
}
