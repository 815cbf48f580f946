#include "platform/xcgui/TreeAdapter.h"

#include <algorithm>

#include "platform/xcgui/TreeView.h"

int TreeAdapter::addColumn(const std::string& name) {
  columns_.push_back(name);
  for (Item& item : items_) item.cells.resize(columns_.size());
  return int(columns_.size()) - 1;
}

int TreeAdapter::columnIndex(const std::string& name) const {
  auto it = std::find(columns_.begin(), columns_.end(), name);
  return it == columns_.end() ? -1 : int(it - columns_.begin());
}

int TreeAdapter::insertItem(int column, std::u16string text, int parent, int before) {
  if (column < 0 || column >= int(columns_.size())) return 0;
  if (parent != 0 && !item(parent)) return 0;
  Item fresh{nextId_++, parent, std::vector<AdapterCell>(columns_.size())};
  fresh.cells[size_t(column)].text = std::move(text);
  auto at = std::find_if(items_.begin(), items_.end(),
                         [&](const Item& i) { return i.id == before && i.parent == parent; });
  items_.insert(before == kInsertLast ? items_.end() : at, std::move(fresh));
  int id = nextId_ - 1;
  notify(0);
  return id;
}

bool TreeAdapter::setText(int id, int column, std::u16string text) {
  auto it = std::find_if(items_.begin(), items_.end(), [&](const Item& i) { return i.id == id; });
  if (it == items_.end() || column < 0 || column >= int(columns_.size())) return false;
  it->cells[size_t(column)].text = std::move(text);
  notify(id);
  return true;
}

bool TreeAdapter::setImage(int id, int column, HXCGUI image) {
  auto it = std::find_if(items_.begin(), items_.end(), [&](const Item& i) { return i.id == id; });
  if (it == items_.end() || column < 0 || column >= int(columns_.size())) return false;
  it->cells[size_t(column)].image = image;
  notify(id);
  return true;
}

const TreeAdapter::Item* TreeAdapter::item(int id) const {
  for (const Item& i : items_)
    if (i.id == id) return &i;
  return nullptr;
}

std::vector<std::pair<const TreeAdapter::Item*, int>> TreeAdapter::displayOrder() const {
  std::vector<std::pair<const Item*, int>> out;
  appendSubtree(0, 0, out);
  return out;
}

void TreeAdapter::appendSubtree(int parent, int depth, std::vector<std::pair<const Item*, int>>& out) const {
  for (const Item& i : items_) {
    if (i.parent != parent) continue;
    out.emplace_back(&i, depth);
    appendSubtree(i.id, depth + 1, out);
  }
}

void TreeAdapter::addView(HXCGUI view) {
  if (std::find(views_.begin(), views_.end(), view) == views_.end()) views_.push_back(view);
}

void TreeAdapter::notify(int item) {
  for (HXCGUI h : views_)
    if (auto* view = Object::lookupAs<TreeView>(h); view && view->adapter() == this)
      view->adapterChanged(item);
}
