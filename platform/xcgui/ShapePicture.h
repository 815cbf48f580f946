// A picture. Shapes do not take the pointer.
#pragma once

#include "platform/xcgui/Element.h"

class ShapePicture : public Element {
 public:
  ShapePicture();
  int objectType() const override { return XC_SHAPE_PICTURE; }
  bool takesPointer() const override { return false; }

  void setImage(HXCGUI image);
  HXCGUI image() const { return image_; }
  Point preferredSize() override;

 protected:
  void paintContent(Painter& painter) override;

 private:
  HXCGUI image_ = 0;
};
