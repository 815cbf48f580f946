#include "platform/xcgui/Theme.h"

#include <pugixml.hpp>

#include <cstdio>
#include <filesystem>

bool Theme::loadResourceFile(const std::string& nativePath) {
  std::error_code error;
  if (!std::filesystem::exists(nativePath, error)) return true;
  pugi::xml_document doc;
  pugi::xml_parse_result parsed = doc.load_file(nativePath.c_str());
  pugi::xml_node root = doc.child("resource");
  if (!parsed || !root) {
    std::fprintf(stderr, "xcgui: %s: not a resource file (%s)\n", nativePath.c_str(),
                 parsed ? "no <resource> root" : parsed.description());
    return false;
  }
  for (pugi::xml_node font : root.children("font")) {
    std::string name = font.attribute("name").as_string();
    int size = font.attribute("size").as_int(defaultSize_);
    if (name == "default") {
      if (auto file = font.attribute("file"); file && std::filesystem::exists(file.as_string(), error)) {
        fontFile_ = file.as_string();
        textCache_.clear();  // keyed on the fonts about to close
        sizes_.clear();
        fonts_.clear();
      }
      defaultSize_ = size;
    }
    namedSizes_[name] = size;
  }
  for (pugi::xml_node colour : root.children("color")) {
    if (auto value = parseColour(colour.attribute("value").as_string()))
      colours_[colour.attribute("name").as_string()] = *value;
  }
  if (auto text = namedColour("text")) textColour_ = *text;
  return true;
}

TTF_Font* Theme::font(int size) {
  if (size <= 0) size = defaultSize_;
  auto it = fonts_.find(size);
  if (it != fonts_.end()) return it->second.get();
  TTF_Font* opened = TTF_WasInit() ? TTF_OpenFontIndex(fontFile_.c_str(), size, 0) : nullptr;
  if (!opened) return nullptr;
  sizes_[opened] = size;
  return fonts_.emplace(size, FontPtr(opened)).first->second.get();
}

TTF_Font* Theme::scaledFont(TTF_Font* font, int scale) {
  auto it = sizes_.find(font);
  if (scale <= 1 || it == sizes_.end()) return font;
  TTF_Font* scaled = this->font(it->second * scale);
  return scaled ? scaled : font;
}

int Theme::namedFontSize(const std::string& name) const {
  auto it = namedSizes_.find(name);
  return it == namedSizes_.end() ? defaultSize_ : it->second;
}

std::optional<Colour> Theme::namedColour(const std::string& name) const {
  auto it = colours_.find(name);
  if (it == colours_.end()) return std::nullopt;
  return it->second;
}

std::optional<Colour> Theme::parseColour(const std::string& text) const {
  if (!text.empty() && text[0] == '@') return namedColour(text.substr(1));
  if (text.size() != 7 && text.size() != 9) return std::nullopt;
  if (text[0] != '#') return std::nullopt;
  unsigned value = 0;
  for (size_t i = 1; i < text.size(); ++i) {
    char c = text[i];
    int digit = (c >= '0' && c <= '9')   ? c - '0'
                : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                         : -1;
    if (digit < 0) return std::nullopt;
    value = value * 16 + unsigned(digit);
  }
  if (text.size() == 7) return Colour{uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value), 255};
  return Colour{uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)};
}
