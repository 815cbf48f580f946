#include "platform/xcgui/SurfacePainter.h"

#include <cstdlib>

#include "platform/xcgui/Image.h"
#include "platform/xcgui/Theme.h"

namespace {
// ARGB8888, or the window system's XRGB8888, whose unused byte may take any value.
bool Drawable(const SDL_Surface* s) {
  return s &&
         (s->format->format == SDL_PIXELFORMAT_ARGB8888 || s->format->format == SDL_PIXELFORMAT_RGB888) &&
         !SDL_MUSTLOCK(s);
}
}  // namespace

SurfacePainter::SurfacePainter(SDL_Surface* target, Theme* theme, int scale)
    : target_(Drawable(target) ? target : nullptr), theme_(theme), scale_(std::max(1, scale)) {
  clips_.push_back(target_ ? Rect{0, 0, target_->w / scale_, target_->h / scale_} : Rect{});
  applyClip();
}

SurfacePainter::~SurfacePainter() {
  while (!layers_.empty()) popLayer();
  if (target_) SDL_SetClipRect(target_, nullptr);
}

SDL_Rect SurfacePainter::toTarget(const Rect& r) const {
  return {r.x * scale_ - origin_.x, r.y * scale_ - origin_.y, r.w * scale_, r.h * scale_};
}

void SurfacePainter::applyClip() {
  if (!target_) return;
  SDL_Rect r = toTarget(clips_.back());
  SDL_SetClipRect(target_, &r);  // an empty rectangle clips everything away
}

void SurfacePainter::pushClip(const Rect& rect) {
  clips_.push_back(clips_.back().intersected(rect));
  applyClip();
}

void SurfacePainter::popClip() {
  if (clips_.size() > 1) clips_.pop_back();
  applyClip();
}

bool SurfacePainter::clippedAway(const Rect& rect) const {
  return !target_ || !clips_.back().intersects(rect);
}

void SurfacePainter::clear(Colour colour) {
  if (!target_) return;
  SDL_Rect r = toTarget(clips_.back());
  SDL_FillRect(target_, &r, SDL_MapRGBA(target_->format, colour.r, colour.g, colour.b, colour.a));
}

void SurfacePainter::fillRect(const Rect& rect, Colour colour) {
  if (!target_ || colour.a == 0 || rect.empty()) return;
  SDL_Rect r = toTarget(rect);
  // An opaque fill replaces what is under it: the plain fill is many times cheaper than blending.
  if (colour.a == 255)
    SDL_FillRect(target_, &r, SDL_MapRGBA(target_->format, colour.r, colour.g, colour.b, 255));
  else
    blendFill(r, colour);
}

// Source-over for one colour on ARGB8888, the same arithmetic as SDL's blend mode.
void SurfacePainter::blendFill(const SDL_Rect& area, Colour c) {
  SDL_Rect r;
  if (!SDL_IntersectRect(&area, &target_->clip_rect, &r)) return;
  const uint32_t a = c.a, keep = 255 - a;
  const uint32_t sr = c.r * a, sg = c.g * a, sb = c.b * a;
  for (int y = r.y; y < r.y + r.h; ++y) {
    auto* row =
        reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(target_->pixels) + y * target_->pitch) + r.x;
    for (int x = 0; x < r.w; ++x) {
      const uint32_t p = row[x];
      const uint32_t pr = (sr + ((p >> 16) & 0xFF) * keep) / 255;
      const uint32_t pg = (sg + ((p >> 8) & 0xFF) * keep) / 255;
      const uint32_t pb = (sb + (p & 0xFF) * keep) / 255;
      const uint32_t pa = a + (p >> 24) * keep / 255;
      row[x] = pa << 24 | pr << 16 | pg << 8 | pb;
    }
  }
}

void SurfacePainter::drawLine(Point from, Point to, Colour colour) {
  if (from.x == to.x || from.y == to.y) {
    fillRect({std::min(from.x, to.x), std::min(from.y, to.y), std::abs(to.x - from.x) + 1,
              std::abs(to.y - from.y) + 1},
             colour);
    return;
  }
  // Bresenham, one window pixel at a time.
  const int dx = std::abs(to.x - from.x), dy = -std::abs(to.y - from.y);
  const int sx = from.x < to.x ? 1 : -1, sy = from.y < to.y ? 1 : -1;
  int error = dx + dy;
  for (Point p = from;;) {
    fillRect({p.x, p.y, 1, 1}, colour);
    if (p.x == to.x && p.y == to.y) break;
    const int twice = 2 * error;
    if (twice >= dy) error += dy, p.x += sx;
    if (twice <= dx) error += dx, p.y += sy;
  }
}

