#include "platform/xcgui/Element.h"

#include <algorithm>

#include "platform/xcgui/Painter.h"
#include "platform/xcgui/Window.h"

Element::~Element() = default;

Element* Element::addChild(std::unique_ptr<Element> child) {
  child->parent_ = this;
  children_.push_back(std::move(child));
  invalidateLayout();
  return children_.back().get();
}

std::unique_ptr<Element> Element::detachChild(Element* child) {
  auto it = std::find_if(children_.begin(), children_.end(), [&](auto& c) { return c.get() == child; });
  if (it == children_.end()) return nullptr;
  std::unique_ptr<Element> taken = std::move(*it);
  children_.erase(it);
  taken->parent_ = nullptr;
  invalidateLayout();
  return taken;
}

Window* Element::window() {
  Element* e = this;
  while (e->parent_) e = e->parent_;
  return dynamic_cast<Window*>(e);
}

Element* Element::findById(int id) {
  // IDs are positive; elements without one hold 0 and must not answer to it.
  if (id <= 0) return nullptr;
  if (id_ == id && handle() != 0) return this;
  for (auto& child : children_)
    if (Element* found = child->findById(id)) return found;
  return nullptr;
}

void Element::retireTree() {
  for (auto& child : children_) child->retireTree();
  retireHandle();
}

void Element::setVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  invalidateLayout();
}

bool Element::shown() const {
  for (const Element* e = this; e; e = e->parent_)
    if (!e->visible_) return false;
  return true;
}

void Element::setAlpha(int alpha) {
  alpha_ = std::clamp(alpha, 0, 255);
  invalidate();
}

void Element::setWidthRule(SizeRule rule) {
  width_ = rule;
  invalidateLayout();
}

void Element::setHeightRule(SizeRule rule) {
  height_ = rule;
  invalidateLayout();
}

void Element::setPadding(Padding padding) {
  padding_ = padding;
  invalidateLayout();
}

BkManager& Element::bkManager() {
  if (!bkManager_) bkManager_ = std::make_unique<BkManager>(this);
  return *bkManager_;
}

int Element::widthIn() const {
  int outer = width_.kind == SizeKind::Fixed ? width_.pixels : rect_.w;
  return std::max(0, outer - padding_.left - padding_.right);
}

Point Element::preferredSize() {
  // A container's natural size: what its children need, plus the padding.
  int w = 0, h = 0, count = 0;
  for (auto& child : children_) {
    if (!child->visible_) continue;
    Point p = child->preferredSize();
    int cw = child->width_.kind == SizeKind::Fixed ? child->width_.pixels : p.x;
    int ch = child->height_.kind == SizeKind::Fixed ? child->height_.pixels : p.y;
    if (flow_ == Flow::Horizontal) {
      w += cw + (count ? gap_ : 0), h = std::max(h, ch);
    } else if (flow_ == Flow::Vertical) {
      h += ch + (count ? gap_ : 0), w = std::max(w, cw);
    } else {
      w = std::max(w, child->position_.x + cw), h = std::max(h, child->position_.y + ch);
    }
    ++count;
  }
  return {w + padding_.left + padding_.right, h + padding_.top + padding_.bottom};
}

void Element::layout(const Rect& rect) {
  rect_ = rect;
  arrangeChildren(contentRect());
}

int Element::resolve(SizeRule rule, int room, int preferred) const {
  switch (rule.kind) {
    case SizeKind::Fixed:
      return std::max(0, rule.pixels);
    case SizeKind::Auto:
      return std::max(0, preferred);
    case SizeKind::Fill:
      return std::max(0, room);
  }
  return 0;
}

void Element::arrangeChildren(const Rect& content) {
  if (flow_ != Flow::None) {
    arrangeStacked(content, flow_ == Flow::Horizontal);
    return;
  }
  for (auto& child : children_) {
    if (!child->visible_) continue;
    Point want = (child->width_.kind == SizeKind::Auto || child->height_.kind == SizeKind::Auto)
                     ? child->preferredSize()
                     : Point{};
    int w = resolve(child->width_, content.w - child->position_.x, want.x);
    int h = resolve(child->height_, content.h - child->position_.y, want.y);
    child->layout({content.x + child->position_.x, content.y + child->position_.y, w, h});
  }
}

