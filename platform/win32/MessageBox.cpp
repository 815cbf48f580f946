// The message box: a real window drawn with the CJK font, one OK button, modal to the calling
// thread. While it is up, the thread's posted messages are still dispatched (so calls handed to
// this thread complete), but its other windows see no input.
#include <SDL2/SDL.h>
#include <SDL2/SDL_ttf.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/win32/MessageIcon.h"
#include "platform/win32/ThreadQueue.h"

namespace {

constexpr const char* kFontPaths[] = {
    "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc",
    "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc",
};
constexpr int kWidth = 480;
constexpr int kPadding = 24;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 32;

struct SdlDeleter {
  void operator()(SDL_Window* w) const { SDL_DestroyWindow(w); }
  void operator()(SDL_Renderer* r) const { SDL_DestroyRenderer(r); }
  void operator()(SDL_Texture* t) const { SDL_DestroyTexture(t); }
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
  void operator()(TTF_Font* f) const { TTF_CloseFont(f); }
};
template <typename T>
using SdlPtr = std::unique_ptr<T, SdlDeleter>;

std::string AnsiToUtf8(const char* text) {
  if (text == nullptr) return std::string();
  int units = MultiByteToWideChar(CP_GBK, 0, text, -1, nullptr, 0);
  std::u16string wide(units, u'\0');
  MultiByteToWideChar(CP_GBK, 0, text, -1, wide.data(), units);
  int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(bytes, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), -1, utf8.data(), bytes, nullptr, nullptr);
  if (!utf8.empty() && utf8.back() == '\0') utf8.pop_back();
  return utf8;
}

TTF_Font* OpenFont(int size) {
  for (const char* path : kFontPaths) {
    if (TTF_Font* font = TTF_OpenFont(path, size)) return font;
  }
  return nullptr;
}

// Keeps SDL video and SDL_ttf initialised for the box's lifetime.
class SdlSession {
 public:
  SdlSession() : ok_(QbInitSdlVideo() == 0) {
    if (ok_ && TTF_Init() != 0) {
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
      ok_ = false;
    }
  }
  ~SdlSession() {
    if (!ok_) return;
    TTF_Quit();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
  bool ok() const { return ok_; }

 private:
  bool ok_;
};

// Suspends the thread's pump hook so nothing else on the thread takes input while the box is up.
class PumpHookPause {
 public:
  explicit PumpHookPause(QbPumpHook hook) : hook_(hook) { QbSetThreadPumpHook(nullptr); }
  ~PumpHookPause() { QbSetThreadPumpHook(hook_); }

 private:
  QbPumpHook hook_;
};

// Over the middle of the owner window, as the user's eyes are there; centred on the screen when
// there is no owner. Kept on the owner's display.
SDL_Point BoxPosition(HWND owner, int width, int height) {
  RECT r{};
  if (owner == nullptr || !GetWindowRect(owner, &r) || r.right <= r.left)
    return {int(SDL_WINDOWPOS_CENTERED), int(SDL_WINDOWPOS_CENTERED)};
  const int scale = QbDisplayScale();  // window rectangles are in the toolkit's window pixels
  r = RECT{r.left * scale, r.top * scale, r.right * scale, r.bottom * scale};
  SDL_Point p{r.left + (r.right - r.left - width) / 2, r.top + (r.bottom - r.top - height) / 2};
  SDL_Rect screen{};
  SDL_Point middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  int display = std::max(0, SDL_GetPointDisplayIndex(&middle));
  if (SDL_GetDisplayBounds(display, &screen) == 0) {
    p.x = std::clamp(p.x, screen.x, std::max(screen.x, screen.x + screen.w - width));
    p.y = std::clamp(p.y, screen.y, std::max(screen.y, screen.y + screen.h - height));
  }
  return p;
}

class MessageBoxWindow {
 public:
  MessageBoxWindow(const std::string& caption, const std::string& text, UINT type, HWND owner)
      : caption_(caption), text_(text), type_(type), owner_(owner) {}

  bool open() {
    font_.reset(OpenFont(16));
    titleFont_.reset(OpenFont(18));
    if (!font_ || !titleFont_) return false;
    TTF_SetFontStyle(titleFont_.get(), TTF_STYLE_BOLD);
    SDL_Color ink{40, 40, 48, 255};
    body_.reset(TTF_RenderUTF8_Blended_Wrapped(font_.get(), text_.c_str(), ink, kWidth - 2 * kPadding - 44));
    title_.reset(TTF_RenderUTF8_Blended(titleFont_.get(), caption_.empty() ? " " : caption_.c_str(), ink));
    if (!body_ || !title_) return false;
    icon_.reset(MessageIcon::render(type_, titleFont_.get()));
    height_ =
        kPadding + title_->h + 14 + std::max(body_->h, MessageIcon::kSize) + 24 + kButtonHeight + kPadding;
    SDL_Point at = BoxPosition(owner_, kWidth, height_);
    window_.reset(SDL_CreateWindow(caption_.c_str(), at.x, at.y, kWidth, height_,
                                   SDL_WINDOW_SHOWN | SDL_WINDOW_ALWAYS_ON_TOP));
    if (!window_) return false;
    renderer_.reset(SDL_CreateRenderer(window_.get(), -1, SDL_RENDERER_SOFTWARE));
    if (!renderer_) return false;
    SDL_RaiseWindow(window_.get());
    return true;
  }

