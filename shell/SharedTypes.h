// Types every subsystem exchanges.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The program's own text: code page 936 bytes. Lengths and positions count bytes.
using AnsiText = std::string;
// A counted byte string: network bodies, file contents, payloads.
using ByteBuffer = std::vector<std::uint8_t>;
// UTF-16 text for the toolkit; c_str() is the NUL-terminated form the toolkit takes.
using UiText = std::u16string;

inline AnsiText BytesAsText(const ByteBuffer& bytes) { return AnsiText(bytes.begin(), bytes.end()); }
inline ByteBuffer TextAsBytes(const AnsiText& text) { return ByteBuffer(text.begin(), text.end()); }
