// Key bindings kept as properties of a window ("HotKey" + key code + suffix), served by a
// window procedure installed on the window's whole tree.
#pragma once

#include "platform/win32/Win32.h"

using KeyCallback = void (*)(HWND window, WPARAM, LPARAM);

// Binds `key` on `window`; trigger 1 fires on key down, 2 on key up (0 counts as 1);
// passCharacter 0 swallows the key's character message. False (and nothing done) for key 0.
bool BindKey(HWND window, int modifiers, int key, KeyCallback callback, int trigger, int passCharacter);
// Removes the binding's five properties from the window.
void UnbindKey(HWND window, int key);
// The window procedure BindKey installs; "Tessel_HotKeyProc" holds the one it replaced.
LRESULT KeyFilterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
