// The engine keeps strings as CESU-8: every UTF-16 code unit, a surrogate included, is encoded on
// its own in one to three bytes. These two functions cross between that and UTF-16.
#pragma once

#include <string>
#include <string_view>

std::string ToEngineText(std::u16string_view text);
// Bytes that form no valid sequence become U+FFFD each; a four-byte sequence (a code point the
// engine made above U+FFFF) becomes its surrogate pair.
std::u16string FromEngineText(std::string_view bytes);
