// A node of the element tree: position and size rules, padding, visibility, opacity, background,
// event handlers, children. Rectangles are in window pixels and are recomputed by layout().
//
// Children are laid out by the parent's flow: None places each child at its own x, y inside the
// parent's padded box; Horizontal and Vertical stack visible children with `gap` between them,
// and Fill children share what fixed and automatic ones leave.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/xcgui/BkManager.h"
#include "platform/xcgui/Geometry.h"
#include "platform/xcgui/Object.h"

class Painter;
class Window;

enum class SizeKind { Fixed = 0, Fill = 1, Auto = 2 };
struct SizeRule {
  SizeKind kind = SizeKind::Fixed;
  int pixels = 0;
};
enum class Flow { None, Horizontal, Vertical };
enum class CrossAlign { Start, Center, End };

struct Padding {
  int left = 0, top = 0, right = 0, bottom = 0;
};

class Element : public Object {
 public:
  Element() = default;
  ~Element() override;
  int objectType() const override { return XC_ELE; }

  // ---- tree ----
  Element* parent() const { return parent_; }
  Element* addChild(std::unique_ptr<Element> child);
  // Takes the child out of the tree; the caller decides when it dies.
  std::unique_ptr<Element> detachChild(Element* child);
  const std::vector<std::unique_ptr<Element>>& children() const { return children_; }
  Window* window();
  // The first element with this ID in the subtree. Item templates of lists and trees have IDs
  // of their own and are looked up through their view instead.
  virtual Element* findById(int id);
  // Drops the handles of the whole subtree (see Object::retireHandle).
  void retireTree();

  // ---- properties ----
  int id() const { return id_; }
  void setId(int id) { id_ = id; }
  const Rect& rect() const { return rect_; }
  bool visible() const { return visible_; }
  void setVisible(bool visible);
  // Visible and every ancestor visible.
  bool shown() const;
  int alpha() const { return alpha_; }
  void setAlpha(int alpha);
  void setPosition(Point p) { position_ = p; }
  Point position() const { return position_; }
  SizeRule widthRule() const { return width_; }
  SizeRule heightRule() const { return height_; }
  void setWidthRule(SizeRule rule);
  void setHeightRule(SizeRule rule);
  const Padding& padding() const { return padding_; }
  void setPadding(Padding padding);
  void setFlow(Flow flow) { flow_ = flow; }
  void setGap(int gap) { gap_ = gap; }
  void setCrossAlign(CrossAlign align) { crossAlign_ = align; }
  void setBkTransparent(bool transparent) {
    bkTransparent_ = transparent;
    invalidate();
  }
  bool bkTransparent() const { return bkTransparent_; }
  BkManager& bkManager();
  bool hasBkManager() const { return bkManager_ != nullptr; }
  // The adapter column this element shows when it is part of an item template ("" for none).
  const std::string& bindColumn() const { return bindColumn_; }
  void setBindColumn(std::string column) { bindColumn_ = std::move(column); }

  // Width inside the padding: the fixed width when the element has one, else the laid-out one.
  int widthIn() const;

  // ---- layout ----
  virtual Point preferredSize();
  virtual void layout(const Rect& rect);
  Rect contentRect() const {
    return rect_.inset(padding_.left, padding_.top, padding_.right, padding_.bottom);
  }

  // ---- painting ----
  void paint(Painter& painter);
  // Asks for the window to be drawn again.
  void invalidate();
  // Asks for the window to be laid out (and drawn) again.
  void invalidateLayout();

  // ---- input ----
  // The deepest shown element under the point that takes the pointer, or nullptr.
  virtual Element* hitTest(Point p);
  virtual bool takesPointer() const { return true; }
  virtual bool takesFocus() const { return false; }
  bool hovered() const { return hovered_; }
  virtual void setHovered(bool hovered);
  bool pressed() const { return pressed_; }
  // Called from the deepest element under the pointer up to the window until one returns true.
  virtual bool onMouseDown(Point p) { return false; }
  // A press taken by a descendant (a button on a list item, say) still tells its ancestors.
  virtual void onDescendantPressed(Point p) {}
  // Called on the element that took the mouse-down.
  virtual void onMouseUp(Point p, bool inside) {}
  virtual void onMouseMove(Point p) {}
  virtual bool onWheel(Point p, int delta) { return false; }
  virtual void onKeyDown(int virtualKey) {}
  virtual void onChar(char16_t c) {}
  // The input method's pre-edit text (not yet typed) and its cursor; empty when it ends.
  virtual void onComposition(const std::u16string& text, int cursor) {}
  virtual void onFocusChanged(bool focused) {}
  void setPressed(bool pressed);

  // ---- events ----
  void registerHandler(int event, XC_EventProc proc);
  // Runs the handlers of `event` in registration order until one sets *handled. True when one
  // did. Stops early when a handler destroys the element.
  bool raise(int event, WPARAM wParam, LPARAM lParam);

 protected:
  virtual void paintBackground(Painter& painter);
  virtual void paintContent(Painter& painter) {}
  virtual void paintOverlay(Painter& painter) {}
  // The background states to try, most specific first.
  virtual std::vector<int> backgroundStates() const;
  virtual void arrangeChildren(const Rect& content);
  std::vector<std::unique_ptr<Element>> children_;

 private:
  int resolve(SizeRule rule, int room, int preferred) const;
  void arrangeStacked(const Rect& content, bool horizontal);

  Element* parent_ = nullptr;
  int id_ = 0;
  Rect rect_;
  Point position_;
  SizeRule width_{SizeKind::Fill, 0};
  SizeRule height_{SizeKind::Fill, 0};
  Padding padding_;
  Flow flow_ = Flow::None;
  CrossAlign crossAlign_ = CrossAlign::Start;
  int gap_ = 0;
  bool visible_ = true;
  int alpha_ = 255;
  bool bkTransparent_ = false;
  bool hovered_ = false;
  bool pressed_ = false;
  std::unique_ptr<BkManager> bkManager_;
  std::string bindColumn_;
  std::map<int, std::vector<XC_EventProc>> handlers_;
};
