// The message queue of one thread: posted messages in order, messages sent from other threads,
// and the "new input since the last wait" flag that MsgWaitForMultipleObjects answers to.
// Every field is guarded by WaitMutex().
#pragma once

#include <deque>

#include "platform/win32/Win32.h"

class ThreadQueue {
 public:
  // The calling thread's queue, made on first use.
  static ThreadQueue& current();
  // The queue of a thread (made when missing, so a post never races the thread's first peek).
  static ThreadQueue& of(DWORD threadId);

  void post(const MSG& message);
  // Delivers a message to a window of this queue's thread and waits for its result.
  LRESULT sendAndWait(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  // Called on the owning thread only.
  bool peek(MSG* out, HWND window, UINT filterMin, UINT filterMax, bool remove);
  void runPumpHook() const;
  void processSentMessages();
  void setPumpHook(QbPumpHook hook) { pumpHook_ = hook; }
  // The hook's event source as a descriptor; -1 to poll the hook every few ms instead.
  void setPumpFd(int fd);
  bool sleepsOnPumpFd() const { return pumpFd_ >= 0; }
  // Sleeps until the event source is readable, a waiter is woken, or `timeoutMs` (-1: no limit).
  void sleepOnPumpFd(int64_t timeoutMs) const;
  bool hasPumpHook() const { return pumpHook_ != nullptr; }
  QbPumpHook pumpHook() const { return pumpHook_; }

  // Under WaitMutex(): whether input arrived since the last call, clearing the flag.
  bool takeFreshInput();

 private:
  struct SentMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
    bool done = false;
  };

  std::deque<MSG> posted_;
  std::deque<SentMessage*> sent_;
  bool freshInput_ = false;
  QbPumpHook pumpHook_ = nullptr;
  int pumpFd_ = -1;
  int wakeFd_ = -1;
};
