// What elements draw with. Coordinates are window pixels. Clips and layers nest: every push
// narrows the clip or starts a layer until the matching pop.
#pragma once

#include <string>

#include "platform/xcgui/Geometry.h"

class Image;
struct _TTF_Font;

enum class TextAlign { Start, Center, End };

class Painter {
 public:
  virtual ~Painter() = default;

  virtual void fillRect(const Rect& rect, Colour colour) = 0;
  virtual void drawLine(Point from, Point to, Colour colour) = 0;
  // Stretches the image over `target` when the image says so, else draws it at its own size.
  virtual void drawImage(const Image& image, const Rect& target) = 0;
  // UTF-8 text in one line, clipped to `box`. `font` is the font measured in window pixels.
  virtual void drawText(const std::string& utf8, _TTF_Font* font, Colour colour, const Rect& box,
                        TextAlign horizontal, TextAlign vertical) = 0;

  virtual void pushClip(const Rect& rect) = 0;
  virtual void popClip() = 0;
  // True when nothing drawn inside `rect` could be seen through the current clip.
  virtual bool clippedAway(const Rect& rect) const = 0;
  // What is drawn until the matching popLayer is composited as one picture with `alpha`
  // (0..255): overlapping children of a half-transparent element do not show through each other.
  virtual void pushLayer(int alpha) = 0;
  virtual void popLayer() = 0;
};
