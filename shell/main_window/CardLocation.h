// A card of a list view named by its place (list, group, item) rather than by its elements: the
// list builds elements only for cards in view and builds them anew when a card scrolls back, so
// a card's element handle kept across pumping may name an element that is gone.
#pragma once

#include "shell/toolkit/xcgui.h"

class CardLocation {
 public:
  CardLocation() = default;
  CardLocation(HELE list, int group, int item) : list_(list), group_(group), item_(item) {}
  // The card selected in `list` now (none when nothing is).
  static CardLocation SelectedIn(HELE list);

  bool isSet() const { return list_ != 0 && group_ >= 0 && item_ >= 0; }
  HELE list() const { return list_; }
  int group() const { return group_; }
  int item() const { return item_; }
  // The card's template element `id` as the list holds it now; 0 while the card is out of view.
  HELE element(int id) const;

  bool operator==(const CardLocation&) const = default;

 private:
  HELE list_ = 0;
  int group_ = -1;
  int item_ = -1;
};
