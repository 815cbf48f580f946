// A packed binary record with named fields, in a zero-filled block from a private heap of its own.
// Fields lie end to end in the order they are added; after each field come the padding bytes the
// alignment asks for, written with the fill byte. Fields are found by the CRC-32 of their name,
// so two names with the same CRC-32 count as the same field.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/win32/Win32.h"
#include "shell/SharedTypes.h"

class PackedRecord {
 public:
  PackedRecord() = default;
  ~PackedRecord();
  PackedRecord(const PackedRecord& other);
  PackedRecord& operator=(const PackedRecord& other);

  // Frees any previous block, then makes a heap and a zero-filled block of `initialSize` bytes.
  // Returns the block, or nullptr when either cannot be made.
  void* create(int alignment = 1, std::uint8_t fillByte = 0xCC, std::size_t initialSize = 1024,
               std::size_t growthStep = 1024);
  // Empties the field table and releases the block and its heap.
  void free();
  // Appends a field of `size` bytes. False when a field with the same name CRC-32 exists, when no
  // block was created, or when the block cannot grow. A value longer than the field is cut.
  bool addField(const AnsiText& name, std::size_t size, const ByteBuffer& value = {},
                bool valueGiven = false);
  // Copies the value into the field (cut at its size); bytes past the value stay as they were.
  bool writeField(const AnsiText& name, const ByteBuffer& value);
  std::size_t usedLength() const { return m_used; }
  void* address() const { return m_block; }
  std::size_t capacity() const { return m_capacity; }
  // 1-based position of the field in the table, 0 when absent.
  int findField(const AnsiText& name) const;
  // The field's bytes over its full size; empty when absent.
  ByteBuffer readField(const AnsiText& name) const;

  // A little-endian number stored in a field (zero when the field is absent or shorter).
  template <class T>
  T readValue(const AnsiText& name) const {
    ByteBuffer bytes = readField(name);
    T value{};
    if (!bytes.empty()) std::memcpy(&value, bytes.data(), std::min(sizeof(T), bytes.size()));
    return value;
  }
  template <class T>
  bool writeValue(const AnsiText& name, T value) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&value);
    return writeField(name, ByteBuffer(bytes, bytes + sizeof(T)));
  }
  template <class T>
  static ByteBuffer valueBytes(T value) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&value);
    return ByteBuffer(bytes, bytes + sizeof(T));
  }

  // UTF-16LE form of a CP936 text with its terminating zero character.
  static ByteBuffer encodeText(const AnsiText& text);
  // CP936 form of UTF-16LE bytes up to the first zero character.
  static AnsiText decodeText(const ByteBuffer& bytes);

 private:
  struct Field {
    AnsiText name;
    std::size_t offset;
    std::size_t size;
    DWORD crc;
  };

  static DWORD nameCrc(const AnsiText& name);
  const Field* lookup(const AnsiText& name) const;
  bool growToFit(std::size_t needed);
  bool moveToNewHeap(std::size_t newCapacity);
  void copyFrom(const PackedRecord& other);

  HANDLE m_heap = nullptr;
  std::uint8_t* m_block = nullptr;
  std::size_t m_capacity = 0;
  std::size_t m_used = 0;
  std::vector<Field> m_fields;
  int m_alignment = 1;
  std::uint8_t m_fillByte = 0xCC;
  std::size_t m_growthStep = 1024;
};
