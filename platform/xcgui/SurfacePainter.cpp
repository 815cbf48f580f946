#include "platform/xcgui/SurfacePainter.h"

#include "platform/xcgui/Image.h"

SurfacePainter::SurfacePainter(SDL_Surface* target, TextCache* textCache)
    : target_(target), textCache_(textCache), renderer_(SDL_CreateSoftwareRenderer(target)) {
  clips_.push_back({0, 0, target->w, target->h});
  if (renderer_) SDL_SetRenderDrawBlendMode(renderer_.get(), SDL_BLENDMODE_BLEND);
}

SurfacePainter::~SurfacePainter() {
  if (renderer_) SDL_RenderFlush(renderer_.get());
}

// Through the renderer, so the clear is ordered with the drawing the renderer may still hold.
void SurfacePainter::clear(Colour colour) {
  if (!renderer_) {
    SDL_FillRect(target_, nullptr, SDL_MapRGBA(target_->format, colour.r, colour.g, colour.b, colour.a));
    return;
  }
  SDL_RenderSetClipRect(renderer_.get(), nullptr);
  SDL_SetRenderDrawBlendMode(renderer_.get(), SDL_BLENDMODE_NONE);
  SDL_SetRenderDrawColor(renderer_.get(), colour.r, colour.g, colour.b, colour.a);
  SDL_RenderClear(renderer_.get());
  SDL_SetRenderDrawBlendMode(renderer_.get(), SDL_BLENDMODE_BLEND);
}

void SurfacePainter::fillRect(const Rect& rect, Colour colour) {
  uint8_t alpha = scaled(colour.a);
  if (!renderer_ || alpha == 0 || rect.empty()) return;
  SDL_SetRenderDrawColor(renderer_.get(), colour.r, colour.g, colour.b, alpha);
  // An opaque fill replaces what is under it: the plain fill is many times cheaper than blending.
  SDL_SetRenderDrawBlendMode(renderer_.get(), alpha == 255 ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
  SDL_Rect r{rect.x, rect.y, rect.w, rect.h};
  SDL_RenderFillRect(renderer_.get(), &r);
}

void SurfacePainter::drawLine(Point from, Point to, Colour colour) {
  uint8_t alpha = scaled(colour.a);
  if (!renderer_ || alpha == 0) return;
  SDL_SetRenderDrawColor(renderer_.get(), colour.r, colour.g, colour.b, alpha);
  SDL_SetRenderDrawBlendMode(renderer_.get(), SDL_BLENDMODE_BLEND);
  SDL_RenderDrawLine(renderer_.get(), from.x, from.y, to.x, to.y);
}

void SurfacePainter::drawImage(const Image& image, const Rect& target) {
  if (!renderer_ || opacity_.back() == 0 || target.empty()) return;
  TexturePtr texture(SDL_CreateTextureFromSurface(renderer_.get(), image.pixels()));
  if (!texture) return;
  SDL_SetTextureBlendMode(texture.get(), SDL_BLENDMODE_BLEND);
  SDL_SetTextureAlphaMod(texture.get(), uint8_t(opacity_.back()));
  const Rect& s = image.source();
  SDL_Rect source{s.x, s.y, s.w, s.h};
  SDL_Rect dest = image.stretch() ? SDL_Rect{target.x, target.y, target.w, target.h}
                                  : SDL_Rect{target.x, target.y, s.w, s.h};
  SDL_RenderCopy(renderer_.get(), texture.get(), &source, &dest);
}

void SurfacePainter::drawText(const std::string& utf8, _TTF_Font* font, Colour colour, const Rect& box,
                              TextAlign horizontal, TextAlign vertical) {
  if (!renderer_ || !font || utf8.empty() || opacity_.back() == 0) return;
  SurfacePtr rendered;
  SDL_Surface* text = textCache_ ? textCache_->line(font, colour, utf8) : nullptr;
  if (!textCache_) {
    rendered.reset(TTF_RenderUTF8_Blended(font, utf8.c_str(), SDL_Color{colour.r, colour.g, colour.b, 255}));
    text = rendered.get();
  }
  if (!text) return;
  TexturePtr texture(SDL_CreateTextureFromSurface(renderer_.get(), text));
  if (!texture) return;
  SDL_SetTextureAlphaMod(texture.get(), scaled(colour.a));
  auto place = [](int start, int room, int size, TextAlign align) {
    if (align == TextAlign::Center) return start + (room - size) / 2;
    if (align == TextAlign::End) return start + room - size;
    return start;
  };
  SDL_Rect dest{place(box.x, box.w, text->w, horizontal), place(box.y, box.h, text->h, vertical), text->w,
                text->h};
  pushClip(box);
  SDL_RenderCopy(renderer_.get(), texture.get(), nullptr, &dest);
  popClip();
}

void SurfacePainter::applyClip() {
  const Rect& c = clips_.back();
  SDL_Rect r{c.x, c.y, c.w, c.h};
  // An empty clip would switch clipping off in SDL; a 0x0 rectangle outside the surface keeps
  // everything clipped away instead.
  if (c.empty()) r = SDL_Rect{-1, -1, 0, 0};
  if (renderer_) SDL_RenderSetClipRect(renderer_.get(), &r);
}

void SurfacePainter::pushClip(const Rect& rect) {
  clips_.push_back(clips_.back().intersected(rect));
  applyClip();
}

void SurfacePainter::popClip() {
  if (clips_.size() > 1) clips_.pop_back();
  applyClip();
}

void SurfacePainter::pushOpacity(int alpha) {
  opacity_.push_back(opacity_.back() * std::clamp(alpha, 0, 255) / 255);
}

void SurfacePainter::popOpacity() {
  if (opacity_.size() > 1) opacity_.pop_back();
}
