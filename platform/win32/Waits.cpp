// Waitable timers, events, and the waits over them and the thread's message queue.
#include <algorithm>
#include <chrono>
#include <vector>

#include "platform/win32/KernelObject.h"
#include "platform/win32/ThreadQueue.h"

namespace {

// While a pump hook is installed, waits wake this often to let it poll its own event source.
constexpr int64_t kPumpHookSliceMs = 4;

class WaitableTimer final : public KernelObject {
 public:
  explicit WaitableTimer(bool manualReset) : manualReset_(manualReset) {}
  void set(int64_t dueAt, int64_t periodMs) {
    dueAt_ = dueAt;
    periodMs_ = periodMs;
  }
  bool signaled() const override { return dueAt_ >= 0 && MonotonicMilliseconds() >= dueAt_; }
  void consumeSignal() override {
    if (manualReset_) return;
    dueAt_ = periodMs_ > 0 ? dueAt_ + periodMs_ : -1;
  }
  int64_t selfSignalAt() const override { return dueAt_; }

 private:
  bool manualReset_;
  int64_t dueAt_ = -1;
  int64_t periodMs_ = 0;
};

class Event final : public KernelObject {
 public:
  Event(bool manualReset, bool initialState) : manualReset_(manualReset), state_(initialState) {}
  void set() { state_ = true; }
  bool signaled() const override { return state_; }
  void consumeSignal() override {
    if (!manualReset_) state_ = false;
  }

 private:
  bool manualReset_;
  bool state_;
};

// Waits for any (or all) of the objects, for fresh input when `queue` is given, or the
// timeout. Returns the Windows result code.
DWORD WaitOn(const std::vector<KernelObject*>& objects, bool waitAll, DWORD milliseconds,
             ThreadQueue* queue) {
  const int64_t deadline = milliseconds == INFINITE ? -1 : MonotonicMilliseconds() + milliseconds;
  const bool hooked = queue != nullptr && queue->hasPumpHook();
  for (;;) {
    if (hooked) queue->runPumpHook();
    std::unique_lock lock(WaitMutex());
    if (waitAll && !objects.empty()) {
      if (std::all_of(objects.begin(), objects.end(), [](auto* o) { return o->signaled(); })) {
        for (auto* object : objects) object->consumeSignal();
        return WAIT_OBJECT_0;
      }
    } else {
      for (size_t i = 0; i < objects.size(); ++i) {
        if (!objects[i]->signaled()) continue;
        objects[i]->consumeSignal();
        return WAIT_OBJECT_0 + static_cast<DWORD>(i);
      }
    }
    if (queue != nullptr && queue->takeFreshInput())
      return WAIT_OBJECT_0 + static_cast<DWORD>(objects.size());
    const int64_t now = MonotonicMilliseconds();
    if (deadline >= 0 && now >= deadline) return WAIT_TIMEOUT;
    int64_t wakeAt = deadline;
    auto earlier = [&](int64_t at) {
      if (at >= 0 && (wakeAt < 0 || at < wakeAt)) wakeAt = at;
    };
    for (auto* object : objects) earlier(object->selfSignalAt());
    if (hooked && queue->sleepsOnPumpFd()) {
      // Whatever is posted after the checks above writes the wake descriptor, so nothing is missed.
      lock.unlock();
      queue->sleepOnPumpFd(wakeAt < 0 ? -1 : std::max<int64_t>(wakeAt - now, 0));
      continue;
    }
    if (hooked) earlier(now + kPumpHookSliceMs);
    if (wakeAt < 0) {
      WaitCondition().wait(lock);
    } else {
      WaitCondition().wait_for(lock, std::chrono::milliseconds(std::max<int64_t>(wakeAt - now, 0)));
    }
  }
}

bool CollectObjects(DWORD count, const HANDLE* handles, std::vector<KernelObject*>* objects) {
  for (DWORD i = 0; i < count; ++i) {
    KernelObject* object = LookupHandle(handles[i]);
    if (object == nullptr) return false;
    objects->push_back(object);
  }
  return true;
}

}  // namespace

extern "C" HANDLE CreateWaitableTimerA(void*, BOOL manualReset, const char*) {
  return RegisterHandle(std::make_unique<WaitableTimer>(manualReset != FALSE));
}

extern "C" BOOL SetWaitableTimer(HANDLE timer, const LARGE_INTEGER* dueTime, LONG period, void*, void*,
                                 BOOL) {
  auto* object = LookupHandleAs<WaitableTimer>(timer);
  if (object == nullptr || dueTime == nullptr) return FALSE;
  // Negative due times are relative, in 100-nanosecond units; positive ones absolute (not used here:
  // they are taken as relative too, since there is no wall-clock epoch to honour).
  int64_t ticks = dueTime->QuadPart < 0 ? -dueTime->QuadPart : dueTime->QuadPart;
  {
    std::lock_guard lock(WaitMutex());
    object->set(MonotonicMilliseconds() + (ticks + 9999) / 10000, period);
  }
  WakeWaiters();
  return TRUE;
}

extern "C" HANDLE CreateEventA(void*, BOOL manualReset, BOOL initialState, const char*) {
  return RegisterHandle(std::make_unique<Event>(manualReset != FALSE, initialState != FALSE));
}

extern "C" BOOL SetEvent(HANDLE event) {
  auto* object = LookupHandleAs<Event>(event);
  if (object == nullptr) return FALSE;
  {
    std::lock_guard lock(WaitMutex());
    object->set();
  }
  WakeWaiters();
  return TRUE;
}

extern "C" DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  std::vector<KernelObject*> objects;
  if (!CollectObjects(1, &handle, &objects)) return WAIT_FAILED;
  return WaitOn(objects, false, milliseconds, nullptr);
}

extern "C" DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                           DWORD milliseconds, DWORD wakeMask) {
  std::vector<KernelObject*> objects;
  if (!CollectObjects(count, handles, &objects)) return WAIT_FAILED;
  ThreadQueue* queue = wakeMask != 0 ? &ThreadQueue::current() : nullptr;
  return WaitOn(objects, waitAll != FALSE, milliseconds, queue);
}
