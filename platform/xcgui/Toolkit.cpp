#include "platform/xcgui/Toolkit.h"

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>

#include <cstdio>

#include "platform/xcgui/DisplayConnection.h"
#include "platform/xcgui/Element.h"
#include "platform/xcgui/TextCodec.h"
#include "platform/xcgui/Window.h"

namespace {

void PumpHook() {
  Toolkit::instance().pump();
}

LPARAM Pack(int x, int y) {
  return LPARAM((x & 0xFFFF) | ((y & 0xFFFF) << 16));
}

int VirtualKey(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return 0x70 + (key - SDLK_F1);
  switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return VK_RETURN;
    case SDLK_BACKSPACE:
      return 0x08;
    case SDLK_TAB:
      return 0x09;
    case SDLK_ESCAPE:
      return 0x1B;
    case SDLK_SPACE:
      return 0x20;
    case SDLK_END:
      return 0x23;
    case SDLK_HOME:
      return 0x24;
    case SDLK_LEFT:
      return 0x25;
    case SDLK_UP:
      return 0x26;
    case SDLK_RIGHT:
      return 0x27;
    case SDLK_DOWN:
      return 0x28;
    case SDLK_DELETE:
      return 0x2E;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
      return VK_MENU;
    default:
      return 0;
  }
}

}  // namespace

Toolkit& Toolkit::instance() {
  // Never destroyed: windows hold handles of libwin32, which may be gone at static destruction.
  static Toolkit* toolkit = new Toolkit;
  return *toolkit;
}

bool Toolkit::isUiThread() const {
  return std::this_thread::get_id() == uiThread_;
}

bool Toolkit::init() {
  if (initialised_) return true;
  uiThread_ = std::this_thread::get_id();
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  headless_ = QbInitSdlVideo() != 0;
  if (headless_)
    std::fprintf(stderr, "xcgui: no display (%s); windows are drawn in memory only\n", SDL_GetError());
  else
    SDL_StopTextInput();
  scale_ = headless_ ? 1 : DisplayScale();
  QbSetDisplayScale(scale_);
  TTF_Init();
  IMG_Init(IMG_INIT_PNG | IMG_INIT_JPG);
  if (!theme_.font(0)) std::fprintf(stderr, "xcgui: cannot open the font %s\n", Theme::kDefaultFontFile);
  hiddenWindow_ = QbCreateWindow(&Toolkit::HiddenWindowProc, nullptr);
  {
    std::lock_guard guard(callLock_);
    accepting_ = true;
  }
  QbSetThreadPumpHook(&PumpHook);
  initialised_ = true;
  return true;
}

void Toolkit::shutdown() {
  if (!initialised_) return;
  {
    std::lock_guard guard(callLock_);
    accepting_ = false;
    for (PendingCall* call : pendingCalls_) call->done = true;
    pendingCalls_.clear();
  }
  callDone_.notify_all();
  QbSetThreadPumpHook(nullptr);
  windows_.clear();
  closedWindows_.clear();
  graveyard_.clear();
  kept_.clear();
  images_.clear();
  theme_ = Theme();
  if (hiddenWindow_) DestroyWindow(hiddenWindow_);
  hiddenWindow_ = nullptr;
  IMG_Quit();
  TTF_Quit();
  SDL_Quit();
  initialised_ = false;
}

const std::string& Toolkit::runDirectory() {
  if (runDirectory_.empty()) {
    char directory[4096] = {};
    GetModuleDirectoryA(directory, sizeof directory);
    runDirectory_ = QbNativePath(directory);
  }
  return runDirectory_;
}

std::string Toolkit::resolveResourcePath(const std::string& reference) {
  std::string path = reference;
  for (char& c : path)
    if (c == '\\') c = '/';
  if (!path.empty() && path[0] == '/') return path;
  return runDirectory() + "/" + path;
}

Window* Toolkit::addWindow(std::unique_ptr<Window> window) {
  windows_.push_back(std::move(window));
  return windows_.back().get();
}

void Toolkit::closeWindow(Window* window, bool quitAfterLast) {
  auto it = std::find_if(windows_.begin(), windows_.end(), [&](auto& w) { return w.get() == window; });
  if (it == windows_.end()) return;
  window->show(false);
  window->retireTree();
  closedWindows_.push_back(std::move(*it));
  windows_.erase(it);
  if (windows_.empty() && quitAfterLast) PostQuitMessage(0);
}

Window* Toolkit::windowForHwnd(HWND hwnd) const {
  for (auto& w : windows_)
    if (w->hwnd() == hwnd) return w.get();
  return nullptr;
}

Window* Toolkit::windowForSdlId(uint32_t id) const {
  for (auto& w : windows_)
    if (id != 0 && w->sdlId() == id) return w.get();
  return nullptr;
}

void Toolkit::bury(std::unique_ptr<Element> element) {
  if (!element) return;
  element->retireTree();
  graveyard_.push_back(std::move(element));
}

void Toolkit::requestPaint(Window* window) {
  if (!initialised_ || !window->hwnd() || !window->isShown() || window->paintPosted()) return;
  if (!windowForHwnd(window->hwnd())) return;
  window->setPaintPosted(true);
  PostMessageA(window->hwnd(), QBM_PAINT, 0, 0);
}

