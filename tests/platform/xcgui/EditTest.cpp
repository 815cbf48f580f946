// Edits: typing (Chinese and beyond the basic plane) through character messages, length and
// text in UTF-16 units, caret and selection keys, and event 182 after every change.
#include <SDL.h>

#include "XcguiTestSupport.h"

namespace {

enum { kBack = 0x08, kEnd = 0x23, kHome = 0x24, kLeft = 0x25, kRight = 0x27, kDelete = 0x2E };

const char* kForm = R"(<window width="300" height="60">
  <edit id="35" x="10" y="10" width="200" height="30"/>
  <edit id="36" x="220" y="10" width="70" height="30" text="起始"/>
</window>
)";

// The edit's length as each 182 handler saw it.
std::vector<int> LengthsSeen;
int OnChanged(HXCGUI edit, int event, WPARAM wParam, LPARAM lParam, BOOL* handled) {
  LengthsSeen.push_back(XEdit_GetLength(edit));
  return Logged<182>(edit, event, wParam, lParam, handled);
}

// Holds a modifier key down for the life of the object, as the window system reports it.
class HeldKey {
 public:
  explicit HeldKey(int key) : key_(key) { QbSetKeyState(key_, TRUE); }
  ~HeldKey() { QbSetKeyState(key_, FALSE); }
  HeldKey(const HeldKey&) = delete;
  HeldKey& operator=(const HeldKey&) = delete;

 private:
  int key_;
};

}  // namespace

class EditTest : public XcguiTest {
 protected:
  void SetUp() override {
    XcguiTest::SetUp();
    LengthsSeen.clear();
    w_ = Load("form.xml", kForm);
    ASSERT_NE(w_, 0);
    edit_ = XC_GetObjectByID(w_, 35);
    XEle_RegEventC(edit_, XE_EDIT_CHANGED, OnChanged);
    Focus(edit_);
  }
  void Focus(HELE edit) {
    RECT r = RectOf(edit);
    ClickAt(w_, r.right - 2, (r.top + r.bottom) / 2);
  }
  void Type(const char16_t* text) {
    XTest_TypeText(w_, text);
    XTest_Pump(2);
  }
  void Key(int key) {
    XTest_KeyDown(w_, key);
    XTest_Pump(2);
  }
  std::u16string Text(HELE edit = 0) {
    char16_t buffer[64] = {};
    XEdit_GetText(edit ? edit : edit_, buffer, 64);
    return buffer;
  }
  HWINDOW w_ = 0;
  HELE edit_ = 0;
};

TEST_F(EditTest, TypedChineseCountsInUtf16Units) {
  EXPECT_EQ(XTest_Focused(w_), edit_);
  Type(u"视频压缩");
  EXPECT_EQ(XEdit_GetLength(edit_), 4);
  EXPECT_EQ(Text(), u"视频压缩");
  char16_t small[3] = {u'x', u'x', u'x'};
  EXPECT_EQ(XEdit_GetText(edit_, small, 3), 2);  // the capacity holds the NUL too
  EXPECT_EQ(std::u16string(small), u"视频");
  EXPECT_EQ(XEdit_GetText(edit_, small, 0), 0);
  EXPECT_EQ(XEdit_GetText(edit_, nullptr, 10), 0);
}

TEST_F(EditTest, EveryChangeRaises182AfterTheTextChanged) {
  Type(u"ab");
  Key(kBack);
  Key(kBack);
  EXPECT_EQ(LengthsSeen, (std::vector<int>{1, 2, 1, 0}));
  Key(kBack);  // nothing left to delete
  EXPECT_EQ(CountEvents(XE_EDIT_CHANGED), 4);
  for (const EventRecord& e : Events) EXPECT_EQ(e.self, edit_);
}

TEST_F(EditTest, ControlCharactersAndMovesAreNoChange) {
  Type(u"a\r\t\x08\x7f");
  Key(kLeft);
  Key(kHome);
  Key(kEnd);
  EXPECT_EQ(Text(), u"a");
  EXPECT_EQ(CountEvents(XE_EDIT_CHANGED), 1);
}

