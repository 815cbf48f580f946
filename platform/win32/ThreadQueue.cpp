#include "platform/win32/ThreadQueue.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <unordered_map>

#include "platform/win32/KernelObject.h"
#include "platform/win32/Window.h"

namespace {

bool InFilter(const MSG& message, HWND window, UINT filterMin, UINT filterMax) {
  if (window != nullptr && message.hwnd != window) return false;
  if (filterMin == 0 && filterMax == 0) return true;
  return message.message >= filterMin && message.message <= filterMax;
}

}  // namespace

ThreadQueue& ThreadQueue::current() {
  thread_local ThreadQueue* queue = &of(GetCurrentThreadId());
  return *queue;
}

ThreadQueue& ThreadQueue::of(DWORD threadId) {
  // Queues live as long as the process: a post may name a thread that has just ended.
  static auto* queues = new std::unordered_map<DWORD, std::unique_ptr<ThreadQueue>>;
  std::lock_guard lock(WaitMutex());
  auto& slot = (*queues)[threadId];
  if (!slot) slot = std::make_unique<ThreadQueue>();
  return *slot;
}

void ThreadQueue::post(const MSG& message) {
  {
    std::lock_guard lock(WaitMutex());
    posted_.push_back(message);
    freshInput_ = true;
  }
  WakeWaiters();
}

LRESULT ThreadQueue::sendAndWait(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SentMessage sent{window, message, wParam, lParam};
  std::unique_lock lock(WaitMutex());
  sent_.push_back(&sent);
  freshInput_ = true;
  WakeWaiters();
  WaitCondition().wait(lock, [&] { return sent.done; });
  return sent.result;
}

void ThreadQueue::processSentMessages() {
  for (;;) {
    SentMessage* sent = nullptr;
    {
      std::lock_guard lock(WaitMutex());
      if (sent_.empty()) return;
      sent = sent_.front();
      sent_.pop_front();
    }
    LRESULT result = CallCurrentWindowProc(sent->window, sent->message, sent->wParam, sent->lParam);
    {
      std::lock_guard lock(WaitMutex());
      sent->result = result;
      sent->done = true;
    }
    WakeWaiters();
  }
}

void ThreadQueue::setPumpFd(int fd) {
  if (fd >= 0 && wakeFd_ < 0) {
    wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd_ < 0) return;  // no descriptor to be woken on: keep polling
    AddWakeDescriptor(wakeFd_);
  }
  pumpFd_ = wakeFd_ >= 0 ? fd : -1;
}

void ThreadQueue::sleepOnPumpFd(int64_t timeoutMs) const {
  pollfd fds[2] = {{pumpFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
  const int limit = timeoutMs < 0 ? -1 : static_cast<int>(std::min<int64_t>(timeoutMs, 1 << 30));
  if (::poll(fds, 2, limit) > 0 && (fds[1].revents & POLLIN)) {
    uint64_t count = 0;
    [[maybe_unused]] ssize_t n = ::read(wakeFd_, &count, sizeof count);
  }
}

void ThreadQueue::runPumpHook() const {
  if (pumpHook_ != nullptr) pumpHook_();
}

bool ThreadQueue::peek(MSG* out, HWND window, UINT filterMin, UINT filterMax, bool remove) {
  runPumpHook();
  processSentMessages();
  std::lock_guard lock(WaitMutex());
  for (auto it = posted_.begin(); it != posted_.end(); ++it) {
    if (!InFilter(*it, window, filterMin, filterMax)) continue;
    if (out != nullptr) *out = *it;
    if (remove) posted_.erase(it);
    if (posted_.empty()) freshInput_ = false;  // everything queued has now been seen
    return true;
  }
  if (window == nullptr && filterMin == 0 && filterMax == 0) freshInput_ = false;
  return false;
}

bool ThreadQueue::takeFreshInput() {
  bool fresh = freshInput_ || !sent_.empty();
  freshInput_ = false;
  return fresh;
}

extern "C" BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT remove) {
  return ThreadQueue::current().peek(msg, window, filterMin, filterMax, (remove & PM_REMOVE) != 0);
}

extern "C" BOOL GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax) {
  ThreadQueue& queue = ThreadQueue::current();
  while (!queue.peek(msg, window, filterMin, filterMax, true)) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
  }
  return msg->message == WM_QUIT ? FALSE : TRUE;
}

extern "C" BOOL TranslateMessage(const MSG*) {
  return FALSE;
}

extern "C" LRESULT DispatchMessageA(const MSG* msg) {
  if (msg == nullptr || msg->hwnd == nullptr) return 0;
  return CallCurrentWindowProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

extern "C" BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD thread = GetCurrentThreadId();
  if (window != nullptr && !WindowOwnerThread(window, &thread)) return FALSE;
  ThreadQueue::of(thread).post(MSG{window, message, wParam, lParam, GetTickCount(), {}});
  return TRUE;
}

extern "C" BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
  ThreadQueue::of(threadId).post(MSG{nullptr, message, wParam, lParam, GetTickCount(), {}});
  return TRUE;
}

extern "C" void PostQuitMessage(int exitCode) {
  ThreadQueue::current().post(MSG{nullptr, WM_QUIT, exitCode, 0, GetTickCount(), {}});
}

extern "C" LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD owner = 0;
  if (!WindowOwnerThread(window, &owner)) return 0;
  if (owner == GetCurrentThreadId()) return CallCurrentWindowProc(window, message, wParam, lParam);
  return ThreadQueue::of(owner).sendAndWait(window, message, wParam, lParam);
}

void QbSetThreadPumpHook(QbPumpHook hook) {
  ThreadQueue& queue = ThreadQueue::current();
  queue.setPumpHook(hook);
  if (hook == nullptr) queue.setPumpFd(-1);
}

void QbSetThreadPumpFd(int fd) {
  ThreadQueue::current().setPumpFd(fd);
}
