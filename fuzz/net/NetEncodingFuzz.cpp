// Feeds answer bytes to the text-encoding conversions: as UTF-8, as UTF-16 (with and without a
// byte-order mark), as code-page-936 text through UTF-16 and back, and through the script
// engine's unescape.
#include <cstddef>
#include <cstdint>

#include "net/TextEncodings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ByteBuffer bytes(data, data + size);
  AnsiText text(bytes.begin(), bytes.end());
  Utf8ToAnsi(bytes);
  BytesAsUnicodeText(bytes);
  Utf16ToAnsi(bytes);
  Base64Encode(bytes);
  Utf16ToAnsi(AnsiToUtf16(text));
  AnsiToUtf16(text, true);
  // The script engine is slow to start; long inputs add nothing the short ones do not reach.
  if (size <= 512) UnescapeUnicode(text);
  return 0;
}
