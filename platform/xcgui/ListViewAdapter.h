// The data of a list view: groups, each with items; a cell per column for groups and for items.
// List views bound to the adapter are told about every change.
#pragma once

#include <string>
#include <vector>

#include "platform/xcgui/AdapterCell.h"
#include "platform/xcgui/Object.h"

class ListViewAdapter : public Object {
 public:
  struct Group {
    std::vector<AdapterCell> cells;
    std::vector<std::vector<AdapterCell>> items;
  };

  int objectType() const override { return XC_ADAPTER_LIST_VIEW; }

  int addGroupColumn(const std::string& name);
  int addItemColumn(const std::string& name);
  const std::vector<std::string>& groupColumns() const { return groupColumns_; }
  const std::vector<std::string>& itemColumns() const { return itemColumns_; }

  // Position -1 (or past the end) appends. Return the new index, or -1.
  int addGroup(std::u16string text, int position);
  int addItem(int group, HXCGUI image, int position);
  bool setItemText(int group, int item, const std::string& column, std::u16string text);
  void clearGroups();
  void clearItems();

  const std::vector<Group>& groups() const { return groups_; }
  int itemCount() const;

  void addView(HXCGUI view);

 private:
  void notify(int group, int item, bool structure);

  std::vector<std::string> groupColumns_;
  std::vector<std::string> itemColumns_;
  std::vector<Group> groups_;
  std::vector<HXCGUI> views_;
};
