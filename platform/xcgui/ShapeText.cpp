#include "platform/xcgui/ShapeText.h"

#include "platform/xcgui/TextCodec.h"
#include "platform/xcgui/Toolkit.h"

ShapeText::ShapeText() : colour_(Toolkit::instance().theme().textColour()) {
  setWidthRule({SizeKind::Auto, 0});
  setHeightRule({SizeKind::Auto, 0});
}

void ShapeText::setText(std::u16string text) {
  if (text == text_) return;
  text_ = std::move(text);
  utf8_ = TextCodec::utf16ToUtf8(text_);
  if (widthRule().kind == SizeKind::Auto || heightRule().kind == SizeKind::Auto)
    invalidateLayout();
  else
    invalidate();
}

Point ShapeText::preferredSize() {
  TTF_Font* font = Toolkit::instance().theme().font(fontSize_);
  int w = 0, h = font ? TTF_FontHeight(font) : 0;
  if (font && !utf8_.empty()) TTF_SizeUTF8(font, utf8_.c_str(), &w, &h);
  return {w + padding().left + padding().right, h + padding().top + padding().bottom};
}

void ShapeText::paintContent(Painter& painter) {
  painter.drawText(utf8_, Toolkit::instance().theme().font(fontSize_), colour_, contentRect(), horizontal_,
                   vertical_);
}
