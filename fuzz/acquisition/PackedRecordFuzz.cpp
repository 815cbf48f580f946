// Drives a packed record with a script read from the input: create with some alignment, fill
// byte and sizes, then add, write, read and copy fields and convert texts. After every step the
// record must agree with what was asked of it and never reach past its block.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "FuzzInput.h"
#include "acquisition/PackedRecord.h"

namespace {

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "packed record fuzz: %s\n", what);
  std::abort();
}

// The field holds the value's first bytes (a longer value is cut at the field's size).
bool Holds(const PackedRecord& record, const AnsiText& name, const ByteBuffer& value) {
  ByteBuffer field = record.readField(name);
  std::size_t compared = std::min(field.size(), value.size());
  return std::equal(value.begin(), value.begin() + static_cast<std::ptrdiff_t>(compared), field.begin());
}

ByteBuffer Bytes(const std::string& text) {
  return ByteBuffer(text.begin(), text.end());
}

bool IsPlainAscii(const AnsiText& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  PackedRecord record;
  int alignment = input.byte() % 9;
  uint8_t fill = input.byte();
  std::size_t initialSize = input.byte() * 4u;
  std::size_t growthStep = input.byte();
  if (!record.create(alignment, fill, initialSize, growthStep)) return 0;
  while (input.more()) {
    AnsiText name = input.bytes(input.byte() % 5);
    switch (input.byte() % 5) {
      case 0: {
        std::size_t fieldSize = input.byte();
        ByteBuffer value = Bytes(input.bytes(input.byte() % 64));
        bool existed = record.findField(name) != 0;
        bool added = record.addField(name, fieldSize, value, true);
        Require(added != existed, "a field was added twice or a new field was refused");
        if (added) {
          Require(record.readField(name).size() == fieldSize, "a new field has the wrong size");
          Require(Holds(record, name, value), "a new field lost its value");
        }
        break;
      }
      case 1: {
        ByteBuffer value = Bytes(input.bytes(input.byte() % 64));
        Require(record.writeField(name, value) == (record.findField(name) != 0), "a write went astray");
        Require(Holds(record, name, value), "a written field lost its value");
        break;
      }
      case 2: {
        PackedRecord copy(record);
        Require(copy.usedLength() == record.usedLength() && copy.capacity() == record.capacity(),
                "a copy has another shape");
        Require(std::memcmp(copy.address(), record.address(), record.capacity()) == 0,
                "a copy has other bytes");
        record = copy;
        break;
      }
      case 3:
        record.readValue<std::int64_t>(name);
        record.readValue<std::uint8_t>(name);
        break;
      default: {
        AnsiText text = input.bytes(input.byte());
        AnsiText back = PackedRecord::decodeText(PackedRecord::encodeText(text));
        if (IsPlainAscii(text)) Require(back == text, "a plain text did not come back");
        break;
      }
    }
    Require(record.usedLength() <= record.capacity(), "the fields reach past the block");
  }
  return 0;
}
