// Conversions between the program's code-page-936 text and the encodings web answers and the
// WinHTTP functions use.
#pragma once

#include "shell/SharedTypes.h"

// UTF-8 bytes as code-page-936 text; characters that code page lacks become "?". The text
// ends at the first zero character.
AnsiText Utf8ToAnsi(const ByteBuffer& utf8);

// Replaces \uXXXX escapes (and %XX, %uXXXX sequences) by their characters, as a script engine's
// unescape does. Line breaks and apostrophes of the text survive; so do "’" and "{$}", which
// come back as an apostrophe and a line break. A text the script engine cannot take (one
// ending in a backslash, one holding a lone line feed) comes back as its prepared bytes read as
// UTF-16LE text (BytesAsUnicodeText).
AnsiText UnescapeUnicode(const AnsiText& text);

// The bytes read as UTF-16LE text (a leading byte-order mark dropped), as code-page-936 text.
AnsiText BytesAsUnicodeText(const ByteBuffer& bytes);

// RFC 4648 Base64 with "=" padding and no line breaks; empty for empty input.
AnsiText Base64Encode(const ByteBuffer& bytes);

// UTF-16LE bytes of the text, ending in a two-byte zero unless `dropTerminator`; empty text
// gives an empty buffer.
ByteBuffer AnsiToUtf16(const AnsiText& text, bool dropTerminator = false);

// UTF-16LE bytes (an odd last byte ignored) as code-page-936 text, ending at the first zero.
AnsiText Utf16ToAnsi(const ByteBuffer& utf16);
