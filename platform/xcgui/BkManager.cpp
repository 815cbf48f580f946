#include "platform/xcgui/BkManager.h"

#include "platform/xcgui/Element.h"
#include "platform/xcgui/Image.h"
#include "platform/xcgui/Painter.h"

int BkManager::addFill(int state, Colour colour) {
  entries_.push_back({state, false, colour, 0});
  changed();
  return int(entries_.size());
}

int BkManager::addImage(int state, HXCGUI image) {
  if (!Object::lookupAs<Image>(image)) return int(entries_.size());
  entries_.push_back({state, true, {}, image});
  changed();
  return int(entries_.size());
}

void BkManager::clear() {
  entries_.clear();
  changed();
}

void BkManager::changed() {
  if (owner_) owner_->invalidate();
}

bool BkManager::hasState(int state) const {
  for (const Entry& e : entries_)
    if (e.state == state) return true;
  return false;
}

void BkManager::draw(Painter& painter, const Rect& rect, std::span<const int> states) const {
  int chosen = -1;
  for (int state : states) {
    if (hasState(state)) {
      chosen = state;
      break;
    }
  }
  for (const Entry& e : entries_)
    if (e.state == kAnyState || e.state == chosen) drawEntry(painter, rect, e);
}

void BkManager::drawOnly(Painter& painter, const Rect& rect, int state) const {
  for (const Entry& e : entries_)
    if (e.state == state) drawEntry(painter, rect, e);
}

void BkManager::drawEntry(Painter& painter, const Rect& rect, const Entry& entry) const {
  if (!entry.isImage) {
    painter.fillRect(rect, entry.colour);
    return;
  }
  if (const Image* image = Object::lookupAs<Image>(entry.image)) painter.drawImage(*image, rect);
}
