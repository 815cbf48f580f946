#include "platform/xcgui/Window.h"

#include <algorithm>

#include "platform/xcgui/Edit.h"
#include "platform/xcgui/SurfacePainter.h"
#include "platform/xcgui/Toolkit.h"

namespace {
Point Unpack(LPARAM l) {
  return {int16_t(l & 0xFFFF), int16_t((l >> 16) & 0xFFFF)};
}
}  // namespace

Window::Window(WindowOptions options)
    : background_(options.background),
      width_(std::max(1, options.screenRect.w)),
      height_(std::max(1, options.screenRect.h)),
      captionHeight_(options.captionHeight) {
  Toolkit& toolkit = Toolkit::instance();
  scale_ = toolkit.headless() ? 1 : toolkit.scale();
  const Rect& r = options.screenRect;
  auto device = [this](int v) { return v == int(SDL_WINDOWPOS_CENTERED) ? v : v * scale_; };
  options.captionHeight *= scale_;
  native_ =
      NativeWindow::create(toolkit.headless(), options.title,
                           {device(r.x), device(r.y), width_ * scale_, height_ * scale_}, options, this);
  nativeMoved(native_->position());
  if (toolkit.headless()) {
    screenPos_ = {r.x == int(SDL_WINDOWPOS_CENTERED) ? 0 : r.x, r.y == int(SDL_WINDOWPOS_CENTERED) ? 0 : r.y};
  }
  makeFrame();
  hwnd_ = QbCreateWindow(&Window::CALLBACK_WindowProc, nullptr);
  reportScreenRect();
  layout(whole());
}

Window::~Window() {
  retireTree();
  if (hwnd_) DestroyWindow(hwnd_);
}

void Window::reportScreenRect() {
  RECT r{screenPos_.x, screenPos_.y, screenPos_.x + width_, screenPos_.y + height_};
  if (hwnd_) QbSetWindowRect(hwnd_, &r);
}

void Window::makeFrame() {
  frame_.reset();  // made again, at the new size, only if the window system has no surface to draw into
  markDirty(false);
}

SDL_Surface* Window::drawingSurface() {
  SDL_Surface* target = native_->surface();
  if (!target) {
    if (!frame_)
      frame_.reset(
          SDL_CreateRGBSurfaceWithFormat(0, width_ * scale_, height_ * scale_, 32, SDL_PIXELFORMAT_ARGB8888));
    target = frame_.get();
  }
  // A surface made anew (after a resize, or the first) holds nothing of what was drawn.
  if (target && (target != drawnInto_ || target->w != drawnSize_.x || target->h != drawnSize_.y)) {
    drawnInto_ = target, drawnSize_ = {target->w, target->h};
    dirtyAreas_.assign(1, whole());
  }
  return target;
}

void Window::show(bool show) {
  shown_ = show;
  if (show) render();
  native_->show(show);
  if (show) {
    markDirty(false);  // a newly mapped window has nothing on screen yet
    // A window placed by the program keeps that place: right after mapping, the native side can
    // still report where the window was created.
    if (placed_)
      native_->move(screenPos_);
    else
      nativeMoved(native_->position());
    render();
  }
}

void Window::move(Point topLeft) {
  placed_ = true;
  screenPos_ = topLeft;
  native_->move({topLeft.x * scale_, topLeft.y * scale_});
  reportScreenRect();
}

void Window::setMinimumSize(int width, int height) {
  native_->setMinimumSize(width * scale_, height * scale_);
}
void Window::minimize() {
  native_->minimize();
}
void Window::toggleMaximized() {
  native_->toggleMaximized();
}

void Window::setTransparentType(int type) {
  transparentType_ = type;
  markDirty(false);
}

void Window::setTransparentAlpha(int alpha) {
  windowAlpha_ = std::clamp(alpha, 0, 255);
  native_->setOpacity(windowAlpha_);
}

bool Window::inCaption(Point p) {
  if (p.y >= captionHeight_) return false;
  // Controls in the caption (system buttons, the search box) keep their clicks.
  Element* hit = hitTest(p);
  return !hit || hit == this ||
         (hit->objectType() != XC_BUTTON && hit->objectType() != XC_EDIT && hit->objectType() != XC_TREE &&
          hit->objectType() != XC_LIST_VIEW);
}