TEST_F(EditTest, CharactersBeyondTheBasicPlaneArriveAsOnePair) {
  Type(u"图😀");
  EXPECT_EQ(XEdit_GetLength(edit_), 3);
  EXPECT_EQ(LengthsSeen, (std::vector<int>{1, 3}));
  Key(kBack);  // takes the whole pair
  EXPECT_EQ(Text(), u"图");
  Key(kHome);
  Type(u"😀");
  Key(kHome);
  Key(kRight);  // never between the halves
  Type(u"x");
  EXPECT_EQ(Text(), u"😀x图");
  Key(kHome);
  Key(kDelete);
  EXPECT_EQ(Text(), u"x图");
}

TEST_F(EditTest, CaretKeysPlaceTheNextCharacters) {
  Type(u"视频");
  Key(kHome);
  Type(u"A");
  Key(kRight);
  Type(u"B");
  Key(kEnd);
  Type(u"C");
  Key(kLeft);
  Key(kDelete);
  EXPECT_EQ(Text(), u"A视B频");
}

TEST_F(EditTest, SelectionIsReplacedOrDeletedAsAWhole) {
  Type(u"压缩工具");
  {
    HeldKey shift(VK_SHIFT);
    Key(kLeft);
    Key(kLeft);
  }
  Type(u"软件");
  EXPECT_EQ(Text(), u"压缩软件");
  {
    HeldKey control(VK_CONTROL);
    Key('A');
  }
  size_t before = Events.size();
  Key(kBack);
  EXPECT_EQ(Text(), u"");
  EXPECT_EQ(Events.size(), before + 1);
}

TEST_F(EditTest, ClickingPlacesTheCaret) {
  Type(u"abcdef");
  RECT r = RectOf(edit_);
  ClickAt(w_, r.left + 1, (r.top + r.bottom) / 2);
  Type(u"X");
  EXPECT_EQ(Text(), u"Xabcdef");
}

TEST_F(EditTest, OnlyTheFocusedEditTakesTypingAndStartTextRaisesNothing) {
  HELE other = XC_GetObjectByID(w_, 36);
  EXPECT_EQ(Text(other), u"起始");
  EXPECT_EQ(XEdit_GetLength(other), 2);
  Focus(other);
  EXPECT_EQ(XTest_Focused(w_), other);
  Type(u"值");
  EXPECT_EQ(Text(other), u"起始值");
  EXPECT_EQ(Text(), u"");
  EXPECT_EQ(CountEvents(XE_EDIT_CHANGED), 0);
  ClickAt(w_, 5, 55);  // on the window: nothing takes the focus
  EXPECT_EQ(XTest_Focused(w_), 0);
  Type(u"丢");
  EXPECT_EQ(Text(other), u"起始值");
  EXPECT_EQ(XEdit_GetLength(0), 0);
}

// The input method's pre-edit text shows at the caret, underlined, without being the edit's text;
// what it commits is typed where the caret stands.
TEST_F(EditTest, PreEditTextShowsAtTheCaretAndCommitsThere) {
  Type(u"视频");
  Key(kLeft);
  RECT r = RectOf(edit_);
  const int before = DarkPixels(w_, r);
  XTest_Compose(w_, u"ya suo", 6);
  XTest_Pump(2);
  EXPECT_EQ(Text(), u"视频") << "pre-edit text is not typed text";
  EXPECT_GT(DarkPixels(w_, r), before) << "the pre-edit text is not drawn";
  XTest_Compose(w_, u"", 0);
  Type(u"压缩");
  EXPECT_EQ(Text(), u"视压缩频");
}

TEST_F(EditTest, CopyCutPasteAndUndoGoThroughTheClipboard) {
  Type(u"视频压缩");
  {
    HeldKey shift(VK_SHIFT);
    Key(kLeft);
    Key(kLeft);
  }
  {
    HeldKey control(VK_CONTROL);
    Key('X');
  }
  EXPECT_EQ(Text(), u"视频");
  {
    HeldKey control(VK_CONTROL);
    Key(kHome);
    Key('V');
    Key('V');
  }
  EXPECT_EQ(Text(), u"压缩压缩视频");
  {
    HeldKey control(VK_CONTROL);
    Key('Z');
    Key('Z');
  }
  EXPECT_EQ(Text(), u"视频");
  {
    HeldKey control(VK_CONTROL);
    Key('Z');
  }
  EXPECT_EQ(Text(), u"视频压缩");
  SDL_SetClipboardText("一行\n两行");
  Key(kEnd);
  {
    HeldKey control(VK_CONTROL);
    Key('V');
  }
  EXPECT_EQ(Text(), u"视频压缩一行 两行") << "a pasted line break becomes a space";
}
