// Painter that draws straight into a 32-bit (A)RGB SDL surface with SDL's blitters, so the same
// frames are made with or without a display and nothing is uploaded per frame: pictures and
// rendered text are blitted from the surfaces they are kept in.
//
// `scale` device pixels make one window pixel (HiDPI): rectangles are multiplied, text is
// rendered with the theme's font at the scaled size, pictures are scaled up.
#pragma once

#include <vector>

#include "platform/xcgui/Painter.h"
#include "platform/xcgui/SdlHandles.h"

class Theme;

class SurfacePainter : public Painter {
 public:
  // The surface (and the theme, when given) must outlive the painter. Without a theme every
  // line of text is rendered anew in the font it is given. A surface of another pixel format
  // is left untouched.
  explicit SurfacePainter(SDL_Surface* target, Theme* theme = nullptr, int scale = 1);
  // Layers still open are composited before the painter goes.
  ~SurfacePainter() override;

  // Fills what the current clip lets through, replacing what was there.
  void clear(Colour colour);
  void fillRect(const Rect& rect, Colour colour) override;
  void drawLine(Point from, Point to, Colour colour) override;
  void drawImage(const Image& image, const Rect& target) override;
  void drawText(const std::string& utf8, _TTF_Font* font, Colour colour, const Rect& box,
                TextAlign horizontal, TextAlign vertical) override;
  void pushClip(const Rect& rect) override;
  void popClip() override;
  bool clippedAway(const Rect& rect) const override;
  void pushLayer(int alpha) override;
  void popLayer() override;

 private:
  struct Layer {
    SurfacePtr pixels;   // a copy of what was below, drawn over, blended back at `alpha`
    SDL_Surface* below;  // the target to blend back into
    SDL_Point belowOrigin;
    int alpha;
  };
  // Window pixels to pixels of the current target.
  SDL_Rect toTarget(const Rect& r) const;
  void applyClip();
  void blendFill(const SDL_Rect& area, Colour colour);
  void blit(SDL_Surface* source, const SDL_Rect& part, SDL_Rect dest, uint8_t alpha);

  SDL_Surface* target_;
  SDL_Point origin_{0, 0};  // device position of the target's top-left pixel
  Theme* theme_;
  int scale_;
  std::vector<Rect> clips_;  // window pixels
  std::vector<Layer> layers_;
};
