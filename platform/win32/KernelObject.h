// Base of everything a HANDLE names. Handles are the objects' addresses, kept in a registry so
// a stale or foreign handle is refused instead of dereferenced.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/win32/Win32.h"

class KernelObject {
 public:
  virtual ~KernelObject() = default;
  // Waitable objects answer under WaitLock(); a satisfied wait may reset the object.
  virtual bool signaled() const { return false; }
  virtual void consumeSignal() {}
  // The earliest moment the object may become signaled by itself (timers), in GetTickCount ms;
  // -1 when never.
  virtual int64_t selfSignalAt() const { return -1; }
};

// Registers an object and returns its handle; the registry owns it until CloseHandle.
HANDLE RegisterHandle(std::unique_ptr<KernelObject> object);

// The object behind a handle when it is live and of type T, else nullptr.
KernelObject* LookupHandle(HANDLE handle);
template <typename T>
T* LookupHandleAs(HANDLE handle) {
  return dynamic_cast<T*>(LookupHandle(handle));
}

// One lock and condition for every wait in the process: waits are rare and short-lived, and
// one condition makes "a message or a handle, whichever comes first" simple and correct.
std::mutex& WaitMutex();
std::condition_variable& WaitCondition();
// Wakes every wait: the condition's waiters, and threads sleeping on their event source (see
// QbSetThreadPumpFd) through their wake descriptors.
void WakeWaiters();
// A descriptor WakeWaiters writes to (an eventfd), for a thread that sleeps in poll().
void AddWakeDescriptor(int fd);
void RemoveWakeDescriptor(int fd);
int64_t MonotonicMilliseconds();
