// A list view drawn from an adapter: groups with a header, items flowing in rows of fixed-size
// cells. Only items that intersect the visible area have elements (built from the item
// template and announced with event 142); the rest exist only as adapter rows, so a list of
// any length costs what one screen of it costs. A press selects an item (event 146).
#pragma once

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "platform/xcgui/Element.h"
#include "platform/xcgui/ItemTemplate.h"
#include "platform/xcgui/ScrollBar.h"

class ListViewAdapter;

class ListView : public Element {
 public:
  using Key = std::pair<int, int>;  // group, item

  ListView();
  ~ListView() override;
  int objectType() const override { return XC_LIST_VIEW; }

  void bindAdapter(ListViewAdapter* adapter);
  ListViewAdapter* adapter() const;
  void setTemplate(std::unique_ptr<ItemTemplate> itemTemplate);
  void setItemSize(int width, int height);
  void setGroupHeight(int height);
  void setItemGap(int gap);
  bool selection(int* group, int* item) const;
  void deleteAllGroups();
  void deleteAllItems();
  int builtCount() const { return int(built_.size()); }
  int scrollOffset() const { return scroll_.offset(); }
  void scrollTo(int offset);

  Element* templateObject(int group, int item, int id);
  void adapterChanged(int group, int item, bool structure);

  Element* findById(int id) override;
  Element* hitTest(Point p) override;
  bool onMouseDown(Point p) override;
  void onDescendantPressed(Point p) override;
  // Selects the item under p (raising event 146) unless it is already the selection.
  void selectAt(Point p);
  void onMouseMove(Point p) override;
  void onMouseUp(Point p, bool inside) override;
  bool onWheel(Point p, int delta) override;
  void setHovered(bool hovered) override;

 protected:
  void arrangeChildren(const Rect& content) override;
  void paintContent(Painter& painter) override;
  void paintOverlay(Painter& painter) override;

 private:
  struct Geometry {
    int columns;
    int left;  // the grid's left edge inside the content, centring the columns
    int contentHeight;
    std::vector<int> groupTops;  // content coordinates
  };
  Geometry measure(const Rect& content) const;
  Rect itemRect(const Geometry& g, const Rect& content, int group, int item) const;
  Key itemAt(Point p) const;
  void dropBuilt(const Key& key);
  void dropAll();
  Rect viewRect() const;

  HXCGUI adapter_ = 0;
  std::unique_ptr<ItemTemplate> template_;
  int itemWidth_ = 100;
  int itemHeight_ = 100;
  int groupHeight_ = 28;
  int itemGap_ = 10;
  Key selected_{-1, -1};
  Key hover_{-1, -1};
  std::map<Key, Element*> built_;
  ScrollBar scroll_;
  Rect lastContent_;
};
