#include "platform/xcgui/ListViewAdapter.h"

#include <algorithm>

#include "platform/xcgui/ListView.h"

int ListViewAdapter::addGroupColumn(const std::string& name) {
  groupColumns_.push_back(name);
  for (Group& g : groups_) g.cells.resize(groupColumns_.size());
  return int(groupColumns_.size()) - 1;
}

int ListViewAdapter::addItemColumn(const std::string& name) {
  itemColumns_.push_back(name);
  for (Group& g : groups_)
    for (auto& cells : g.items) cells.resize(itemColumns_.size());
  return int(itemColumns_.size()) - 1;
}

int ListViewAdapter::addGroup(std::u16string text, int position) {
  Group group{std::vector<AdapterCell>(std::max<size_t>(1, groupColumns_.size())), {}};
  group.cells[0].text = std::move(text);
  int at = (position < 0 || position > int(groups_.size())) ? int(groups_.size()) : position;
  groups_.insert(groups_.begin() + at, std::move(group));
  notify(at, -1, true);
  return at;
}

int ListViewAdapter::addItem(int group, HXCGUI image, int position) {
  if (group < 0 || group >= int(groups_.size())) return -1;
  auto& items = groups_[size_t(group)].items;
  std::vector<AdapterCell> cells(std::max<size_t>(1, itemColumns_.size()));
  cells[0].image = image;
  int at = (position < 0 || position > int(items.size())) ? int(items.size()) : position;
  items.insert(items.begin() + at, std::move(cells));
  notify(group, at, true);
  return at;
}

bool ListViewAdapter::setItemText(int group, int item, const std::string& column, std::u16string text) {
  auto col = std::find(itemColumns_.begin(), itemColumns_.end(), column);
  if (col == itemColumns_.end() || group < 0 || group >= int(groups_.size())) return false;
  auto& items = groups_[size_t(group)].items;
  if (item < 0 || item >= int(items.size())) return false;
  items[size_t(item)][size_t(col - itemColumns_.begin())].text = std::move(text);
  notify(group, item, false);
  return true;
}

void ListViewAdapter::clearGroups() {
  groups_.clear();
  notify(-1, -1, true);
}

void ListViewAdapter::clearItems() {
  for (Group& g : groups_) g.items.clear();
  notify(-1, -1, true);
}

int ListViewAdapter::itemCount() const {
  int n = 0;
  for (const Group& g : groups_) n += int(g.items.size());
  return n;
}

void ListViewAdapter::addView(HXCGUI view) {
  if (std::find(views_.begin(), views_.end(), view) == views_.end()) views_.push_back(view);
}

void ListViewAdapter::notify(int group, int item, bool structure) {
  for (HXCGUI h : views_)
    if (auto* view = Object::lookupAs<ListView>(h); view && view->adapter() == this)
      view->adapterChanged(group, item, structure);
}
