#include "catalogue/KeyBinding.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<UINT> g_passedOn;
int g_fired = 0;
HWND g_firedWindow = nullptr;

LRESULT OriginalProc(HWND, UINT message, WPARAM, LPARAM) {
  g_passedOn.push_back(message);
  return 77;
}

void Callback(HWND window, WPARAM, LPARAM) {
  ++g_fired;
  g_firedWindow = window;
}

void DispatchPosted() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

class KeyBindingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DispatchPosted();
    g_passedOn.clear();
    g_fired = 0;
    g_firedWindow = nullptr;
    root_ = QbCreateWindow(OriginalProc, nullptr);
    child_ = QbCreateWindow(OriginalProc, root_);
  }
  void TearDown() override {
    QbSetKeyState(VK_CONTROL, FALSE);
    DestroyWindow(root_);
    DispatchPosted();
  }
  LRESULT send(HWND window, UINT message, WPARAM wParam) { return SendMessageA(window, message, wParam, 0); }
  HWND root_ = nullptr;
  HWND child_ = nullptr;
};

TEST_F(KeyBindingTest, KeyCodeZeroIsRefused) {
  EXPECT_FALSE(BindKey(root_, 0, 0, Callback, 1, 0));
  EXPECT_EQ(GetPropA(root_, "Tessel_HotKeyProc"), nullptr);
}

TEST_F(KeyBindingTest, BindingIsKeptAsFivePropertiesAndTheFilterOnTheWholeTree) {
  ASSERT_TRUE(BindKey(child_, 0, VK_RETURN, Callback, 0, 0));
  EXPECT_EQ(reinterpret_cast<intptr_t>(GetPropA(child_, "HotKey13_Type")), 1);  // trigger 0 counts as 1
  EXPECT_EQ(reinterpret_cast<intptr_t>(GetPropA(child_, "HotKey13_VirtKey")), 13);
  EXPECT_EQ(reinterpret_cast<intptr_t>(GetPropA(child_, "HotKey13_Char")), 0);
  EXPECT_EQ(reinterpret_cast<intptr_t>(GetPropA(child_, "HotKey13_Mod")), 0);
  EXPECT_EQ(GetPropA(child_, "HotKey13_Proc"), reinterpret_cast<HANDLE>(&Callback));
  for (HWND window : {root_, child_}) {
    EXPECT_EQ(GetWindowLongA(window, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&KeyFilterProc));
    EXPECT_EQ(GetPropA(window, "Tessel_HotKeyProc"), reinterpret_cast<HANDLE>(&OriginalProc));
  }
}

TEST_F(KeyBindingTest, BindingTwiceKeepsTheFirstStoredProcedure) {
  BindKey(root_, 0, VK_RETURN, Callback, 1, 0);
  BindKey(root_, 0, VK_RETURN, Callback, 1, 0);
  EXPECT_EQ(GetPropA(root_, "Tessel_HotKeyProc"), reinterpret_cast<HANDLE>(&OriginalProc));
}

TEST_F(KeyBindingTest, BoundKeyDownIsConsumedAndFiresAfterTheKeyMessage) {
  BindKey(root_, 0, VK_RETURN, Callback, 1, 0);
  EXPECT_EQ(send(root_, WM_KEYDOWN, VK_RETURN), 0);
  EXPECT_EQ(g_fired, 0);  // deferred through a posted message 0
  DispatchPosted();
  EXPECT_EQ(g_fired, 1);
  EXPECT_EQ(g_firedWindow, root_);
  EXPECT_TRUE(g_passedOn.empty());
}

TEST_F(KeyBindingTest, KeyUpTriggerConsumesBothButFiresOnlyOnKeyUp) {
  BindKey(root_, 0, VK_RETURN, Callback, 2, 0);
  EXPECT_EQ(send(root_, WM_KEYDOWN, VK_RETURN), 0);
  DispatchPosted();
  EXPECT_EQ(g_fired, 0);
  EXPECT_EQ(send(root_, WM_KEYUP, VK_RETURN), 0);
  DispatchPosted();
  EXPECT_EQ(g_fired, 1);
}

