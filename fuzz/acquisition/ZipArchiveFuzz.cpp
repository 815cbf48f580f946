// Hands the input to the unpacker as the archive file. A damaged archive must be refused or
// unpacked, never crash, and nothing may be written outside the target folder.
#include <cstddef>
#include <cstdint>
#include <fstream>

#include "UnpackScratch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static UnpackScratch scratch;
  std::ofstream(scratch.archivePath(), std::ios::binary).write(reinterpret_cast<const char*>(data), size);
  scratch.unpack();
  return 0;
}