void Element::arrangeStacked(const Rect& content, bool horizontal) {
  // First pass: the main-axis size of every fixed and automatic child, and how many fill.
  struct Slot {
    Element* child;
    int main;
    Point want;
  };
  std::vector<Slot> slots;
  int used = 0, fills = 0;
  for (auto& child : children_) {
    if (!child->visible_) continue;
    SizeRule rule = horizontal ? child->width_ : child->height_;
    Point want = (child->width_.kind == SizeKind::Auto || child->height_.kind == SizeKind::Auto)
                     ? child->preferredSize()
                     : Point{};
    int main = rule.kind == SizeKind::Fill ? 0 : resolve(rule, 0, horizontal ? want.x : want.y);
    if (rule.kind == SizeKind::Fill) ++fills;
    used += main;
    slots.push_back({child.get(), main, want});
  }
  if (slots.empty()) return;
  int room = (horizontal ? content.w : content.h) - used - gap_ * int(slots.size() - 1);
  int share = fills ? std::max(0, room) / fills : 0;
  int extra = fills ? std::max(0, room) - share * fills : 0;
  int cursor = horizontal ? content.x : content.y;
  for (Slot& slot : slots) {
    SizeRule mainRule = horizontal ? slot.child->width_ : slot.child->height_;
    SizeRule crossRule = horizontal ? slot.child->height_ : slot.child->width_;
    if (mainRule.kind == SizeKind::Fill) {
      slot.main = share + (extra > 0 ? 1 : 0);
      extra = std::max(0, extra - 1);
    }
    int crossRoom = horizontal ? content.h : content.w;
    int cross = resolve(crossRule, crossRoom, horizontal ? slot.want.y : slot.want.x);
    int crossStart = horizontal ? content.y : content.x;
    if (crossAlign_ == CrossAlign::Center) crossStart += (crossRoom - cross) / 2;
    if (crossAlign_ == CrossAlign::End) crossStart += crossRoom - cross;
    Rect r =
        horizontal ? Rect{cursor, crossStart, slot.main, cross} : Rect{crossStart, cursor, cross, slot.main};
    slot.child->layout(r);
    cursor += slot.main + gap_;
  }
}

void Element::paint(Painter& painter) {
  if (!visible_ || rect_.empty() || alpha_ == 0 || painter.clippedAway(rect_)) return;
  painter.pushClip(rect_);
  const bool layered = alpha_ < 255;
  if (layered) painter.pushLayer(alpha_);
  paintBackground(painter);
  paintContent(painter);
  for (auto& child : children_) child->paint(painter);
  paintOverlay(painter);
  if (layered) painter.popLayer();
  painter.popClip();
}

std::vector<int> Element::backgroundStates() const {
  if (pressed_) return {XC_STATE_BUTTON_DOWN, XC_STATE_BUTTON_STAY, XC_STATE_BUTTON_NORMAL};
  if (hovered_) return {XC_STATE_BUTTON_STAY, XC_STATE_BUTTON_NORMAL};
  return {XC_STATE_BUTTON_NORMAL};
}

void Element::paintBackground(Painter& painter) {
  if (bkManager_) bkManager_->draw(painter, rect_, backgroundStates());
}

void Element::invalidate() {
  // Painting never leaves the element's rectangle, so that is all that needs drawing again.
  if (Window* w = window()) w->markDirty(rect_);
}

void Element::invalidateLayout() {
  if (Window* w = window()) w->markDirty(true);
}

Element* Element::hitTest(Point p) {
  if (!visible_ || !rect_.contains(p)) return nullptr;
  for (auto it = children_.rbegin(); it != children_.rend(); ++it)
    if (Element* hit = (*it)->hitTest(p)) return hit;
  return takesPointer() ? this : nullptr;
}

void Element::setHovered(bool hovered) {
  if (hovered_ == hovered) return;
  hovered_ = hovered;
  if (hasBkManager()) invalidate();
}

void Element::setPressed(bool pressed) {
  if (pressed_ == pressed) return;
  pressed_ = pressed;
  if (hasBkManager()) invalidate();
}

void Element::registerHandler(int event, XC_EventProc proc) {
  if (proc) handlers_[event].push_back(proc);
}

bool Element::raise(int event, WPARAM wParam, LPARAM lParam) {
  auto it = handlers_.find(event);
  if (it == handlers_.end()) return false;
  const std::vector<XC_EventProc> procs = it->second;  // a handler may register more
  HXCGUI self = handle();
  for (XC_EventProc proc : procs) {
    BOOL handled = FALSE;
    proc(self, event, wParam, lParam, &handled);
    if (handled) return true;
    if (Object::lookup(self) != this) return false;  // destroyed by the handler
  }
  return false;
}
