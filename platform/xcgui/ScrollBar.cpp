#include "platform/xcgui/ScrollBar.h"

#include <algorithm>

#include "platform/xcgui/Painter.h"

void ScrollBar::setExtent(int content, int view) {
  content_ = std::max(0, content);
  view_ = std::max(0, view);
  setOffset(offset_);
}

bool ScrollBar::setOffset(int offset) {
  int clamped = std::clamp(offset, 0, std::max(0, content_ - view_));
  if (clamped == offset_) return false;
  offset_ = clamped;
  return true;
}

Rect ScrollBar::thumb(const Rect& view) const {
  if (!needed()) return {};
  Rect t = track(view);
  int length = std::max(20, int(int64_t(t.h) * view_ / content_));
  int room = std::max(1, content_ - view_);
  int top = t.y + int(int64_t(t.h - length) * offset_ / room);
  return {t.x, top, t.w, length};
}

void ScrollBar::paint(Painter& painter, const Rect& view) const {
  if (!needed()) return;
  painter.fillRect(track(view), Colour{0, 0, 0, 30});
  painter.fillRect(thumb(view), Colour{0x80, 0x80, 0x80, dragging_ ? uint8_t(220) : uint8_t(160)});
}

bool ScrollBar::beginDrag(Point p, const Rect& view) {
  if (!needed() || !track(view).contains(p)) return false;
  Rect t = thumb(view);
  if (!t.contains(p)) {
    // Jump so that the thumb's middle lands under the pointer.
    Rect tr = track(view);
    int room = std::max(1, tr.h - t.h);
    setOffset(int(int64_t(p.y - tr.y - t.h / 2) * (content_ - view_) / room));
    t = thumb(view);
  }
  dragging_ = true;
  grab_ = p.y - t.y;
  return true;
}

bool ScrollBar::drag(Point p, const Rect& view) {
  if (!dragging_) return false;
  Rect tr = track(view);
  Rect t = thumb(view);
  int room = std::max(1, tr.h - t.h);
  return setOffset(int(int64_t(p.y - grab_ - tr.y) * (content_ - view_) / room));
}
