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
// Pixel width of the first `units` UTF-16 units of `text`.
int WidthOf(const std::u16string& text, int units, int fontSize) {
  TTF_Font* font = Toolkit::instance().theme().font(fontSize);
  if (!font || units <= 0) return 0;
  std::string utf8 = TextCodec::utf16ToUtf8(text.substr(0, size_t(units)));
  int w = 0, h = 0;
  TTF_SizeUTF8(font, utf8.c_str(), &w, &h);
  return w;
}
}  // namespace

Edit::Edit() : textColour_(Toolkit::instance().theme().textColour()) {}

void Edit::setText(std::u16string text) {
  text_ = std::move(text);
  caret_ = anchor_ = int(text_.size());
  invalidate();
}

int Edit::textWidth(int units) const {
  return WidthOf(text_, units, fontSize_);
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
  constexpr size_t kUndoDepth = 100;
  if (undo_.size() == kUndoDepth) undo_.erase(undo_.begin());
  undo_.push_back({text_, caret_});
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
    case 'C':
    case 'X':
      if (control && selectionStart() != selectionEnd()) {
        copySelection();
        if (vk == 'X') replaceSelection(u"");
      }
      break;
    case 'V':
      if (control) paste();
      break;
    case 'Z':
      if (control) undo();
      break;
    default:
      break;
  }
}

void Edit::copySelection() const {
  std::u16string part = text_.substr(size_t(selectionStart()), size_t(selectionEnd() - selectionStart()));
  SDL_SetClipboardText(TextCodec::utf16ToUtf8(part).c_str());
}

// One line: line breaks in what was copied become spaces.
void Edit::paste() {
  char* clip = SDL_GetClipboardText();
  std::u16string text = TextCodec::utf8ToUtf16(clip ? clip : "");
  SDL_free(clip);
  for (char16_t& c : text)
    if (c == u'\r' || c == u'\n' || c == u'\t') c = u' ';
  if (!text.empty()) replaceSelection(text);
}

void Edit::undo() {
  if (undo_.empty()) return;
  Snapshot last = std::move(undo_.back());
  undo_.pop_back();
  text_ = std::move(last.text);
  caret_ = anchor_ = std::min(last.caret, int(text_.size()));
  changed();
}

void Edit::onComposition(const std::u16string& text, int cursor) {
  composition_ = text;
  compositionCursor_ = std::clamp(cursor, 0, int(text.size()));
  invalidate();
}

std::u16string Edit::shownText() const {
  if (composition_.empty()) return text_;
  std::u16string shown = text_;
  shown.insert(size_t(caret_), composition_);
  return shown;
}

void Edit::placeCandidates(Rect caret) {
  if (Toolkit::instance().headless() || !focused_ || caret == candidatesAt_) return;
  candidatesAt_ = caret;
  const int scale = Toolkit::instance().scale();
  SDL_Rect r{caret.x * scale, caret.y * scale, caret.w * scale, caret.h * scale};
  SDL_SetTextInputRect(&r);
}

void Edit::onChar(char16_t c) {
  composition_.clear();             // typed text ends the composition that made it
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
      SDL_StartTextInput();
    } else {
      SDL_StopTextInput();
    }
  }
  candidatesAt_ = {};
  if (!focused) composition_.clear();
  invalidate();
}

void Edit::paintContent(Painter& painter) {
  Rect box = contentRect();
  TTF_Font* font = Toolkit::instance().theme().font(fontSize_);
  const std::u16string shown = shownText();
  if (shown.empty()) {
    if (!placeholder_.empty() && !focused_)
      painter.drawText(TextCodec::utf16ToUtf8(placeholder_), font,
                       Colour{textColour_.r, textColour_.g, textColour_.b, 110}, box, TextAlign::Start,
                       TextAlign::Center);
  }
  const bool composing = !composition_.empty();
  // Keep the caret inside the box by scrolling the text sideways.
  int caretX = WidthOf(shown, caret_ + (composing ? compositionCursor_ : 0), fontSize_);
  if (caretX - scroll_ > box.w - 2) scroll_ = caretX - box.w + 2;
  if (caretX - scroll_ < 0) scroll_ = caretX;
  Rect shifted{box.x - scroll_, box.y, box.w + scroll_, box.h};
  int lineHeight = font ? TTF_FontHeight(font) : box.h;
  int top = box.y + (box.h - lineHeight) / 2;
  painter.pushClip(box);
  if (focused_ && !composing && selectionStart() != selectionEnd()) {
    int from = textWidth(selectionStart()), to = textWidth(selectionEnd());
    painter.fillRect({shifted.x + from, box.y + 2, to - from, box.h - 4}, Colour{0x33, 0x99, 0xFF, 110});
  }
  painter.drawText(TextCodec::utf16ToUtf8(shown), font, textColour_, shifted, TextAlign::Start,
                   TextAlign::Center);
  if (composing) {  // the pre-edit text is underlined where it stands
    int from = WidthOf(shown, caret_, fontSize_);
    int to = WidthOf(shown, caret_ + int(composition_.size()), fontSize_);
    painter.fillRect({shifted.x + from, top + lineHeight - 2, to - from, 1}, textColour_);
  }
  if (focused_) {
    painter.fillRect({shifted.x + caretX, top, 1, lineHeight}, textColour_);
    placeCandidates({shifted.x + caretX, top, 1, lineHeight});
  }
  painter.popClip();
}