void Window::adjustLayout() {
  layoutDirty_ = false;
  layout(whole());
  markDirty(false);
  if (draining_) return;
  draining_ = true;
  while (!afterLayout_.empty()) {
    std::function<void()> event = std::move(afterLayout_.front());
    afterLayout_.pop_front();
    event();
  }
  draining_ = false;
}

void Window::markDirty(bool layout) {
  if (layout) layoutDirty_ = true;
  dirtyAreas_.assign(1, whole());
  if (!paintPosted_) Toolkit::instance().requestPaint(this);
}

void Window::markDirty(const Rect& area) {
  Rect part = area.intersected(whole());
  if (part.empty()) return;
  // A few separate areas (the clock and a hovered card) stay apart; overlapping ones merge.
  constexpr size_t kMaxAreas = 8;
  for (auto it = dirtyAreas_.begin(); it != dirtyAreas_.end();) {
    if (it->intersects(part) || dirtyAreas_.size() >= kMaxAreas) {
      part = part.united(*it);
      it = dirtyAreas_.erase(it);
    } else {
      ++it;
    }
  }
  dirtyAreas_.push_back(part);
  if (!paintPosted_) Toolkit::instance().requestPaint(this);
}

SDL_Surface* Window::render() {
  if (layoutDirty_) adjustLayout();
  SDL_Surface* target = drawingSurface();
  if (!target) return nullptr;
  std::vector<Rect> areas = std::move(dirtyAreas_);
  dirtyAreas_.clear();
  lastPainted_ = {};
  std::vector<SDL_Rect> deviceAreas;
  for (const Rect& area : areas) {
    SurfacePainter painter(target, &Toolkit::instance().theme(), scale_);
    painter.pushClip(area);
    painter.clear(background_);
    paint(painter);
    lastPainted_ = lastPainted_.empty() ? area : lastPainted_.united(area);
    deviceAreas.push_back({area.x * scale_, area.y * scale_, area.w * scale_, area.h * scale_});
  }
  if (shown_ && !deviceAreas.empty()) native_->present(deviceAreas);
  return target;
}

void Window::registerMessageHandler(int message, XC_EventProc proc) {
  if (proc) messageHandlers_[message].push_back(proc);
}

bool Window::raiseMessage(int message, WPARAM wParam, LPARAM lParam) {
  auto it = messageHandlers_.find(message);
  if (it == messageHandlers_.end()) return false;
  const std::vector<XC_EventProc> procs = it->second;
  HXCGUI self = handle();
  for (XC_EventProc proc : procs) {
    BOOL handled = FALSE;
    proc(self, message, wParam, lParam, &handled);
    if (handled) return true;
    if (Object::lookup(self) != this) return true;
  }
  return false;
}

std::vector<HXCGUI> Window::chainOf(Element* target) const {
  std::vector<HXCGUI> chain;
  for (Element* e = target; e; e = e->parent()) chain.push_back(e->handle());
  std::reverse(chain.begin(), chain.end());
  return chain;
}

void Window::updateHover(Element* target) {
  std::vector<HXCGUI> next = target ? chainOf(target) : std::vector<HXCGUI>{};
  std::vector<HXCGUI> previous = hoverChain_;
  hoverChain_ = next;
  // Leaves first, deepest first; then enters, outermost first.
  for (auto it = previous.rbegin(); it != previous.rend(); ++it) {
    if (std::find(next.begin(), next.end(), *it) != next.end()) continue;
    if (auto* e = Object::lookupAs<Element>(*it)) {
      e->setHovered(false);
      e->raise(XE_MOUSELEAVE, 0, 0);
    }
  }
  for (HXCGUI h : next) {
    if (std::find(previous.begin(), previous.end(), h) != previous.end()) continue;
    if (auto* e = Object::lookupAs<Element>(h)) {
      e->setHovered(true);
      e->raise(XE_MOUSESTAY, 0, 0);
    }
  }
}

void Window::mouseMove(Point p) {
  if (auto* pressed = Object::lookupAs<Element>(pressed_)) pressed->onMouseMove(p);
  Element* target = hitTest(p);
  for (Element* e = target; e && e != Object::lookupAs<Element>(pressed_); e = e->parent()) e->onMouseMove(p);
  updateHover(target);
}

