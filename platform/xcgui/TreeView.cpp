#include "platform/xcgui/TreeView.h"

#include "platform/xcgui/AdapterCell.h"
#include "platform/xcgui/Painter.h"
#include "platform/xcgui/Toolkit.h"
#include "platform/xcgui/TreeAdapter.h"
#include "platform/xcgui/Window.h"

TreeView::TreeView() = default;
TreeView::~TreeView() = default;

void TreeView::bindAdapter(TreeAdapter* adapter) {
  dropAll();
  adapter_ = adapter ? adapter->handle() : 0;
  if (adapter) adapter->addView(handle());
  selected_ = hover_ = 0;
  invalidateLayout();
}

TreeAdapter* TreeView::adapter() const {
  return Object::lookupAs<TreeAdapter>(adapter_);
}

void TreeView::setTemplate(std::unique_ptr<ItemTemplate> itemTemplate, bool selected) {
  (selected ? selectedTemplate_ : normal_) = std::move(itemTemplate);
  dropAll();
  invalidateLayout();
}

void TreeView::setItemHeights(int height, int selectedHeight) {
  itemHeight_ = std::max(1, height);
  selectedHeight_ = std::max(1, selectedHeight);
  invalidateLayout();
}

void TreeView::setConnectLines(bool enable, bool rootLines) {
  connectLines_ = enable;
  rootLines_ = rootLines;
  invalidate();
}

void TreeView::select(int item) {
  if (item == selected_) return;
  int previous = selected_;
  selected_ = item;
  // Items switch templates only when there is a selected-item template to switch to.
  if (selectedTemplate_) {
    dropItem(previous);
    dropItem(item);
  }
  invalidateLayout();
  if (Window* w = window()) w->adjustLayout();
}

Element* TreeView::templateObject(int item, int id) {
  auto it = built_.find(item);
  if (it == built_.end()) return nullptr;
  for (auto& child : it->second.element->children())
    if (Element* found = child->findById(id)) return found;
  return nullptr;
}

void TreeView::adapterChanged(int item) {
  TreeAdapter* a = adapter();
  if (item != 0 && a) {
    auto it = built_.find(item);
    if (it != built_.end())
      if (const TreeAdapter::Item* data = a->item(item))
        BindCells(it->second.element, a->columns(), data->cells);
  }
  invalidateLayout();
}

Element* TreeView::findById(int id) {
  // Template elements have IDs of their own, reached through templateObject.
  return (id > 0 && this->id() == id && handle() != 0) ? this : nullptr;
}

void TreeView::dropItem(int item) {
  auto it = built_.find(item);
  if (it == built_.end()) return;
  Toolkit::instance().bury(detachChild(it->second.element));
  built_.erase(it);
}

void TreeView::dropAll() {
  while (!built_.empty()) dropItem(built_.begin()->first);
}

void TreeView::arrangeChildren(const Rect& content) {
  TreeAdapter* a = adapter();
  if (!a) {
    dropAll();
    return;
  }
  auto order = a->displayOrder();
  int total = 0;
  for (auto& [data, depth] : order) total += data->id == selected_ ? selectedHeight_ : itemHeight_;
  scroll_.setExtent(total, content.h);
  int width = content.w - (scroll_.needed() ? ScrollBar::kWidth : 0);

  std::vector<int> fresh;
  std::map<int, Built> kept;
  int y = content.y - scroll_.offset();
  for (auto& [data, depth] : order) {
    bool selected = data->id == selected_;
    bool wantSelected = selected && selectedTemplate_ != nullptr;
    int h = selected ? selectedHeight_ : itemHeight_;
    Rect row{content.x, y, width, h};
    y += h;
    auto it = built_.find(data->id);
    if (it == built_.end() && (wantSelected ? selectedTemplate_ : normal_)) {
      auto element = (wantSelected ? selectedTemplate_ : normal_)->instantiate();
      BindCells(element.get(), a->columns(), data->cells);
      Element* raw = addChild(std::move(element));
      it = built_.emplace(data->id, Built{raw, wantSelected, row, depth}).first;
      fresh.push_back(data->id);
    }
    if (it == built_.end()) continue;
    it->second.row = row;
    it->second.depth = depth;
    int indent = depth * indent_;
    it->second.element->layout({row.x + indent, row.y, std::max(0, row.w - indent), row.h});
    kept.insert(*it);
    built_.erase(it);
  }
  dropAll();  // items no longer in the adapter
  built_ = std::move(kept);

  Window* w = window();
  if (!w) return;
  HXCGUI self = handle();
  for (int id : fresh) {
    bool selectedTemplate = built_[id].selectedTemplate;
    w->queueAfterLayout([self, id, selectedTemplate] {
      auto* tree = Object::lookupAs<TreeView>(self);
      if (!tree || !tree->built_.count(id)) return;
      XC_TreeItem record{id, selectedTemplate ? TRUE : FALSE};
      tree->raise(XE_TREE_TEMP_CREATE_END, reinterpret_cast<WPARAM>(&record), 0);
    });
  }
}

int TreeView::itemAt(Point p) const {
  for (auto& [id, built] : built_)
    if (built.row.contains(p)) return id;
  return 0;
}

Element* TreeView::hitTest(Point p) {
  if (!visible() || !rect().contains(p)) return nullptr;
  if (scroll_.needed() && scroll_.track(contentRect()).contains(p)) return this;
  return Element::hitTest(p);
}

bool TreeView::onMouseDown(Point p) {
  if (scroll_.beginDrag(p, contentRect())) return true;
  if (int item = itemAt(p)) select(item);
  return true;
}

void TreeView::onMouseMove(Point p) {
  if (scroll_.drag(p, contentRect())) {
    invalidateLayout();
    return;
  }
  int item = itemAt(p);
  if (item != hover_) {
    hover_ = item;
    invalidate();
  }
}

void TreeView::onMouseUp(Point, bool) {
  scroll_.endDrag();
}

bool TreeView::onWheel(Point, int delta) {
  if (!scroll_.scrollBy(-delta * itemHeight_ / 120 * 2)) return false;
  invalidateLayout();
  return true;
}

void TreeView::setHovered(bool hovered) {
  Element::setHovered(hovered);
  if (!hovered && hover_) {
    hover_ = 0;
    invalidate();
  }
}

void TreeView::paintContent(Painter& painter) {
  if (!hasBkManager()) return;
  for (auto& [id, built] : built_) {
    if (id == selected_)
      bkManager().drawOnly(painter, built.row, XC_STATE_TREE_ITEM_SELECT);
    else if (id == hover_)
      bkManager().drawOnly(painter, built.row, XC_STATE_TREE_ITEM_STAY);
  }
}

void TreeView::paintOverlay(Painter& painter) {
  if (connectLines_) {
    Colour line{0x99, 0x99, 0x99, 255};
    for (auto& [id, built] : built_) {
      if (built.depth == 0 && !rootLines_) continue;
      int x = built.row.x + built.depth * indent_ - indent_ / 2;
      int mid = built.row.y + built.row.h / 2;
      if (built.depth > 0) {
        painter.drawLine({x, built.row.y}, {x, mid}, line);
        painter.drawLine({x, mid}, {x + indent_ / 2, mid}, line);
      }
    }
  }
  scroll_.paint(painter, contentRect());
}
