// Owning pointers for SDL objects.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <memory>

struct SdlSurfaceDeleter {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
struct SdlTextureDeleter {
  void operator()(SDL_Texture* t) const { SDL_DestroyTexture(t); }
};
struct SdlRendererDeleter {
  void operator()(SDL_Renderer* r) const { SDL_DestroyRenderer(r); }
};
struct SdlWindowDeleter {
  void operator()(SDL_Window* w) const { SDL_DestroyWindow(w); }
};
struct TtfFontDeleter {
  void operator()(TTF_Font* f) const { TTF_CloseFont(f); }
};

using SurfacePtr = std::unique_ptr<SDL_Surface, SdlSurfaceDeleter>;
using TexturePtr = std::unique_ptr<SDL_Texture, SdlTextureDeleter>;
using RendererPtr = std::unique_ptr<SDL_Renderer, SdlRendererDeleter>;
using SdlWindowPtr = std::unique_ptr<SDL_Window, SdlWindowDeleter>;
using FontPtr = std::unique_ptr<TTF_Font, TtfFontDeleter>;
