#include "platform/xcgui/ShapePicture.h"

#include "platform/xcgui/Image.h"
#include "platform/xcgui/Painter.h"

ShapePicture::ShapePicture() {
  setWidthRule({SizeKind::Auto, 0});
  setHeightRule({SizeKind::Auto, 0});
}

void ShapePicture::setImage(HXCGUI image) {
  image_ = Object::lookupAs<Image>(image) ? image : 0;
  invalidateLayout();
}

Point ShapePicture::preferredSize() {
  const Image* image = Object::lookupAs<Image>(image_);
  return image ? Point{image->width(), image->height()} : Point{};
}

void ShapePicture::paintContent(Painter& painter) {
  if (const Image* image = Object::lookupAs<Image>(image_)) painter.drawImage(*image, contentRect());
}
