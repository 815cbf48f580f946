// Shape texts: what they draw, their text through the API, their automatic size, and that they
// leave the pointer to the element below.
#include "XcguiTestSupport.h"

namespace {

const char* kTexts = R"(<window width="300" height="100" bkcolor="#ffffff">
  <element id="9" x="0" y="50" width="300" height="50"/>
  <shapetext id="1" x="10" y="10" width="120" height="30" text="视频压缩" font-size="20"/>
  <shapetext id="2" x="150" y="10" width="120" height="30"/>
  <layout id="3" x="0" y="50" width="300" height="50">
    <shapetext id="4" text="短"/>
    <element id="5" width="10" height="10"/>
  </layout>
</window>
)";

}  // namespace

class ShapeTextTest : public XcguiTest {
 protected:
  void SetUp() override {
    XcguiTest::SetUp();
    w_ = Load("t.xml", kTexts);
    ASSERT_NE(w_, 0);
  }
  HWINDOW w_ = 0;
};

TEST_F(ShapeTextTest, TextIsDrawnInsideItsRectangleOnly) {
  RECT text = RectOf(XC_GetObjectByID(w_, 1));
  EXPECT_GT(DarkPixels(w_, text), 40);
  RECT below{text.left, text.bottom, text.right, text.bottom + 8};
  EXPECT_EQ(DarkPixels(w_, below), 0);
  EXPECT_EQ(DarkPixels(w_, RectOf(XC_GetObjectByID(w_, 2))), 0);  // no text yet
  XShapeText_SetText(XC_GetObjectByID(w_, 2), u"天气");
  EXPECT_GT(DarkPixels(w_, RectOf(XC_GetObjectByID(w_, 2))), 20);
}

TEST_F(ShapeTextTest, SetTextAndGetTextKeepUtf16Units) {
  HELE text = XC_GetObjectByID(w_, 2);
  XShapeText_SetText(text, u"晴 25℃ 😀");
  EXPECT_EQ(std::u16string(XShapeText_GetText(text)), u"晴 25℃ 😀");
  XShapeText_SetText(text, nullptr);
  EXPECT_EQ(std::u16string(XShapeText_GetText(text)), u"");
  EXPECT_EQ(XShapeText_GetText(XC_GetObjectByID(w_, 9)), nullptr);  // not a shape text
  XShapeText_SetText(XC_GetObjectByID(w_, 9), u"ignored");
}

TEST_F(ShapeTextTest, AutomaticSizeFollowsTheText) {
  HELE text = XC_GetObjectByID(w_, 4);
  RECT before = RectOf(text);
  XShapeText_SetText(text, u"长得多的一段文字");
  XWnd_AdjustLayout(w_);
  RECT after = RectOf(text);
  EXPECT_GT(after.right - after.left, 3 * (before.right - before.left));
  EXPECT_EQ(RectOf(XC_GetObjectByID(w_, 5)).left, after.right);  // the sibling moved along
}

TEST_F(ShapeTextTest, ClicksPassThroughToTheElementBelow) {
  XEle_RegEventC(XC_GetObjectByID(w_, 3), XE_LBUTTONUP, Logged<3>);
  XEle_RegEventC(XC_GetObjectByID(w_, 4), XE_LBUTTONUP, Logged<4>);
  RECT text = RectOf(XC_GetObjectByID(w_, 4));
  ClickAt(w_, text.left + 2, (text.top + text.bottom) / 2);
  EXPECT_EQ(EventTags(), (std::vector<int>{3}));  // the layout holding the text
}