void SurfacePainter::blit(SDL_Surface* source, const SDL_Rect& part, SDL_Rect dest, uint8_t alpha) {
  SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_BLEND);
  SDL_SetSurfaceAlphaMod(source, alpha);
  SDL_Rect from = part;
  if (dest.w == part.w && dest.h == part.h)
    SDL_BlitSurface(source, &from, target_, &dest);
  else
    SDL_BlitScaled(source, &from, target_, &dest);
  SDL_SetSurfaceAlphaMod(source, 255);
}

void SurfacePainter::drawImage(const Image& image, const Rect& target) {
  if (!target_ || target.empty() || !image.pixels()) return;
  const Rect& s = image.source();
  Rect shown = image.stretch() ? target : Rect{target.x, target.y, s.w, s.h};
  blit(image.pixels(), SDL_Rect{s.x, s.y, s.w, s.h}, toTarget(shown), 255);
}

void SurfacePainter::drawText(const std::string& utf8, _TTF_Font* font, Colour colour, const Rect& box,
                              TextAlign horizontal, TextAlign vertical) {
  if (!target_ || !font || utf8.empty() || colour.a == 0) return;
  TTF_Font* device = theme_ ? theme_->scaledFont(font, scale_) : font;
  SurfacePtr rendered;
  SDL_Surface* text = theme_ ? theme_->textCache().line(device, colour, utf8) : nullptr;
  if (!theme_) {
    rendered.reset(
        TTF_RenderUTF8_Blended(device, utf8.c_str(), SDL_Color{colour.r, colour.g, colour.b, 255}));
    text = rendered.get();
  }
  if (!text) return;
  auto place = [](int start, int room, int size, TextAlign align) {
    if (align == TextAlign::Center) return start + (room - size) / 2;
    if (align == TextAlign::End) return start + room - size;
    return start;
  };
  const SDL_Rect area = toTarget(box);
  SDL_Rect dest{place(area.x, area.w, text->w, horizontal), place(area.y, area.h, text->h, vertical), text->w,
                text->h};
  pushClip(box);
  blit(text, SDL_Rect{0, 0, text->w, text->h}, dest, colour.a);
  popClip();
}

void SurfacePainter::pushLayer(int alpha) {
  Layer layer{nullptr, target_, origin_, std::clamp(alpha, 0, 255)};
  SDL_Rect area{};
  if (target_) {
    SDL_Rect wanted = toTarget(clips_.back());
    SDL_Rect whole{0, 0, target_->w, target_->h};
    if (SDL_IntersectRect(&wanted, &whole, &area))
      layer.pixels.reset(SDL_CreateRGBSurfaceWithFormat(0, area.w, area.h, 32, SDL_PIXELFORMAT_ARGB8888));
  }
  if (layer.pixels) {
    // Starting from what is below makes blending back at `alpha` exactly the group's opacity.
    SDL_SetSurfaceBlendMode(target_, SDL_BLENDMODE_NONE);
    SDL_Rect from = area;
    SDL_SetClipRect(target_, nullptr);
    SDL_BlitSurface(target_, &from, layer.pixels.get(), nullptr);
    origin_ = {origin_.x + area.x, origin_.y + area.y};
  }
  target_ = layer.pixels.get();
  layers_.push_back(std::move(layer));
  applyClip();
}

void SurfacePainter::popLayer() {
  if (layers_.empty()) return;
  Layer layer = std::move(layers_.back());
  layers_.pop_back();
  SDL_Point layerOrigin = origin_;
  target_ = layer.below;
  origin_ = layer.belowOrigin;
  applyClip();
  if (!layer.pixels) return;
  SDL_Surface* pixels = layer.pixels.get();
  blit(pixels, SDL_Rect{0, 0, pixels->w, pixels->h},
       SDL_Rect{layerOrigin.x - origin_.x, layerOrigin.y - origin_.y, pixels->w, pixels->h},
       uint8_t(layer.alpha));
}
