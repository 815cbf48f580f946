#include "platform/xcgui/ListView.h"

#include <algorithm>

#include "platform/xcgui/ListViewAdapter.h"
#include "platform/xcgui/Painter.h"
#include "platform/xcgui/TextCodec.h"
#include "platform/xcgui/Toolkit.h"
#include "platform/xcgui/Window.h"

ListView::ListView() = default;
ListView::~ListView() = default;

void ListView::bindAdapter(ListViewAdapter* adapter) {
  dropAll();
  adapter_ = adapter ? adapter->handle() : 0;
  if (adapter) adapter->addView(handle());
  selected_ = hover_ = {-1, -1};
  invalidateLayout();
}

ListViewAdapter* ListView::adapter() const {
  return Object::lookupAs<ListViewAdapter>(adapter_);
}

void ListView::setTemplate(std::unique_ptr<ItemTemplate> itemTemplate) {
  template_ = std::move(itemTemplate);
  dropAll();
  invalidateLayout();
}

void ListView::setItemSize(int width, int height) {
  itemWidth_ = std::max(1, width);
  itemHeight_ = std::max(1, height);
  invalidateLayout();
}

void ListView::setGroupHeight(int height) {
  groupHeight_ = std::max(0, height);
  invalidateLayout();
}

void ListView::setItemGap(int gap) {
  itemGap_ = std::max(0, gap);
  invalidateLayout();
}

bool ListView::selection(int* group, int* item) const {
  if (group) *group = selected_.first;
  if (item) *item = selected_.second;
  return selected_.first >= 0 && selected_.second >= 0;
}

void ListView::deleteAllGroups() {
  if (ListViewAdapter* a = adapter()) a->clearGroups();
  dropAll();
}

void ListView::deleteAllItems() {
  if (ListViewAdapter* a = adapter()) a->clearItems();
  dropAll();
}

void ListView::scrollTo(int offset) {
  if (scroll_.setOffset(offset)) invalidateLayout();
}

Element* ListView::templateObject(int group, int item, int id) {
  auto it = built_.find({group, item});
  if (it == built_.end()) return nullptr;
  for (auto& child : it->second->children())
    if (Element* found = child->findById(id)) return found;
  return nullptr;
}

void ListView::adapterChanged(int group, int item, bool structure) {
  ListViewAdapter* a = adapter();
  if (!a) return;
  if (!structure) {
    auto it = built_.find({group, item});
    if (it != built_.end())
      BindCells(it->second, a->itemColumns(), a->groups()[size_t(group)].items[size_t(item)]);
    invalidate();
    return;
  }
  // Appending keeps every index; anything else renumbers items, so start over.
  bool appended = group >= 0 && (item < 0 ? group == int(a->groups().size()) - 1
                                          : item == int(a->groups()[size_t(group)].items.size()) - 1);
  if (!appended) {
    dropAll();
    selected_ = hover_ = {-1, -1};
    scroll_.setOffset(0);
  }
  invalidateLayout();
}

Element* ListView::findById(int id) {
  return (id > 0 && this->id() == id && handle() != 0) ? this : nullptr;
}

void ListView::dropBuilt(const Key& key) {
  auto it = built_.find(key);
  if (it == built_.end()) return;
  Toolkit::instance().bury(detachChild(it->second));
  built_.erase(it);
}

void ListView::dropAll() {
  while (!built_.empty()) dropBuilt(built_.begin()->first);
}

Rect ListView::viewRect() const {
  return lastContent_;
}

ListView::Geometry ListView::measure(const Rect& content) const {
  Geometry g;
  int usable = content.w - ScrollBar::kWidth;
  g.columns = std::max(1, (usable + itemGap_) / (itemWidth_ + itemGap_));
  // What a last column cannot use is shared on both sides, so a grid of two wide cards does not
  // leave a band of empty space on the right.
  g.left = std::max(0, (usable - g.columns * itemWidth_ - (g.columns - 1) * itemGap_) / 2);
  int y = 0;
  if (const ListViewAdapter* a = adapter()) {
    for (const auto& group : a->groups()) {
      g.groupTops.push_back(y);
      int rows = (int(group.items.size()) + g.columns - 1) / g.columns;
      y += groupHeight_ + rows * (itemHeight_ + itemGap_);
    }
  }
  g.contentHeight = y;
  return g;
}

Rect ListView::itemRect(const Geometry& g, const Rect& content, int group, int item) const {
  int row = item / g.columns, column = item % g.columns;
  int top = g.groupTops[size_t(group)] + groupHeight_ + row * (itemHeight_ + itemGap_);
  return {content.x + g.left + column * (itemWidth_ + itemGap_), content.y + top - scroll_.offset(),
          itemWidth_, itemHeight_};
}

