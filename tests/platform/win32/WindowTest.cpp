#include <gtest/gtest.h>

#include "platform/win32/Win32.h"

namespace {

LRESULT ReturnsOne(HWND, UINT, WPARAM, LPARAM) { return 1; }
LRESULT ReturnsTwo(HWND, UINT, WPARAM, LPARAM) { return 2; }

TEST(WindowTest, ProcedureCanBeReplacedAndChained) {
  HWND window = QbCreateWindow(ReturnsOne, nullptr);
  auto previous = reinterpret_cast<WNDPROC>(SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(ReturnsTwo)));
  EXPECT_EQ(previous, &ReturnsOne);
  EXPECT_EQ(SendMessageA(window, WM_USER, 0, 0), 2);
  EXPECT_EQ(CallWindowProcA(previous, window, WM_USER, 0, 0), 1);
  DestroyWindow(window);
}

TEST(WindowTest, PropertiesAreKeptPerWindowUntilRemoved) {
  HWND a = QbCreateWindow(ReturnsOne, nullptr);
  HWND b = QbCreateWindow(ReturnsOne, nullptr);
  int value = 0;
  EXPECT_TRUE(SetPropA(a, "HotKey13_Mod", &value));
  EXPECT_EQ(GetPropA(a, "HotKey13_Mod"), &value);
  EXPECT_EQ(GetPropA(b, "HotKey13_Mod"), nullptr);
  EXPECT_EQ(RemovePropA(a, "HotKey13_Mod"), &value);
  EXPECT_EQ(GetPropA(a, "HotKey13_Mod"), nullptr);
  DestroyWindow(a);
  DestroyWindow(b);
}

TEST(WindowTest, AncestorsChildrenAndSiblingsFollowTheTree) {
  HWND root = QbCreateWindow(ReturnsOne, nullptr);
  HWND first = QbCreateWindow(ReturnsOne, root);
  HWND second = QbCreateWindow(ReturnsOne, root);
  HWND grandchild = QbCreateWindow(ReturnsOne, first);
  EXPECT_EQ(GetAncestor(grandchild, GA_ROOT), root);
  EXPECT_EQ(GetAncestor(root, GA_ROOT), root);
  EXPECT_EQ(GetWindow(root, GW_CHILD), first);
  EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), second);
  EXPECT_EQ(GetWindow(second, GW_HWNDNEXT), nullptr);
  DestroyWindow(root);
  EXPECT_FALSE(IsWindow(grandchild));
}

TEST(WindowTest, RectangleAndKeyStateAreWhatTheToolkitReported) {
  HWND window = QbCreateWindow(ReturnsOne, nullptr);
  RECT placed{375, 140, 1545, 900};
  QbSetWindowRect(window, &placed);
  RECT read{};
  ASSERT_TRUE(GetWindowRect(window, &read));
  EXPECT_EQ(read.right, 1545);
  QbSetKeyState(VK_CONTROL, TRUE);
  EXPECT_NE(GetAsyncKeyState(VK_CONTROL), 0);
  QbSetKeyState(VK_CONTROL, FALSE);
  EXPECT_EQ(GetAsyncKeyState(VK_CONTROL), 0);
  DestroyWindow(window);
}

}  // namespace
