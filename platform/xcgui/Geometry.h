// Rectangles, points and colours in window pixels.
#pragma once

#include <algorithm>
#include <cstdint>

struct Point {
  int x = 0, y = 0;
};

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;

  int right() const { return x + w; }
  int bottom() const { return y + h; }
  bool empty() const { return w <= 0 || h <= 0; }
  bool contains(Point p) const { return p.x >= x && p.y >= y && p.x < right() && p.y < bottom(); }
  Rect intersected(const Rect& o) const {
    int l = std::max(x, o.x), t = std::max(y, o.y);
    int r = std::min(right(), o.right()), b = std::min(bottom(), o.bottom());
    return {l, t, std::max(0, r - l), std::max(0, b - t)};
  }
  bool intersects(const Rect& o) const { return !intersected(o).empty(); }
  // The smallest rectangle holding both.
  Rect united(const Rect& o) const {
    int l = std::min(x, o.x), t = std::min(y, o.y);
    return {l, t, std::max(right(), o.right()) - l, std::max(bottom(), o.bottom()) - t};
  }
  Rect inset(int left, int top, int rightInset, int bottomInset) const {
    return {x + left, y + top, std::max(0, w - left - rightInset), std::max(0, h - top - bottomInset)};
  }
  bool operator==(const Rect&) const = default;
};

struct Colour {
  uint8_t r = 0, g = 0, b = 0, a = 255;

  // A COLORREF keeps red in its lowest byte.
  static Colour fromColorRef(uint32_t colorRef, int alpha) {
    return {uint8_t(colorRef & 0xFF), uint8_t((colorRef >> 8) & 0xFF), uint8_t((colorRef >> 16) & 0xFF),
            uint8_t(std::clamp(alpha, 0, 255))};
  }
  bool operator==(const Colour&) const = default;
};
