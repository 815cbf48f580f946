#include "platform/xcgui/Image.h"

#include <SDL_image.h>

Image::Image(std::shared_ptr<SDL_Surface> pixels, Rect source, bool stretch)
    : pixels_(std::move(pixels)), source_(source), stretch_(stretch) {}

Image* ImageCache::load(const std::string& nativePath, Rect part, bool stretch) {
  auto key = std::make_tuple(nativePath, part.x, part.y, part.w, part.h, stretch);
  if (auto it = images_.find(key); it != images_.end()) return it->second.get();

  auto file = files_.find(nativePath);
  if (file == files_.end()) {
    SDL_Surface* loaded = IMG_Load(nativePath.c_str());
    if (!loaded) return nullptr;
    // One pixel format for everything keeps blits and texture uploads simple.
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    if (!converted) return nullptr;
    file = files_.emplace(nativePath, std::shared_ptr<SDL_Surface>(converted, SDL_FreeSurface)).first;
  }
  SDL_Surface* pixels = file->second.get();
  Rect whole{0, 0, pixels->w, pixels->h};
  Rect source = part.empty() ? whole : part.intersected(whole);
  if (source.empty()) return nullptr;
  auto image = std::make_unique<Image>(file->second, source, stretch);
  Image* result = image.get();
  images_.emplace(key, std::move(image));
  return result;
}

void ImageCache::clear() {
  images_.clear();
  files_.clear();
}
