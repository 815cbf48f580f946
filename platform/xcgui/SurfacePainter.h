// Painter that draws into an SDL surface with SDL's software renderer, so the same frames are
// made with or without a display.
#pragma once

#include <vector>

#include "platform/xcgui/Painter.h"
#include "platform/xcgui/SdlHandles.h"
#include "platform/xcgui/TextCache.h"

class SurfacePainter : public Painter {
 public:
  // The surface (and the cache, when given) must outlive the painter. Without a cache every
  // line of text is rendered anew.
  explicit SurfacePainter(SDL_Surface* target, TextCache* textCache = nullptr);
  // Every queued drawing reaches the surface before the painter goes.
  ~SurfacePainter() override;

  void clear(Colour colour);
  void fillRect(const Rect& rect, Colour colour) override;
  void drawLine(Point from, Point to, Colour colour) override;
  void drawImage(const Image& image, const Rect& target) override;
  void drawText(const std::string& utf8, _TTF_Font* font, Colour colour, const Rect& box,
                TextAlign horizontal, TextAlign vertical) override;
  void pushClip(const Rect& rect) override;
  void popClip() override;
  void pushOpacity(int alpha) override;
  void popOpacity() override;

 private:
  uint8_t scaled(uint8_t alpha) const { return uint8_t(alpha * opacity_.back() / 255); }
  void applyClip();

  SDL_Surface* target_;
  TextCache* textCache_;
  RendererPtr renderer_;
  std::vector<Rect> clips_;
  std::vector<int> opacity_{255};
};
