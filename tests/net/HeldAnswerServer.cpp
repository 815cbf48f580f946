#include "net/HeldAnswerServer.h"

HeldAnswerServer::HeldAnswerServer(int longestMilliseconds)
    : server_(false, [this, longestMilliseconds](const httplib::Request&, httplib::Response& response) {
        std::unique_lock<std::mutex> lock(mutex_);
        auto longest = std::chrono::milliseconds(longestMilliseconds);
        releasedSignal_.wait_for(lock, longest, [this] { return released_; });
        response.set_content("late", "text/plain");
      }) {}

HeldAnswerServer::~HeldAnswerServer() {
  release();
}

void HeldAnswerServer::release() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    released_ = true;
  }
  releasedSignal_.notify_all();
}
