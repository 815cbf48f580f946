// A server on 127.0.0.1 that holds back every answer until the test lets it go, so that a
// request routine's time-out runs out first. The answer is let go when the server is
// destroyed, so a test does not wait for the held answers to end.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>

#include "platform/http/LocalHttpServer.h"

class HeldAnswerServer {
 public:
  // Each answer ("late") is held at most `longestMilliseconds`, so a lost release cannot hang
  // a test.
  explicit HeldAnswerServer(int longestMilliseconds = 10000);
  ~HeldAnswerServer();
  HeldAnswerServer(const HeldAnswerServer&) = delete;
  HeldAnswerServer& operator=(const HeldAnswerServer&) = delete;

  std::string url(const std::string& path = "/") const { return server_.url(path); }
  size_t requestCount() const { return server_.requests().size(); }

 private:
  void release();

  std::mutex mutex_;
  std::condition_variable releasedSignal_;
  bool released_ = false;
  LocalHttpServer server_;  // last: it stops before the gate above goes away
};
