// A line of text. Shapes do not take the pointer: clicks go to the element below them.
#pragma once

#include <string>

#include "platform/xcgui/Element.h"
#include "platform/xcgui/Painter.h"

class ShapeText : public Element {
 public:
  ShapeText();
  int objectType() const override { return XC_SHAPE_TEXT; }
  bool takesPointer() const override { return false; }

  void setText(std::u16string text);
  const std::u16string& text() const { return text_; }
  void setColour(Colour colour) { colour_ = colour; }
  void setFontSize(int size) { fontSize_ = size; }
  void setAlign(TextAlign horizontal, TextAlign vertical) { horizontal_ = horizontal, vertical_ = vertical; }

  Point preferredSize() override;

 protected:
  void paintContent(Painter& painter) override;

 private:
  std::u16string text_;
  std::string utf8_;
  Colour colour_;
  int fontSize_ = 0;
  TextAlign horizontal_ = TextAlign::Start;
  TextAlign vertical_ = TextAlign::Center;
};