void ListView::arrangeChildren(const Rect& content) {
  lastContent_ = content;
  ListViewAdapter* a = adapter();
  if (!a || !template_) {
    dropAll();
    scroll_.setExtent(0, content.h);
    return;
  }
  Geometry g = measure(content);
  scroll_.setExtent(g.contentHeight, content.h);

  // The items whose cells intersect the visible band, found by arithmetic rather than a walk.
  std::vector<Key> visible;
  int viewTop = scroll_.offset(), viewBottom = scroll_.offset() + content.h;
  const auto& groups = a->groups();
  for (size_t gi = 0; gi < groups.size(); ++gi) {
    int itemsTop = g.groupTops[gi] + groupHeight_;
    int count = int(groups[gi].items.size());
    if (count == 0) continue;
    int rows = (count + g.columns - 1) / g.columns;
    int rowHeight = itemHeight_ + itemGap_;
    // Row r covers [r * rowHeight, r * rowHeight + itemHeight) from the group's first row; a row
    // whose cell ends above the view (only its gap in sight) or starts at its bottom edge is out.
    int above = viewTop - itemsTop - itemHeight_;
    int first = above < 0 ? 0 : above / rowHeight + 1;
    int last = std::min(rows - 1, (viewBottom - itemsTop - 1) / rowHeight);
    if (viewBottom <= itemsTop || first > last) continue;
    for (int row = first; row <= last; ++row)
      for (int c = 0; c < g.columns; ++c)
        if (int item = row * g.columns + c; item < count) visible.push_back({int(gi), item});
  }

  std::map<Key, Element*> kept;
  std::vector<Key> fresh;
  for (const Key& key : visible) {
    auto it = built_.find(key);
    Element* element;
    if (it == built_.end()) {
      auto made = template_->instantiate();
      BindCells(made.get(), a->itemColumns(), groups[size_t(key.first)].items[size_t(key.second)]);
      element = addChild(std::move(made));
      fresh.push_back(key);
    } else {
      element = it->second;
      built_.erase(it);
    }
    element->layout(itemRect(g, content, key.first, key.second));
    kept.emplace(key, element);
  }
  dropAll();  // scrolled out of sight
  built_ = std::move(kept);

  Window* w = window();
  if (!w) return;
  HXCGUI self = handle();
  for (const Key& key : fresh) {
    w->queueAfterLayout([self, key] {
      auto* list = Object::lookupAs<ListView>(self);
      if (!list || !list->built_.count(key)) return;
      XC_ListViewItem record{key.first, key.second};
      list->raise(XE_LISTVIEW_TEMP_CREATE_END, reinterpret_cast<WPARAM>(&record), 0);
    });
  }
}

ListView::Key ListView::itemAt(Point p) const {
  for (auto& [key, element] : built_)
    if (element->rect().contains(p) && lastContent_.contains(p)) return key;
  return {-1, -1};
}

Element* ListView::hitTest(Point p) {
  if (!visible() || !rect().contains(p)) return nullptr;
  if (scroll_.needed() && scroll_.track(contentRect()).contains(p)) return this;
  return Element::hitTest(p);
}

bool ListView::onMouseDown(Point p) {
  if (scroll_.beginDrag(p, contentRect())) {
    invalidateLayout();
    return true;
  }
  selectAt(p);
  return true;
}

void ListView::onDescendantPressed(Point p) {
  selectAt(p);
}

void ListView::selectAt(Point p) {
  Key key = itemAt(p);
  if (key.first < 0 || key == selected_) return;
  selected_ = key;
  invalidate();
  raise(XE_LISTVIEW_SELECT, key.first, key.second);
}

void ListView::onMouseMove(Point p) {
  if (scroll_.drag(p, contentRect())) {
    invalidateLayout();
    return;
  }
  Key key = itemAt(p);
  if (key != hover_) {
    hover_ = key;
    invalidate();
  }
}

void ListView::onMouseUp(Point, bool) {
  if (scroll_.dragging()) {
    scroll_.endDrag();
    invalidate();
  }
}

bool ListView::onWheel(Point, int delta) {
  int step = std::max(40, (itemHeight_ + itemGap_) / 2);
  if (!scroll_.scrollBy(-delta * step / 120)) return false;
  invalidateLayout();
  return true;
}

void ListView::setHovered(bool hovered) {
  Element::setHovered(hovered);
  if (!hovered && hover_.first >= 0) {
    hover_ = {-1, -1};
    invalidate();
  }
}

void ListView::paintContent(Painter& painter) {
  ListViewAdapter* a = adapter();
  if (!a) return;
  if (groupHeight_ > 0) {
    Geometry g = measure(lastContent_);
    TTF_Font* font = Toolkit::instance().theme().font(0);
    for (size_t gi = 0; gi < a->groups().size(); ++gi) {
      Rect header{lastContent_.x, lastContent_.y + g.groupTops[gi] - scroll_.offset(), lastContent_.w,
                  groupHeight_};
      if (!header.intersects(lastContent_) || a->groups()[gi].cells.empty()) continue;
      painter.drawText(TextCodec::utf16ToUtf8(a->groups()[gi].cells[0].text), font,
                       Toolkit::instance().theme().textColour(), header, TextAlign::Start, TextAlign::Center);
    }
  }
  if (!hasBkManager()) return;
  // One look per item: selected, else under the pointer, else plain.
  for (auto& [key, element] : built_) {
    const Rect& r = element->rect();
    if (key == selected_) {
      bkManager().drawOnly(painter, r, XC_STATE_LIST_ITEM_SELECT);
    } else if (key == hover_) {
      bkManager().drawOnly(painter, r, XC_STATE_LIST_ITEM_STAY);
    } else if (bkManager().hasState(XC_STATE_LIST_ITEM_UNSELECT)) {
      bkManager().drawOnly(painter, r, XC_STATE_LIST_ITEM_UNSELECT);
    } else {
      bkManager().drawOnly(painter, r, XC_STATE_LIST_ITEM_LEAVE);
    }
  }
}

void ListView::paintOverlay(Painter& painter) {
  scroll_.paint(painter, contentRect());
}
