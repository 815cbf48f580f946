// Takes a fuzz input apart piece by piece; past its end every piece is zero or empty.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

  bool more() const { return m_at < m_size; }
  uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
  // Up to `count` bytes.
  std::string bytes(std::size_t count) {
    count = std::min(count, m_size - m_at);
    std::string piece(reinterpret_cast<const char*>(m_data + m_at), count);
    m_at += count;
    return piece;
  }
  // The bytes up to the next `separator` (which is consumed) or the end.
  std::string until(char separator) {
    std::size_t end = m_at;
    while (end < m_size && m_data[end] != static_cast<uint8_t>(separator)) ++end;
    std::string piece(reinterpret_cast<const char*>(m_data + m_at), end - m_at);
    m_at = std::min(end + 1, m_size);
    return piece;
  }

 private:
  const uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_at = 0;
};