void Window::mouseDown(Point p) {
  Element* target = hitTest(p);
  Element* focusable = target;
  while (focusable && !focusable->takesFocus()) focusable = focusable->parent();
  setFocus(focusable);
  pressed_ = 0;
  Element* taker = nullptr;
  for (Element* e = target; e; e = e->parent()) {
    HXCGUI h = e->handle();
    if (e->onMouseDown(p)) {
      if (Object::lookup(h) == e) pressed_ = h, taker = e;
      break;
    }
  }
  // A press on a control inside a list item also selects that item, before the control's click.
  if (taker != nullptr) {
    for (Element* e = taker->parent(); e; e = e->parent()) e->onDescendantPressed(p);
  }
}

void Window::mouseUp(Point p) {
  Element* target = hitTest(p);
  if (target) {
    POINT local{p.x - target->rect().x, p.y - target->rect().y};
    target->raise(XE_LBUTTONUP, 0, reinterpret_cast<LPARAM>(&local));
  }
  HXCGUI pressed = pressed_;
  pressed_ = 0;
  if (auto* e = Object::lookupAs<Element>(pressed)) {
    bool inside = e->shown() && e->rect().contains(p) && hitTest(p) != nullptr;
    // Inside means the release happened over the pressed element or one of its children.
    Element* over = hitTest(p);
    while (over && over != e) over = over->parent();
    e->onMouseUp(p, inside && over == e);
  }
}

void Window::wheel(Point p, int delta) {
  for (Element* e = hitTest(p); e; e = e->parent())
    if (e->onWheel(p, delta)) return;
}

void Window::mouseLeftWindow() {
  updateHover(nullptr);
  raiseMessage(XWM_MOUSELEAVE, 0, 0);
}

Element* Window::focused() const {
  return Object::lookupAs<Element>(focused_);
}

void Window::setFocus(Element* element) {
  Element* old = focused();
  if (old == element) return;
  focused_ = element ? element->handle() : 0;
  if (old) old->onFocusChanged(false);
  if (element) element->onFocusChanged(true);
}

void Window::keyDown(int virtualKey) {
  if (Element* e = focused()) e->onKeyDown(virtualKey);
}

void Window::character(char16_t c) {
  if (Element* e = focused()) e->onChar(c);
}

void Window::composition(int cursor) {
  if (compositions_.empty()) return;
  std::u16string text = std::move(compositions_.front());
  compositions_.pop_front();
  if (Element* e = focused()) e->onComposition(text, cursor);
}

void Window::requestClose() {
  if (raiseMessage(XWM_CLOSE, 0, 0)) return;
  Toolkit::instance().closeWindow(this, true);
}

void Window::nativeMoved(Point topLeft) {
  screenPos_ = {topLeft.x / scale_, topLeft.y / scale_};
  reportScreenRect();
}

void Window::nativeResized(int width, int height) {
  width = std::max(1, width / scale_), height = std::max(1, height / scale_);
  if (width == width_ && height == height_) return;
  width_ = width, height_ = height;
  makeFrame();
  reportScreenRect();
  adjustLayout();
  raiseMessage(XWM_SIZE, 0, LPARAM((width & 0xFFFF) | (height << 16)));
}

LRESULT Window::CALLBACK_WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* window = Toolkit::instance().windowForHwnd(hwnd);
  if (!window) return DefWindowProcA(hwnd, message, wParam, lParam);
  DispatchScope scope;
  switch (message) {
    case WM_SIZE:
      window->nativeResized(int(lParam & 0xFFFF), int((lParam >> 16) & 0xFFFF));
      return 0;
    case QBM_PAINT:
      window->paintPosted_ = false;
      if (window->needsPaint()) window->render();
      return 0;
    case WM_MOUSEMOVE:
      window->mouseMove(Unpack(lParam));
      return 0;
    case WM_LBUTTONDOWN_:
      window->mouseDown(Unpack(lParam));
      return 0;
    case WM_LBUTTONUP_:
      window->mouseUp(Unpack(lParam));
      return 0;
    case WM_MOUSEWHEEL_:
      window->wheel(Unpack(lParam), int16_t((wParam >> 16) & 0xFFFF));
      return 0;
    case WM_MOUSELEAVE:
      window->mouseLeftWindow();
      return 0;
    case WM_KEYDOWN:
      window->keyDown(int(wParam));
      return 0;
    case WM_KEYUP:
      return 0;
    case WM_CHAR:
      window->character(char16_t(wParam));
      return 0;
    case QBM_COMPOSE:
      window->composition(int(wParam));
      return 0;
    case WM_CLOSE:
      window->requestClose();
      return 0;
    default:
      return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}