TEST_F(KeyBindingTest, OtherKeysAndMessagesPassToTheStoredProcedure) {
  BindKey(root_, 0, VK_RETURN, Callback, 1, 0);
  EXPECT_EQ(send(root_, WM_KEYDOWN, 'A'), 77);
  EXPECT_EQ(send(root_, WM_PAINT, 0), 77);
  EXPECT_EQ(g_passedOn, (std::vector<UINT>{WM_KEYDOWN, WM_PAINT}));
}

TEST_F(KeyBindingTest, WithoutAStoredProcedureMessagesGoToTheDefaultOne) {
  HWND bare = QbCreateWindow(KeyFilterProc, nullptr);
  EXPECT_EQ(SendMessageA(bare, WM_KEYDOWN, 'A', 0), 0);
  EXPECT_TRUE(g_passedOn.empty());
  DestroyWindow(bare);
}

TEST_F(KeyBindingTest, DeferredCallRunsOnlyForWParamOne) {
  BindKey(root_, 0, VK_RETURN, Callback, 1, 0);
  EXPECT_EQ(SendMessageA(root_, WM_NULL, 0, reinterpret_cast<LPARAM>(&Callback)), 0);
  EXPECT_EQ(g_fired, 0);
  EXPECT_EQ(SendMessageA(root_, WM_NULL, 1, reinterpret_cast<LPARAM>(&Callback)), 0);
  EXPECT_EQ(g_fired, 1);
}

TEST_F(KeyBindingTest, CharacterOfABoundKeyIsSwallowedUnlessItIsPassedOn) {
  BindKey(root_, 0, VK_RETURN, Callback, 1, 0);
  EXPECT_EQ(send(root_, WM_CHAR, '\r'), 0);
  EXPECT_TRUE(g_passedOn.empty());
  EXPECT_EQ(send(root_, WM_CHAR, 'x'), 77);
  EXPECT_EQ(send(root_, WM_CHAR, 0x4E2D), 77);  // a Chinese character always passes
  BindKey(root_, 0, VK_RETURN, Callback, 1, 1);
  EXPECT_EQ(send(root_, WM_CHAR, '\r'), 77);
}

TEST_F(KeyBindingTest, LowerCaseLetterRelatesToItsKeyCode) {
  BindKey(root_, 0, 'Q', Callback, 1, 0);
  EXPECT_EQ(send(root_, WM_CHAR, 'q'), 0);
  EXPECT_EQ(send(root_, WM_CHAR, 'w'), 77);
}

TEST_F(KeyBindingTest, ChildWindowUsesTheRootWindowsBinding) {
  BindKey(root_, 0, VK_RETURN, Callback, 1, 0);
  EXPECT_EQ(send(child_, WM_KEYDOWN, VK_RETURN), 0);
  DispatchPosted();
  EXPECT_EQ(g_firedWindow, child_);
}

TEST_F(KeyBindingTest, ModifierBindingMatchesOnlyWhileTheModifierIsHeld) {
  BindKey(root_, 2, 'S', Callback, 1, 0);  // Ctrl+S
  EXPECT_EQ(send(root_, WM_KEYDOWN, 'S'), 77);
  QbSetKeyState(VK_CONTROL, TRUE);
  EXPECT_EQ(send(root_, WM_KEYDOWN, 'S'), 0);
  DispatchPosted();
  EXPECT_EQ(g_fired, 1);
}

TEST_F(KeyBindingTest, BindingWithoutModifiersFiresWhateverIsHeld) {
  BindKey(root_, 0, VK_RETURN, Callback, 1, 0);
  QbSetKeyState(VK_CONTROL, TRUE);
  EXPECT_EQ(send(root_, WM_KEYDOWN, VK_RETURN), 0);
  DispatchPosted();
  EXPECT_EQ(g_fired, 1);
}

TEST_F(KeyBindingTest, UnbindingLetsTheKeyThroughAgain) {
  BindKey(root_, 0, VK_RETURN, Callback, 1, 0);
  UnbindKey(root_, VK_RETURN);
  EXPECT_EQ(GetPropA(root_, "HotKey13_Proc"), nullptr);
  EXPECT_EQ(send(root_, WM_KEYDOWN, VK_RETURN), 77);
  EXPECT_EQ(send(root_, WM_CHAR, '\r'), 77);
}

}  // namespace
