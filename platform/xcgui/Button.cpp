#include "platform/xcgui/Button.h"

#include "platform/xcgui/Painter.h"
#include "platform/xcgui/TextCodec.h"
#include "platform/xcgui/Toolkit.h"
#include "platform/xcgui/Window.h"

Button::Button() : textColour_(Toolkit::instance().theme().textColour()) {}

void Button::setText(std::u16string text) {
  text_ = std::move(text);
  utf8_ = TextCodec::utf16ToUtf8(text_);
  invalidateLayout();
}

void Button::setChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  invalidate();
}

Point Button::preferredSize() {
  TTF_Font* font = Toolkit::instance().theme().font(0);
  int w = 0, h = 0;
  if (font && !utf8_.empty()) TTF_SizeUTF8(font, utf8_.c_str(), &w, &h);
  return {w + 16 + padding().left + padding().right, h + 8 + padding().top + padding().bottom};
}

bool Button::onMouseDown(Point) {
  setPressed(true);
  return true;
}

void Button::onMouseUp(Point p, bool inside) {
  setPressed(false);
  if (!inside) return;
  if (checkable_) setChecked(!checked_);
  HXCGUI self = handle();
  raise(XE_BNCLICK, 0, 0);
  if (Object::lookup(self) != this) return;
  Window* w = window();
  if (!w) return;
  if (action_ == ButtonAction::Close) PostMessageA(w->hwnd(), WM_CLOSE, 0, 0);
  if (action_ == ButtonAction::Minimize) w->minimize();
  if (action_ == ButtonAction::Maximize) w->toggleMaximized();
}

std::vector<int> Button::backgroundStates() const {
  std::vector<int> states = Element::backgroundStates();
  if (checked_) states.insert(states.begin(), kStateChecked);
  return states;
}

void Button::paintBackground(Painter& painter) {
  if (hasBkManager() && !const_cast<Button*>(this)->bkManager().empty()) {
    Element::paintBackground(painter);
    return;
  }
  if (bkTransparent()) return;
  // A plain face for buttons the layout did not dress.
  uint8_t shade = pressed() ? 0xC8 : hovered() ? 0xE4 : 0xD8;
  if (checked_) shade = uint8_t(shade - 0x30);
  painter.fillRect(rect(), Colour{shade, shade, shade, 255});
}

void Button::paintContent(Painter& painter) {
  painter.drawText(utf8_, Toolkit::instance().theme().font(0), textColour_, contentRect(), TextAlign::Center,
                   TextAlign::Center);
}
