#include "platform/xcgui/TestHooks.h"

#include <SDL_image.h>

#include "platform/xcgui/Button.h"
#include "platform/xcgui/ListView.h"
#include "platform/xcgui/ListViewAdapter.h"
#include "platform/xcgui/Toolkit.h"
#include "platform/xcgui/Window.h"

namespace {

LPARAM Pack(int x, int y) {
  return LPARAM((x & 0xFFFF) | ((y & 0xFFFF) << 16));
}

void Post(HWINDOW window, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = XWnd_GetHWND(window);
  if (hwnd) PostMessageA(hwnd, message, wParam, lParam);
}

}  // namespace

extern "C" {

BOOL XTest_RenderToPng(HWINDOW window, const char* path) {
  return OnUiThread([&] {
    auto* w = Object::lookupAs<Window>(window);
    SDL_Surface* frame = w ? w->render() : nullptr;
    return frame && IMG_SavePNG(frame, path) == 0 ? TRUE : FALSE;
  });
}

uint32_t XTest_ReadPixel(HWINDOW window, int x, int y) {
  return OnUiThread([&]() -> uint32_t {
    auto* w = Object::lookupAs<Window>(window);
    if (!w) return 0;
    SDL_Surface* frame = w->render();
    x *= w->scale(), y *= w->scale();
    if (!frame || x < 0 || y < 0 || x >= frame->w || y >= frame->h) return 0;
    auto* row = static_cast<const uint8_t*>(frame->pixels) + y * frame->pitch;
    uint8_t r, g, b, a;
    SDL_GetRGBA(reinterpret_cast<const uint32_t*>(row)[x], frame->format, &r, &g, &b, &a);  // 32-bit frames
    return uint32_t(a) << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | b;
  });
}

void XTest_MouseMove(HWINDOW window, int x, int y) {
  Post(window, WM_MOUSEMOVE, 0, Pack(x, y));
}
void XTest_MouseDown(HWINDOW window, int x, int y) {
  Post(window, WM_LBUTTONDOWN_, 0, Pack(x, y));
}
void XTest_MouseUp(HWINDOW window, int x, int y) {
  Post(window, WM_LBUTTONUP_, 0, Pack(x, y));
}

void XTest_Click(HWINDOW window, int x, int y) {
  XTest_MouseMove(window, x, y);
  XTest_MouseDown(window, x, y);
  XTest_MouseUp(window, x, y);
}

void XTest_Wheel(HWINDOW window, int x, int y, int notches) {
  Post(window, WM_MOUSEWHEEL_, WPARAM((notches * 120) & 0xFFFF) << 16, Pack(x, y));
}

void XTest_MouseLeave(HWINDOW window) {
  Post(window, WM_MOUSELEAVE, 0, 0);
}
void XTest_KeyDown(HWINDOW window, int virtualKey) {
  Post(window, WM_KEYDOWN, WPARAM(virtualKey), 0);
}

void XTest_TypeText(HWINDOW window, const char16_t* text) {
  for (; text && *text; ++text) Post(window, WM_CHAR, WPARAM(*text), 0);
}

void XTest_Compose(HWINDOW window, const char16_t* text, int cursor) {
  OnUiThread([&] {
    if (auto* w = Object::lookupAs<Window>(window)) w->queueComposition(text ? std::u16string(text) : u"");
    return TRUE;
  });
  Post(window, QBM_COMPOSE, WPARAM(cursor), 0);
}

void XTest_Close(HWINDOW window) {
  Post(window, WM_CLOSE, 0, 0);
}

BOOL XTest_Pump(int rounds) {
  MSG message;
  for (int i = 0; i < rounds; ++i) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
      if (message.message == WM_QUIT) return FALSE;
      PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return TRUE;
}

int XTest_ListBuiltCount(HELE list) {
  return OnUiThread([&] {
    auto* l = Object::lookupAs<ListView>(list);
    return l ? l->builtCount() : -1;
  });
}

void XTest_ListScrollTo(HELE list, int offset) {
  OnUiThread([&] {
    if (auto* l = Object::lookupAs<ListView>(list)) {
      l->scrollTo(offset);
      if (Window* w = l->window()) w->adjustLayout();
    }
  });
}

int XTest_ListScrollOffset(HELE list) {
  return OnUiThread([&] {
    auto* l = Object::lookupAs<ListView>(list);
    return l ? l->scrollOffset() : -1;
  });
}

BOOL XTest_GetRect(HXCGUI element, RECT* rect) {
  return OnUiThread([&] {
    auto* e = Object::lookupAs<Element>(element);
    if (!e || !rect) return FALSE;
    *rect = RECT{e->rect().x, e->rect().y, e->rect().right(), e->rect().bottom()};
    return TRUE;
  });
}

BOOL XTest_IsWindowShown(HWINDOW window) {
  return OnUiThread([&] {
    auto* w = Object::lookupAs<Window>(window);
    return w && w->isShown() ? TRUE : FALSE;
  });
}

int XTest_WindowAlpha(HWINDOW window) {
  return OnUiThread([&] {
    auto* w = Object::lookupAs<Window>(window);
    return w ? w->transparentAlpha() : -1;
  });
}

BOOL XTest_PaintPending(HWINDOW window, RECT* painted) {
  return OnUiThread([&] {
    auto* w = Object::lookupAs<Window>(window);
    if (!w || !painted) return FALSE;
    w->render();
    const Rect& r = w->lastPainted();
    *painted = RECT{r.x, r.y, r.right(), r.bottom()};
    return TRUE;
  });
}

HELE XTest_Focused(HWINDOW window) {
  return OnUiThread([&]() -> HELE {
    auto* w = Object::lookupAs<Window>(window);
    Element* e = w ? w->focused() : nullptr;
    return e ? e->handle() : 0;
  });
}

}  // extern "C"

BOOL XTest_IsElementShown(HELE element) {
  return OnUiThread([&] {
    auto* e = Object::lookupAs<Element>(element);
    return e && e->shown() ? TRUE : FALSE;
  });
}

int XTest_ListItemCount(HELE list) {
  return OnUiThread([&] {
    auto* l = Object::lookupAs<ListView>(list);
    return l && l->adapter() ? l->adapter()->itemCount() : -1;
  });
}

BOOL XTest_ButtonChecked(HELE button) {
  return OnUiThread([&] {
    auto* b = Object::lookupAs<Button>(button);
    return b && b->checked() ? TRUE : FALSE;
  });
}

void XTest_SetRunDirectory(const char* directory) {
  OnUiThread([&] { Toolkit::instance().setRunDirectory(directory ? directory : ""); });
}
