#include "acquisition/PackedRecord.h"

#include <algorithm>
#include <cstring>

PackedRecord::~PackedRecord() {
  free();
}

PackedRecord::PackedRecord(const PackedRecord& other) {
  copyFrom(other);
}

PackedRecord& PackedRecord::operator=(const PackedRecord& other) {
  if (this != &other) copyFrom(other);
  return *this;
}

void PackedRecord::copyFrom(const PackedRecord& other) {
  free();
  m_alignment = other.m_alignment;
  m_fillByte = other.m_fillByte;
  m_growthStep = other.m_growthStep;
  if (!other.m_block) return;
  if (!create(other.m_alignment, other.m_fillByte, other.m_capacity, other.m_growthStep)) return;
  std::memcpy(m_block, other.m_block, other.m_capacity);
  m_used = other.m_used;
  m_fields = other.m_fields;
}

void* PackedRecord::create(int alignment, std::uint8_t fillByte, std::size_t initialSize,
                           std::size_t growthStep) {
  free();
  m_alignment = alignment > 0 ? alignment : 1;
  m_fillByte = fillByte;
  m_growthStep = growthStep > 0 ? growthStep : 1024;
  m_heap = HeapCreate(0, initialSize, 0);
  if (!m_heap) return nullptr;
  m_block = static_cast<std::uint8_t*>(HeapAlloc(m_heap, HEAP_ZERO_MEMORY, initialSize));
  if (!m_block) {
    HeapDestroy(m_heap);
    m_heap = nullptr;
    return nullptr;
  }
  m_capacity = initialSize;
  return m_block;
}

void PackedRecord::free() {
  m_fields.clear();
  m_used = 0;
  if (m_block) HeapFree(m_heap, 0, m_block);
  if (m_heap) HeapDestroy(m_heap);
  m_block = nullptr;
  m_heap = nullptr;
  m_capacity = 0;
}

DWORD PackedRecord::nameCrc(const AnsiText& name) {
  return RtlComputeCrc32(0, reinterpret_cast<const BYTE*>(name.data()), static_cast<int>(name.size()));
}

const PackedRecord::Field* PackedRecord::lookup(const AnsiText& name) const {
  DWORD crc = nameCrc(name);
  auto it = std::find_if(m_fields.begin(), m_fields.end(), [crc](const Field& f) { return f.crc == crc; });
  return it == m_fields.end() ? nullptr : &*it;
}

int PackedRecord::findField(const AnsiText& name) const {
  const Field* field = lookup(name);
  return field ? static_cast<int>(field - m_fields.data()) + 1 : 0;
}

bool PackedRecord::moveToNewHeap(std::size_t newCapacity) {
  HANDLE heap = HeapCreate(0, newCapacity, 0);
  if (!heap) return false;
  auto* block = static_cast<std::uint8_t*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, newCapacity));
  if (!block) {
    HeapDestroy(heap);
    return false;
  }
  if (m_used != 0) std::memcpy(block, m_block, m_used);
  HeapFree(m_heap, 0, m_block);
  HeapDestroy(m_heap);
  m_heap = heap;
  m_block = block;
  m_capacity = newCapacity;
  return true;
}

bool PackedRecord::growToFit(std::size_t needed) {
  while (needed > m_capacity) {
    std::size_t larger = m_capacity + m_growthStep;
    void* moved = HeapReAlloc(m_heap, HEAP_ZERO_MEMORY, m_block, larger);
    if (moved) {
      m_block = static_cast<std::uint8_t*>(moved);
      m_capacity = larger;
    } else if (!moveToNewHeap(larger)) {
      return false;
    }
  }
  return true;
}

bool PackedRecord::addField(const AnsiText& name, std::size_t size, const ByteBuffer& value,
                            bool valueGiven) {
  if (!m_block || lookup(name)) return false;
  std::size_t padding = (m_alignment - size % m_alignment) % m_alignment;
  // The padding is part of the room asked for, so it is never written past the block.
  if (!growToFit(m_used + size + padding)) return false;
  std::size_t offset = m_used;
  if (valueGiven && !value.empty()) std::memcpy(m_block + offset, value.data(), std::min(size, value.size()));
  std::memset(m_block + offset + size, m_fillByte, padding);
  m_used = offset + size + padding;
  m_fields.push_back(Field{name, offset, size, nameCrc(name)});
  return true;
}

bool PackedRecord::writeField(const AnsiText& name, const ByteBuffer& value) {
  const Field* field = lookup(name);
  if (!field) return false;
  if (!value.empty()) std::memcpy(m_block + field->offset, value.data(), std::min(field->size, value.size()));
  return true;
}

ByteBuffer PackedRecord::readField(const AnsiText& name) const {
  const Field* field = lookup(name);
  if (!field) return {};
  return ByteBuffer(m_block + field->offset, m_block + field->offset + field->size);
}

ByteBuffer PackedRecord::encodeText(const AnsiText& text) {
  // With the terminating zero included in the input, the output carries it too.
  int units = MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()) + 1, nullptr, 0);
  if (units <= 0) return ByteBuffer(2, 0);
  std::u16string wide(static_cast<std::size_t>(units), u'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()) + 1, wide.data(), units);
  ByteBuffer bytes;
  bytes.reserve(wide.size() * 2);
  for (char16_t unit : wide) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}

AnsiText PackedRecord::decodeText(const ByteBuffer& bytes) {
  std::u16string wide;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    char16_t unit = static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
    if (unit == 0) break;
    wide.push_back(unit);
  }
  if (wide.empty()) return {};
  int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                   nullptr);
  if (length <= 0) return {};
  AnsiText text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length, nullptr,
                      nullptr);
  return text;
}