bool Toolkit::runOnUiThread(const std::function<void()>& work) {
  if (isUiThread() || (!initialised_ && uiThread_ == std::thread::id())) {
    work();
    return true;
  }
  PendingCall call{work};
  {
    std::lock_guard guard(callLock_);
    if (!accepting_) return false;
    pendingCalls_.push_back(&call);
  }
  PostMessageA(hiddenWindow_, QBM_CALL, 0, reinterpret_cast<LPARAM>(&call));
  std::unique_lock lock(callLock_);
  callDone_.wait(lock, [&] { return call.done; });
  return call.ran;
}

void Toolkit::finishPending(PendingCall* call, bool ran) {
  {
    std::lock_guard guard(callLock_);
    call->ran = ran;
    call->done = true;
  }
  callDone_.notify_all();
}

LRESULT Toolkit::HiddenWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != QBM_CALL) return DefWindowProcA(hwnd, message, wParam, lParam);
  Toolkit& toolkit = instance();
  auto* call = reinterpret_cast<PendingCall*>(lParam);
  {
    std::lock_guard guard(toolkit.callLock_);
    auto it = std::find(toolkit.pendingCalls_.begin(), toolkit.pendingCalls_.end(), call);
    if (it == toolkit.pendingCalls_.end()) return 0;  // already given up at shutdown
    toolkit.pendingCalls_.erase(it);
  }
  {
    DispatchScope scope;
    call->work();
  }
  toolkit.finishPending(call, true);
  return 0;
}

void Toolkit::pump() {
  if (pumping_ || !initialised_ || !isUiThread()) return;
  pumping_ = true;
  translateSdlEvents();
  if (DispatchScope::depth == 0) {
    graveyard_.clear();
    closedWindows_.clear();
  }
  pumping_ = false;
}

void Toolkit::translateSdlEvents() {
  if (headless_) return;
  SDL_Event event;
  while (SDL_PollEvent(&event)) translate(event);
}

void Toolkit::translate(const SDL_Event& event) {
  auto post = [](Window* w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (w) PostMessageA(w->hwnd(), message, wParam, lParam);
  };
  switch (event.type) {
    case SDL_WINDOWEVENT: {
      Window* w = windowForSdlId(event.window.windowID);
      if (!w) return;
      switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          post(w, WM_CLOSE, 0, 0);
          break;
        case SDL_WINDOWEVENT_LEAVE:
          post(w, WM_MOUSELEAVE, 0, 0);
          break;
        case SDL_WINDOWEVENT_MOVED:
          w->nativeMoved({event.window.data1, event.window.data2});
          break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          post(w, WM_SIZE, 0, Pack(event.window.data1, event.window.data2));
          break;
        case SDL_WINDOWEVENT_EXPOSED:
          w->markDirty(false);
          break;
        default:
          break;
      }
      break;
    }
    case SDL_MOUSEMOTION:
      lastMouse_ = {event.motion.x / scale_, event.motion.y / scale_};
      post(windowForSdlId(event.motion.windowID), WM_MOUSEMOVE, 0, Pack(lastMouse_.x, lastMouse_.y));
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (event.button.button != SDL_BUTTON_LEFT) break;
      lastMouse_ = {event.button.x / scale_, event.button.y / scale_};
      post(windowForSdlId(event.button.windowID),
           event.type == SDL_MOUSEBUTTONDOWN ? WM_LBUTTONDOWN_ : WM_LBUTTONUP_, 0,
           Pack(lastMouse_.x, lastMouse_.y));
      break;
    case SDL_MOUSEWHEEL:
      post(windowForSdlId(event.wheel.windowID), WM_MOUSEWHEEL_, WPARAM((event.wheel.y * 120) & 0xFFFF) << 16,
           Pack(lastMouse_.x, lastMouse_.y));
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      int vk = VirtualKey(event.key.keysym.sym);
      bool down = event.type == SDL_KEYDOWN;
      if (vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU) QbSetKeyState(vk, down);
      if (vk) post(windowForSdlId(event.key.windowID), down ? WM_KEYDOWN : WM_KEYUP, WPARAM(vk), 0);
      break;
    }
    case SDL_TEXTEDITING: {
      if (Window* w = windowForSdlId(event.edit.windowID)) {
        std::u16string text = TextCodec::utf8ToUtf16(event.edit.text);
        // The cursor comes in characters; the edit counts UTF-16 units.
        size_t cursor = 0;
        for (int k = 0; k < event.edit.start && cursor < text.size(); ++k)
          cursor += (text[cursor] >= 0xD800 && text[cursor] < 0xDC00) ? 2 : 1;
        w->queueComposition(std::move(text));
        post(w, QBM_COMPOSE, WPARAM(cursor), 0);
      }
      break;
    }
    case SDL_TEXTINPUT: {
      Window* w = windowForSdlId(event.text.windowID);
      for (char16_t c : TextCodec::utf8ToUtf16(event.text.text)) post(w, WM_CHAR, WPARAM(c), 0);
      break;
    }
    default:
      break;
  }
}
