// A tree drawn from an adapter: one item element per adapter item, built from the item template
// (or the selected-item template for the selected item) and announced with event 122. Items
// are rebuilt only when they change between the two templates, so handlers of 122 see each
// build once. A click selects an item.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "platform/xcgui/Element.h"
#include "platform/xcgui/ItemTemplate.h"
#include "platform/xcgui/ScrollBar.h"

class TreeAdapter;

class TreeView : public Element {
 public:
  TreeView();
  ~TreeView() override;
  int objectType() const override { return XC_TREE; }

  void bindAdapter(TreeAdapter* adapter);
  TreeAdapter* adapter() const;
  void setTemplate(std::unique_ptr<ItemTemplate> itemTemplate, bool selected);
  void setItemHeights(int height, int selectedHeight);
  void setConnectLines(bool enable, bool rootLines);
  void setIndent(int indent) { indent_ = indent; }
  int selectedItem() const { return selected_; }
  void select(int item);

  // The element with `id` in the template of `item`, or nullptr when the item is not built.
  Element* templateObject(int item, int id);
  // Called by the adapter: 0 for a structural change, else the item whose cells changed.
  void adapterChanged(int item);

  Element* findById(int id) override;
  Element* hitTest(Point p) override;
  bool onMouseDown(Point p) override;
  void onMouseMove(Point p) override;
  void onMouseUp(Point p, bool inside) override;
  bool onWheel(Point p, int delta) override;
  void setHovered(bool hovered) override;

 protected:
  void arrangeChildren(const Rect& content) override;
  void paintContent(Painter& painter) override;
  void paintOverlay(Painter& painter) override;

 private:
  struct Built {
    Element* element;
    bool selectedTemplate;
    Rect row;
    int depth;
  };
  int itemAt(Point p) const;
  void dropItem(int item);
  void dropAll();

  HXCGUI adapter_ = 0;
  std::unique_ptr<ItemTemplate> normal_;
  std::unique_ptr<ItemTemplate> selectedTemplate_;
  int itemHeight_ = 30;
  int selectedHeight_ = 30;
  int indent_ = 16;
  bool connectLines_ = true;
  bool rootLines_ = true;
  int selected_ = 0;
  int hover_ = 0;
  std::map<int, Built> built_;
  ScrollBar scroll_;
};
