#include "platform/win32/MessageIcon.h"

#include <algorithm>
#include <cmath>
#include <memory>

MessageIcon::Look MessageIcon::lookOf(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
      return {{214, 56, 68, 255}, "\u2715"};
    case MB_ICONWARNING:
      return {{232, 150, 30, 255}, "!"};
    case MB_ICONQUESTION:
      return {{66, 120, 220, 255}, "?"};
    default:
      return {{66, 120, 220, 255}, "i"};
  }
}

// Coverage from the distance to the rim gives the edge its anti-aliasing.
SDL_Surface* MessageIcon::disc(SDL_Color colour) {
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, kSize, kSize, 32, SDL_PIXELFORMAT_ARGB8888);
  if (!surface) return nullptr;
  const float radius = kSize / 2.0f - 0.5f, centre = kSize / 2.0f;
  auto* pixels = static_cast<Uint32*>(surface->pixels);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      float distance = std::hypot(x + 0.5f - centre, y + 0.5f - centre);
      float coverage = std::clamp(radius - distance + 0.5f, 0.0f, 1.0f);
      pixels[y * (surface->pitch / 4) + x] =
          SDL_MapRGBA(surface->format, colour.r, colour.g, colour.b, Uint8(coverage * colour.a));
    }
  }
  return surface;
}

SDL_Surface* MessageIcon::render(UINT type, TTF_Font* font) {
  Look look = lookOf(type);
  SDL_Surface* surface = disc(look.disc);
  if (!surface || !font) return surface;
  std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> mark(
      TTF_RenderUTF8_Blended(font, look.mark, SDL_Color{255, 255, 255, 255}), SDL_FreeSurface);
  if (!mark) return surface;
  SDL_SetSurfaceBlendMode(mark.get(), SDL_BLENDMODE_BLEND);
  SDL_Rect target{(kSize - mark->w) / 2, (kSize - mark->h) / 2, mark->w, mark->h};
  SDL_BlitSurface(mark.get(), nullptr, surface, &target);
  return surface;
}
