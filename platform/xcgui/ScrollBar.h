// A vertical scroll position with its bar, for views whose content is taller than they are.
#pragma once

#include "platform/xcgui/Geometry.h"

class Painter;

class ScrollBar {
 public:
  static constexpr int kWidth = 8;

  void setExtent(int content, int view);
  int offset() const { return offset_; }
  // Returns whether the offset changed.
  bool setOffset(int offset);
  bool scrollBy(int delta) { return setOffset(offset_ + delta); }
  bool needed() const { return content_ > view_; }
  int content() const { return content_; }

  Rect track(const Rect& view) const { return {view.right() - kWidth, view.y, kWidth, view.h}; }
  Rect thumb(const Rect& view) const;
  void paint(Painter& painter, const Rect& view) const;
  // A press on the track starts dragging (a press outside the thumb first jumps there).
  bool beginDrag(Point p, const Rect& view);
  bool drag(Point p, const Rect& view);
  void endDrag() { dragging_ = false; }
  bool dragging() const { return dragging_; }

 private:
  int content_ = 0, view_ = 0, offset_ = 0;
  bool dragging_ = false;
  int grab_ = 0;
};
