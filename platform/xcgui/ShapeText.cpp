#include "platform/xcgui/ShapeText.h"

#include <SDL_ttf.h>

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

namespace {

int TextWidth(TTF_Font* font, const std::string& utf8) {
  int w = 0, h = 0;
  if (font && !utf8.empty()) TTF_SizeUTF8(font, utf8.c_str(), &w, &h);
  return w;
}

// The longest run of whole characters that fits with an ellipsis after it, or nothing: a label
// cut by its box shows "更多办公…", never half a character or a sliver at a column's edge.
std::string Elided(TTF_Font* font, const std::string& utf8, int room) {
  if (TextWidth(font, utf8) <= room) return utf8;
  static const std::string kEllipsis = "\u2026";
  std::string best;
  for (size_t end = 1; end <= utf8.size(); ++end) {
    if (end < utf8.size() && (uint8_t(utf8[end]) & 0xC0) == 0x80) continue;  // inside a character
    std::string candidate = utf8.substr(0, end) + kEllipsis;
    if (TextWidth(font, candidate) > room) break;
    best = std::move(candidate);
  }
  return best;
}

}  // namespace

void ShapeText::paintContent(Painter& painter) {
  TTF_Font* font = Toolkit::instance().theme().font(fontSize_);
  Rect box = contentRect();
  painter.drawText(Elided(font, utf8_, box.w), font, colour_, box, horizontal_, vertical_);
}
