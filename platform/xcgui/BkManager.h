// An element's background: colour fills and images, each tied to a state number. State 0 draws
// in every state; other numbers draw only when the owner is in that state (button states 16,
// 32, 64; list-item states 0x80..0x400; tree-item states 256, 512). Entries draw in the order
// they were added.
#pragma once

#include <span>
#include <vector>

#include "platform/xcgui/Geometry.h"
#include "platform/xcgui/Object.h"

class Element;
class Image;
class Painter;

class BkManager : public Object {
 public:
  static constexpr int kAnyState = 0;

  // Every change asks `owner` (when there is one) to be drawn again.
  explicit BkManager(Element* owner = nullptr) : owner_(owner) {}
  int objectType() const override { return XC_BKM; }

  // Returns the number of entries after adding.
  int addFill(int state, Colour colour);
  int addImage(int state, HXCGUI image);
  void clear();
  bool empty() const { return entries_.empty(); }
  bool hasState(int state) const;

  // Draws the entries of state 0 and of the first of `states` that has any entry.
  void draw(Painter& painter, const Rect& rect, std::span<const int> states) const;
  // Draws the entries of exactly this state (item states of lists and trees).
  void drawOnly(Painter& painter, const Rect& rect, int state) const;

 private:
  struct Entry {
    int state;
    bool isImage;
    Colour colour;
    HXCGUI image;  // looked up when drawn, so a dropped image draws nothing
  };
  void drawEntry(Painter& painter, const Rect& rect, const Entry& entry) const;
  void changed();
  Element* owner_;
  std::vector<Entry> entries_;
};
