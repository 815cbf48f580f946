#include "platform/xcgui/Edit.h"

#include <SDL.h>

#include "platform/win32/Win32.h"
#include "platform/xcgui/Painter.h"
#include "platform/xcgui/TextCodec.h"
#include "platform/xcgui/Toolkit.h"

namespace {
enum {
  VK_BACK_ = 0x08,
  VK_END_ = 0x23,
  VK_HOME_ = 0x24,
  VK_LEFT_ = 0x25,
  VK_RIGHT_ = 0x27,
  VK_DELETE_ = 0x2E
};
bool KeyDown(int vk) {
  return GetAsyncKeyState(vk) != 0;
}
}  // namespace

Edit::Edit() : textColour_(Toolkit::instance().theme().textColour()) {}

void Edit::setText(std::u16string text) {
  text_ = std::move(text);
  caret_ = anchor_ = int(text_.size());
  invalidate();
}

int Edit::textWidth(int units) const {
  TTF_Font* font = Toolkit::instance().theme().font(fontSize_);
  if (!font || units <= 0) return 0;
  std::string utf8 = TextCodec::utf16ToUtf8(text_.substr(0, size_t(units)));
  int w = 0, h = 0;
  TTF_SizeUTF8(font, utf8.c_str(), &w, &h);
  return w;
}

int Edit::positionAt(int x) const {
  int local = x - contentRect().x + scroll_;
  int best = 0, bestDistance = std::abs(local);
  for (int i = 1; i <= int(text_.size()); ++i) {
    int distance = std::abs(textWidth(i) - local);
    if (distance < bestDistance) best = i, bestDistance = distance;
  }
  return best;
}

void Edit::moveCaret(int to, bool extend) {
  caret_ = std::clamp(to, 0, int(text_.size()));
  // Never leave the caret between the halves of a surrogate pair.
  if (caret_ > 0 && caret_ < int(text_.size()) && text_[caret_] >= 0xDC00 && text_[caret_] < 0xE000) ++caret_;
  if (!extend) anchor_ = caret_;
  invalidate();
}

void Edit::replaceSelection(const std::u16string& with) {
  int start = selectionStart(), end = selectionEnd();
  text_.replace(size_t(start), size_t(end - start), with);
  caret_ = anchor_ = start + int(with.size());
  changed();
}

void Edit::changed() {
  invalidate();
  raise(XE_EDIT_CHANGED, 0, 0);
}

bool Edit::onMouseDown(Point p) {
  moveCaret(positionAt(p.x), KeyDown(VK_SHIFT));
  dragging_ = true;
  return true;
}

void Edit::onMouseMove(Point p) {
  if (dragging_) moveCaret(positionAt(p.x), true);
}

void Edit::onMouseUp(Point, bool) {
  dragging_ = false;
}

void Edit::onKeyDown(int vk) {
  bool shift = KeyDown(VK_SHIFT), control = KeyDown(VK_CONTROL);
  int step = (caret_ > 0 && text_[caret_ - 1] >= 0xDC00 && text_[caret_ - 1] < 0xE000) ? 2 : 1;
  switch (vk) {
    case VK_LEFT_:
      moveCaret(selectionStart() != selectionEnd() && !shift ? selectionStart() : caret_ - step, shift);
      break;
    case VK_RIGHT_:
      moveCaret(selectionStart() != selectionEnd() && !shift ? selectionEnd() : caret_ + 1, shift);
      break;
    case VK_HOME_:
      moveCaret(0, shift);
      break;
    case VK_END_:
      moveCaret(int(text_.size()), shift);
      break;
    case VK_BACK_:
      if (selectionStart() == selectionEnd()) {
        if (caret_ == 0) return;
        anchor_ = caret_ - step;
      }
      replaceSelection(u"");
      break;
    case VK_DELETE_:
      if (selectionStart() == selectionEnd()) {
        if (caret_ >= int(text_.size())) return;
        int next = caret_ + ((text_[caret_] >= 0xD800 && text_[caret_] < 0xDC00) ? 2 : 1);
        anchor_ = std::min(next, int(text_.size()));
      }
      replaceSelection(u"");
      break;
    case 'A':
      if (control) {
        anchor_ = 0;
        moveCaret(int(text_.size()), true);
      }
      break;
    default:
      break;
  }
}

void Edit::onChar(char16_t c) {
  if (c >= 0xD800 && c < 0xDC00) {  // first half of a pair: wait for the second
    pendingHigh_ = c;
    return;
  }
  if (c >= 0xDC00 && c < 0xE000) {
    if (pendingHigh_) replaceSelection(std::u16string{pendingHigh_, c});
    pendingHigh_ = 0;
    return;
  }
  pendingHigh_ = 0;
  if (c < 0x20 || c == 0x7F) return;  // control characters come as key-downs
  replaceSelection(std::u16string(1, c));
}

void Edit::onFocusChanged(bool focused) {
  focused_ = focused;
  if (!Toolkit::instance().headless()) {
    if (focused) {
      SDL_Rect r{rect().x, rect().y, rect().w, rect().h};
      SDL_SetTextInputRect(&r);
      SDL_StartTextInput();
    } else {
      SDL_StopTextInput();
    }
  }
  invalidate();
}

void Edit::paintContent(Painter& painter) {
  Rect box = contentRect();
  TTF_Font* font = Toolkit::instance().theme().font(fontSize_);
  if (text_.empty()) {
    if (!placeholder_.empty() && !focused_)
      painter.drawText(TextCodec::utf16ToUtf8(placeholder_), font,
                       Colour{textColour_.r, textColour_.g, textColour_.b, 110}, box, TextAlign::Start,
                       TextAlign::Center);
  }
  // Keep the caret inside the box by scrolling the text sideways.
  int caretX = textWidth(caret_);
  if (caretX - scroll_ > box.w - 2) scroll_ = caretX - box.w + 2;
  if (caretX - scroll_ < 0) scroll_ = caretX;
  Rect shifted{box.x - scroll_, box.y, box.w + scroll_, box.h};
  painter.pushClip(box);
  if (focused_ && selectionStart() != selectionEnd()) {
    int from = textWidth(selectionStart()), to = textWidth(selectionEnd());
    painter.fillRect({shifted.x + from, box.y + 2, to - from, box.h - 4}, Colour{0x33, 0x99, 0xFF, 110});
  }
  painter.drawText(TextCodec::utf16ToUtf8(text_), font, textColour_, shifted, TextAlign::Start,
                   TextAlign::Center);
  if (focused_) {
    int lineHeight = font ? TTF_FontHeight(font) : box.h;
    int top = box.y + (box.h - lineHeight) / 2;
    painter.fillRect({shifted.x + caretX, top, 1, lineHeight}, textColour_);
  }
  painter.popClip();
}
