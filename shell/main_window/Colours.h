// Toolkit fill colours: COLORREF values with red in the lowest byte.
#pragma once

#include "shell/toolkit/xcgui.h"

constexpr COLORREF RGB(int red, int green, int blue) {
  return static_cast<COLORREF>((red & 255) + (green & 255) * 256 + (blue & 255) * 65536);
}
