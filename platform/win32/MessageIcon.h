// The badge a message box shows beside its text, chosen by the box's MB_ICON* bits: a red
// cross for errors, an amber "!" for warnings, a blue "?" for questions and a blue "i" for
// information, each on an anti-aliased disc.
#pragma once

#include <SDL2/SDL.h>
#include <SDL2/SDL_ttf.h>

#include "platform/win32/Win32.h"

class MessageIcon {
 public:
  static constexpr int kSize = 32;

  // `font` draws the mark; the surface is kSize x kSize, ARGB, or null when SDL fails.
  static SDL_Surface* render(UINT type, TTF_Font* font);

 private:
  struct Look {
    SDL_Color disc;
    const char* mark;
  };
  static Look lookOf(UINT type);
  static SDL_Surface* disc(SDL_Color colour);
};
