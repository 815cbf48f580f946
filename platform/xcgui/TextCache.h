// Lines of text as the font renders them, kept for the frames that follow: a list scrolling
// past the same card titles rasterises each title once instead of once per frame. Bounded; the
// line drawn least recently goes first. UI thread only.
#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <unordered_map>

#include "platform/xcgui/Geometry.h"
#include "platform/xcgui/SdlHandles.h"

class TextCache {
 public:
  explicit TextCache(size_t capacity = 1024) : capacity_(capacity) {}

  // The line in `colour` (alpha ignored: the painter applies it), or nullptr when the font
  // cannot render it. Owned by the cache; valid until the next call.
  SDL_Surface* line(TTF_Font* font, Colour colour, const std::string& utf8);
  size_t size() const { return entries_.size(); }
  // Forgets every line; needed before a font it was keyed on closes.
  void clear() {
    index_.clear();
    entries_.clear();
  }

 private:
  struct Key {
    TTF_Font* font;
    uint32_t rgb;
    std::string text;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    size_t operator()(const Key& key) const;
  };
  using Entry = std::pair<Key, SurfacePtr>;

  size_t capacity_;
  std::list<Entry> entries_;  // most recently drawn first
  std::unordered_map<Key, std::list<Entry>::iterator, KeyHash> index_;
};