  void runUntilDismissed() {
    draw();
    bool done = false;
    while (!done) {
      SDL_Event event;
      while (SDL_WaitEventTimeout(&event, 10)) {
        done = done || dismisses(event);
        if (event.type == SDL_WINDOWEVENT && event.window.windowID == SDL_GetWindowID(window_.get())) draw();
        if (!SDL_PollEvent(nullptr)) break;
      }
      MSG msg;
      while (!done && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {  // leave it for the thread's own loop, as the box closes
          PostQuitMessage(static_cast<int>(msg.wParam));
          done = true;
          break;
        }
        DispatchMessageA(&msg);
      }
    }
  }

 private:
  SDL_Rect buttonRect() const {
    return SDL_Rect{kWidth - kPadding - kButtonWidth, height_ - kPadding - kButtonHeight, kButtonWidth,
                    kButtonHeight};
  }

  bool dismisses(const SDL_Event& event) const {
    Uint32 id = SDL_GetWindowID(window_.get());
    switch (event.type) {
      case SDL_QUIT:
        return true;
      case SDL_WINDOWEVENT:
        return event.window.windowID == id && event.window.event == SDL_WINDOWEVENT_CLOSE;
      case SDL_KEYDOWN: {
        SDL_Keycode key = event.key.keysym.sym;
        return event.key.windowID == id &&
               (key == SDLK_RETURN || key == SDLK_KP_ENTER || key == SDLK_ESCAPE || key == SDLK_SPACE);
      }
      case SDL_MOUSEBUTTONUP: {
        SDL_Point p{event.button.x, event.button.y};
        SDL_Rect button = buttonRect();
        return event.button.windowID == id && SDL_PointInRect(&p, &button);
      }
      default:
        return false;
    }
  }

  void blit(SDL_Surface* surface, int x, int y) {
    SdlPtr<SDL_Texture> texture(SDL_CreateTextureFromSurface(renderer_.get(), surface));
    SDL_Rect target{x, y, surface->w, surface->h};
    SDL_RenderCopy(renderer_.get(), texture.get(), nullptr, &target);
  }

  void draw() {
    SDL_Renderer* r = renderer_.get();
    SDL_SetRenderDrawColor(r, 250, 250, 252, 255);
    SDL_RenderClear(r);
    SDL_SetRenderDrawColor(r, 92, 72, 190, 255);  // accent bar in the launcher's purple
    SDL_Rect bar{0, 0, kWidth, 4};
    SDL_RenderFillRect(r, &bar);
    if (icon_) blit(icon_.get(), kPadding, kPadding + title_->h + 14);
    blit(title_.get(), kPadding, kPadding);
    blit(body_.get(), kPadding + 44, kPadding + title_->h + 14);
    SDL_Rect button = buttonRect();
    SDL_SetRenderDrawColor(r, 92, 72, 190, 255);
    SDL_RenderFillRect(r, &button);
    SdlPtr<SDL_Surface> ok(TTF_RenderUTF8_Blended(font_.get(), "确定", SDL_Color{255, 255, 255, 255}));
    if (ok) blit(ok.get(), button.x + (button.w - ok->w) / 2, button.y + (button.h - ok->h) / 2);
    SDL_RenderPresent(r);
  }

  std::string caption_;
  std::string text_;
  UINT type_;
  HWND owner_;
  int height_ = 0;
  SdlPtr<TTF_Font> font_, titleFont_;
  SdlPtr<SDL_Surface> body_, title_, icon_;
  SdlPtr<SDL_Window> window_;
  SdlPtr<SDL_Renderer> renderer_;
};

}  // namespace

extern "C" int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
  std::string utf8Caption = AnsiToUtf8(caption);
  std::string utf8Text = AnsiToUtf8(text);
  SdlSession sdl;
  if (sdl.ok()) {
    PumpHookPause pause(ThreadQueue::current().pumpHook());
    MessageBoxWindow box(utf8Caption, utf8Text, type, owner);
    if (box.open()) {
      box.runUntilDismissed();
      return IDOK;
    }
  }
  // No display to show it on: the text still reaches whoever runs the program.
  std::fprintf(stderr, "%s %s\n", utf8Caption.c_str(), utf8Text.c_str());
  return IDOK;
}
