#include "catalogue/KeyBinding.h"

#include <string>

namespace {

constexpr const char* kPreviousProcedure = "Tessel_HotKeyProc";

std::string PropertyName(int key, const char* suffix) { return "HotKey" + std::to_string(key) + suffix; }

HANDLE AsHandle(intptr_t value) { return reinterpret_cast<HANDLE>(value); }
intptr_t AsValue(HANDLE handle) { return reinterpret_cast<intptr_t>(handle); }

struct Binding {
  int modifiers = 0;
  intptr_t callback = 0;
  int trigger = 0;
  int passCharacter = 0;
};

Binding ReadBinding(HWND window, int key) {
  return Binding{static_cast<int>(AsValue(GetPropA(window, PropertyName(key, "_Mod").c_str()))),
                 AsValue(GetPropA(window, PropertyName(key, "_Proc").c_str())),
                 static_cast<int>(AsValue(GetPropA(window, PropertyName(key, "_Type").c_str()))),
                 static_cast<int>(AsValue(GetPropA(window, PropertyName(key, "_Char").c_str())))};
}

// The window's own binding, else its root window's; callback 0 means there is none.
Binding LookupBinding(HWND window, int key) {
  Binding binding = ReadBinding(window, key);
  HWND root = GetAncestor(window, GA_ROOT);
  if (binding.callback == 0 && root != nullptr && root != window) binding = ReadBinding(root, key);
  return binding;
}

// Only the first modifier present, in the order Ctrl, Shift, Alt, is checked.
bool ModifiersHeld(int modifiers) {
  if (modifiers == 0) return true;
  if (modifiers & 2) return GetAsyncKeyState(VK_CONTROL) != 0;
  if (modifiers & 4) return GetAsyncKeyState(VK_SHIFT) != 0;
  if (modifiers & 1) return GetAsyncKeyState(VK_MENU) != 0;
  return false;
}

bool Matches(const Binding& binding) { return binding.callback != 0 && ModifiersHeld(binding.modifiers); }

void InstallFilter(HWND window) {
  if (GetPropA(window, kPreviousProcedure) == nullptr) {
    LONG_PTR previous = SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&KeyFilterProc));
    SetPropA(window, kPreviousProcedure, AsHandle(previous));
  }
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    InstallFilter(child);
  }
}

LRESULT PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, kPreviousProcedure));
  if (previous != nullptr) return CallWindowProcA(previous, window, message, wParam, lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

// A key stroke's binding fires through a posted message 0, after the key message is handled.
LRESULT OnKey(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int firingTrigger) {
  Binding binding = LookupBinding(window, static_cast<int>(wParam));
  if (!Matches(binding)) return PassOn(window, message, wParam, lParam);
  if (binding.trigger == firingTrigger) PostMessageA(window, WM_NULL, 1, static_cast<LPARAM>(binding.callback));
  return 0;
}

// The character of a bound key stroke is swallowed when the binding says so; every other
// character passes. Control characters (Enter is 13) carry their key code as their value.
LRESULT OnCharacter(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  int character = static_cast<int>(wParam);
  int key = character;
  if (character >= 'a' && character <= 'z') key = character - 32;
  if (character >= 1 && character <= 127) {
    Binding binding = LookupBinding(window, key);
    if (binding.callback != 0 && binding.passCharacter == 0) return 0;
  }
  return PassOn(window, message, wParam, lParam);
}

}  // namespace

bool BindKey(HWND window, int modifiers, int key, KeyCallback callback, int trigger, int passCharacter) {
  if (key == 0) return false;
  if (trigger == 0) trigger = 1;
  SetPropA(window, PropertyName(key, "_Mod").c_str(), AsHandle(modifiers));
  SetPropA(window, PropertyName(key, "_VirtKey").c_str(), AsHandle(key));
  SetPropA(window, PropertyName(key, "_Proc").c_str(), AsHandle(reinterpret_cast<intptr_t>(callback)));
  SetPropA(window, PropertyName(key, "_Type").c_str(), AsHandle(trigger));
  SetPropA(window, PropertyName(key, "_Char").c_str(), AsHandle(passCharacter != 0 ? 1 : 0));
  if (HWND root = GetAncestor(window, GA_ROOT)) InstallFilter(root);
  return true;
}

void UnbindKey(HWND window, int key) {
  for (const char* suffix : {"_Mod", "_VirtKey", "_Proc", "_Type", "_Char"}) {
    RemovePropA(window, PropertyName(key, suffix).c_str());
  }
}

LRESULT KeyFilterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      return OnKey(window, message, wParam, lParam, 1);
    case WM_KEYUP:
      return OnKey(window, message, wParam, lParam, 2);
    case WM_NULL:
      if (wParam == 1) reinterpret_cast<KeyCallback>(lParam)(window, 0, 0);
      return 0;
    case WM_CHAR:
      return OnCharacter(window, message, wParam, lParam);
    default:
      return PassOn(window, message, wParam, lParam);
  }
}
