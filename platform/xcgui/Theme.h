// Fonts and named colours: the defaults, overridden by the resource file (see
// docs/LAYOUT_FORMAT.md). Fonts are opened once per size.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "platform/xcgui/Geometry.h"
#include "platform/xcgui/SdlHandles.h"
#include "platform/xcgui/TextCache.h"

class Theme {
 public:
  static constexpr const char* kDefaultFontFile = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";
  static constexpr int kDefaultFontSize = 14;

  // False (with a message on stderr) when the file exists but cannot be read; a missing file
  // keeps the defaults and is not an error.
  bool loadResourceFile(const std::string& nativePath);

  TTF_Font* font(int size);
  // The same face at `scale` times the size of `font` (one of this theme's), for drawing at
  // device resolution; `font` itself at scale 1 or when it is not the theme's.
  TTF_Font* scaledFont(TTF_Font* font, int scale);
  // Size of a named font from the resource file, or the default size.
  int namedFontSize(const std::string& name) const;
  std::optional<Colour> namedColour(const std::string& name) const;
  Colour textColour() const { return textColour_; }

  // Rendered lines of text in this theme's fonts; goes with the fonts it was keyed on.
  TextCache& textCache() { return textCache_; }

  // "#rrggbb", "#rrggbbaa" or "@name".
  std::optional<Colour> parseColour(const std::string& text) const;

 private:
  std::string fontFile_ = kDefaultFontFile;
  int defaultSize_ = kDefaultFontSize;
  Colour textColour_{0x33, 0x33, 0x33, 255};
  std::map<std::string, int> namedSizes_;
  std::map<std::string, Colour> colours_;
  std::map<int, FontPtr> fonts_;
  std::map<const TTF_Font*, int> sizes_;  // the size each open font was opened at
  TextCache textCache_;  // after fonts_: its entries go before the fonts they were rendered in
};
