// The data of a tree: named columns and items with a cell per column. Item IDs count from 1 in
// insertion order. Trees bound to the adapter are told about every change.
#pragma once

#include <string>
#include <vector>

#include "platform/xcgui/AdapterCell.h"
#include "platform/xcgui/Object.h"

class TreeAdapter : public Object {
 public:
  struct Item {
    int id;
    int parent;  // 0 for a root item
    std::vector<AdapterCell> cells;
  };
  static constexpr int kInsertLast = -3;

  int objectType() const override { return XC_ADAPTER_TREE; }

  int addColumn(const std::string& name);
  int columnIndex(const std::string& name) const;
  const std::vector<std::string>& columns() const { return columns_; }

  // Returns the new item's ID, or 0 when the parent or column does not exist. `before` is the ID
  // of a sibling to insert in front of; kInsertLast (or any unknown ID) appends.
  int insertItem(int column, std::u16string text, int parent, int before);
  bool setText(int item, int column, std::u16string text);
  bool setImage(int item, int column, HXCGUI image);
  const Item* item(int id) const;
  // Items in display order: each item followed by its children; `depth` receives the nesting.
  std::vector<std::pair<const Item*, int>> displayOrder() const;

  void addView(HXCGUI view);

 private:
  void notify(int item);
  void appendSubtree(int parent, int depth, std::vector<std::pair<const Item*, int>>& out) const;

  std::vector<std::string> columns_;
  std::vector<Item> items_;  // in sibling order
  int nextId_ = 1;
  std::vector<HXCGUI> views_;
};
