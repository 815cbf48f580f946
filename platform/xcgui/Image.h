// A picture handle: a decoded file (shared between handles of the same file) and the part of it
// to show. Images are immutable once made.
#pragma once

#include <SDL.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "platform/xcgui/Geometry.h"
#include "platform/xcgui/Object.h"
#include "platform/xcgui/SdlHandles.h"

class Image : public Object {
 public:
  Image(std::shared_ptr<SDL_Surface> pixels, Rect source, bool stretch);
  int objectType() const override { return XC_IMAGE; }

  SDL_Surface* pixels() const { return pixels_.get(); }
  const Rect& source() const { return source_; }
  bool stretch() const { return stretch_; }
  int width() const { return source_.w; }
  int height() const { return source_.h; }

 private:
  std::shared_ptr<SDL_Surface> pixels_;
  Rect source_;
  bool stretch_;
};

// Loads each file once. Asking again for the same file and part gives the same handle, so
// programs that load a picture per frame of an animation do not grow without bound.
class ImageCache {
 public:
  // nullptr when the file is missing or unreadable. A zero-sized part means the whole picture.
  Image* load(const std::string& nativePath, Rect part, bool stretch);
  void clear();

 private:
  std::map<std::string, std::shared_ptr<SDL_Surface>> files_;
  std::map<std::tuple<std::string, int, int, int, int, bool>, std::unique_ptr<Image>> images_;
};
