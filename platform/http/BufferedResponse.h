// A response read in pieces after the exchange: the body bytes, then, when the body ended
// early, a read failure where the missing bytes would have been.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/http/CurlExchange.h"

class BufferedResponse {
 public:
  explicit BufferedResponse(HttpExchangeResult result) : result_(std::move(result)) {}

  const HttpExchangeResult& result() const { return result_; }
  // Bytes a read may return now; after a cut-off body, the bytes that never came.
  std::size_t available() const;
  // Copies up to `capacity` bytes; false once the received bytes of a cut-off body are used up.
  bool read(void* buffer, std::size_t capacity, std::size_t* read);

 private:
  HttpExchangeResult result_;
  std::size_t offset_ = 0;
};
