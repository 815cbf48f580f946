// Time, identities, checksums and the per-thread COM apartment count.
#include <sys/syscall.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <ctime>

#include "platform/win32/KernelObject.h"

extern "C" void Sleep(DWORD milliseconds) {
  timespec request{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&request, &request) != 0 && errno == EINTR) {
  }
}

extern "C" DWORD GetTickCount() { return static_cast<DWORD>(MonotonicMilliseconds()); }

extern "C" DWORD GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }

extern "C" DWORD GetCurrentThreadId() { return static_cast<DWORD>(syscall(SYS_gettid)); }

extern "C" DWORD RtlComputeCrc32(DWORD initial, const BYTE* data, int length) {
  if (data == nullptr || length <= 0) return initial;
  return static_cast<DWORD>(crc32(initial, data, static_cast<uInt>(length)));
}

namespace {
thread_local int g_comInitCount = 0;
}

// S_OK for the first initialisation on a thread, S_FALSE for every further one, as callers that
// balance each call with CoUninitialize expect.
extern "C" long CoInitialize(void*) { return g_comInitCount++ == 0 ? 0 : 1; }

extern "C" void CoUninitialize() {
  if (g_comInitCount > 0) --g_comInitCount;
}
