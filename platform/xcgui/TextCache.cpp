#include "platform/xcgui/TextCache.h"

#include <SDL_ttf.h>

#include <functional>

size_t TextCache::KeyHash::operator()(const Key& key) const {
  size_t h = std::hash<std::string>()(key.text);
  h ^= std::hash<const void*>()(key.font) + 0x9e3779b9 + (h << 6) + (h >> 2);
  return h ^ (size_t(key.rgb) * 0x100000001b3ull);
}

SDL_Surface* TextCache::line(TTF_Font* font, Colour colour, const std::string& utf8) {
  if (!font || utf8.empty() || capacity_ == 0) return nullptr;
  Key key{font, uint32_t(colour.r) << 16 | uint32_t(colour.g) << 8 | colour.b, utf8};
  if (auto it = index_.find(key); it != index_.end()) {
    entries_.splice(entries_.begin(), entries_, it->second);
    return it->second->second.get();
  }
  SurfacePtr rendered(TTF_RenderUTF8_Blended(font, utf8.c_str(), SDL_Color{colour.r, colour.g, colour.b, 255}));
  if (!rendered) return nullptr;
  if (entries_.size() >= capacity_) {
    index_.erase(entries_.back().first);
    entries_.pop_back();
  }
  entries_.emplace_front(key, std::move(rendered));
  index_.emplace(std::move(key), entries_.begin());
  return entries_.front().second.get();
}
