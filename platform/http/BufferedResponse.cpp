#include "platform/http/BufferedResponse.h"

#include <algorithm>
#include <cstring>

std::size_t BufferedResponse::available() const {
  std::size_t left = result_.body.size() - offset_;
  if (left == 0 && result_.failure == HttpExchangeFailure::Body)
    return static_cast<std::size_t>(result_.missingBodyBytes);
  return left;
}

bool BufferedResponse::read(void* buffer, std::size_t capacity, std::size_t* read) {
  *read = 0;
  std::size_t left = result_.body.size() - offset_;
  if (left == 0) return result_.failure != HttpExchangeFailure::Body;
  std::size_t count = std::min(left, capacity);
  std::memcpy(buffer, result_.body.data() + offset_, count);
  offset_ += count;
  *read = count;
  return true;
}
