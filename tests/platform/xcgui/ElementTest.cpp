// Elements: the layout arithmetic (padding, fixed, fill and automatic sizes, hidden elements
// leaving the flow, alpha) and the dispatch of pointer events to handlers.
#include <atomic>

#include "XcguiTestSupport.h"

namespace {

int Width(const RECT& r) {
  return r.right - r.left;
}

// A row of three children inside a padded, gapped box, under a black window.
const char* kRow = R"(<window width="320" height="100" bkcolor="#000000">
  <layout id="1" x="0" y="0" width="300" height="60" padding="10,5,20,5" gap="4">
    <element id="2" width="50" height="fill" bkcolor="#ff0000"/>
    <element id="3" width="fill" height="fill" bkcolor="#00ff00"/>
    <element id="4" width="fill" height="20" bkcolor="#0000ff"/>
  </layout>
</window>
)";

// Nested boxes for pointer events: 2 inside 1, 3 beside 1, a button 4 inside 1.
const char* kNested = R"(<window width="200" height="100">
  <element id="1" x="0" y="0" width="100" height="100">
    <element id="2" x="10" y="10" width="40" height="40"/>
    <button id="4" x="60" y="60" width="30" height="30"/>
  </element>
  <element id="3" x="120" y="0" width="80" height="100"/>
</window>
)";

int DestroySelf(HXCGUI self, int event, WPARAM wParam, LPARAM lParam, BOOL* handled) {
  Logged<1>(self, event, wParam, lParam, handled);
  XEle_Destroy(self);
  return 0;
}

POINT LastPoint;
int RecordPoint(HXCGUI self, int event, WPARAM wParam, LPARAM lParam, BOOL* handled) {
  LastPoint = *reinterpret_cast<const POINT*>(lParam);
  return Logged<1>(self, event, wParam, lParam, handled);
}

}  // namespace

class ElementTest : public XcguiTest {
 protected:
  HWINDOW Row() { return Load("row.xml", kRow); }
  HWINDOW Nested() { return Load("nested.xml", kNested); }
  HELE Get(HWINDOW w, int id) { return XC_GetObjectByID(w, id); }
};

// ---- layout arithmetic ----

TEST_F(ElementTest, StackedChildrenTakeFixedWidthsThenShareTheRestBetweenFills) {
  HWINDOW w = Row();
  ASSERT_NE(w, 0);
  // 300 - padding 30 - fixed 50 - two gaps of 4 = 212, split in two.
  RECT fixed = RectOf(Get(w, 2)), fill = RectOf(Get(w, 3)), last = RectOf(Get(w, 4));
  EXPECT_EQ(fixed.left, 10);
  EXPECT_EQ(fixed.top, 5);
  EXPECT_EQ(Width(fixed), 50);
  EXPECT_EQ(fixed.bottom, 55);
  EXPECT_EQ(fill.left, 64);
  EXPECT_EQ(Width(fill), 106);
  EXPECT_EQ(last.left, 174);
  EXPECT_EQ(Width(last), 106);
  EXPECT_EQ(last.right, 280);
  EXPECT_EQ(last.bottom - last.top, 20);
}

TEST_F(ElementTest, AnOddRemainderGoesToTheFirstFills) {
  HWINDOW w = Row();
  XEle_SetLayoutWidth(Get(w, 1), 0, 301);
  XWnd_AdjustLayout(w);
  EXPECT_EQ(Width(RectOf(Get(w, 3))), 107);
  EXPECT_EQ(Width(RectOf(Get(w, 4))), 106);
}

TEST_F(ElementTest, PaddingSetByTheProgramMovesTheChildrenAtTheNextLayout) {
  HWINDOW w = Row();
  HELE box = Get(w, 1);
  XLayout_SetPadding(box, 40, 35, 10, 10);
  XEle_AdjustLayout(box);
  RECT fixed = RectOf(Get(w, 2));
  EXPECT_EQ(fixed.left, 40);
  EXPECT_EQ(fixed.top, 35);
  EXPECT_EQ(fixed.bottom, 50);
  // Fills shrink by the padding that grew: 300 - 50 - 50 - 8 = 192.
  EXPECT_EQ(Width(RectOf(Get(w, 3))), 96);
  EXPECT_EQ(RectOf(Get(w, 4)).right, 290);
}

TEST_F(ElementTest, LayoutWidthIsFixedFillOrAutoByType) {
  HWINDOW w = Load("w.xml", R"(<window width="300" height="50" layout="horizontal">
  <layout id="1" width="100" height="fill" padding="3" gap="5">
    <element width="30" height="10"/>
    <element width="40" height="10"/>
  </layout>
  <element id="2" width="50" height="fill"/>
</window>
)");
  HELE box = Get(w, 1);
  EXPECT_EQ(Width(RectOf(box)), 100);
  XEle_SetLayoutWidth(box, 1, 0);  // fill: what the fixed sibling leaves
  XWnd_AdjustLayout(w);
  EXPECT_EQ(Width(RectOf(box)), 250);
  XEle_SetLayoutWidth(box, 2, 0);  // auto: the children, the gap and the padding
  XWnd_AdjustLayout(w);
  EXPECT_EQ(Width(RectOf(box)), 30 + 5 + 40 + 6);
  XEle_SetLayoutWidth(box, 0, 68);
  XWnd_AdjustLayout(w);
  EXPECT_EQ(Width(RectOf(box)), 68);
  EXPECT_EQ(RectOf(Get(w, 2)).left, 68);
  XEle_SetLayoutWidth(box, 0, -5);
  XWnd_AdjustLayout(w);
  EXPECT_EQ(Width(RectOf(box)), 0);
}

TEST_F(ElementTest, WidthInIsTheSetWidthInsideThePaddingAtOnce) {
  HWINDOW w = Row();
  HELE box = Get(w, 1);
  EXPECT_EQ(XLayout_GetWidthIn(box), 300 - 30);
  XLayout_SetPadding(box, 0, 0, 0, 0);
  EXPECT_EQ(XLayout_GetWidthIn(box), 300);
  // An animation sets a width and reads it back before any layout runs.
  XEle_SetLayoutWidth(box, 0, 55);
  EXPECT_EQ(XLayout_GetWidthIn(box), 55);
  XEle_SetLayoutWidth(box, 1, 0);
  XWnd_AdjustLayout(w);
  EXPECT_EQ(XLayout_GetWidthIn(box), 320);
  EXPECT_EQ(XLayout_GetWidthIn(Get(w, 2)), 50);
  EXPECT_EQ(XLayout_GetWidthIn(0), 0);
}

TEST_F(ElementTest, HiddenElementsLeaveTheFlowAndAreNotDrawn) {
  HWINDOW w = Row();
  HELE fixed = Get(w, 2);
  XEle_ShowEle(fixed, FALSE);
  XEle_AdjustLayout(fixed);
  EXPECT_FALSE(XTest_IsElementShown(fixed));
  // One gap and the fixed width are free now: 270 - 4 = 266.
  EXPECT_EQ(RectOf(Get(w, 3)).left, 10);
  EXPECT_EQ(Width(RectOf(Get(w, 3))), 133);
  EXPECT_EQ(Rgb(XTest_ReadPixel(w, 12, 30)), 0x00FF00u);
  XEle_ShowEle(Get(w, 1), FALSE);
  XWnd_AdjustLayout(w);
  EXPECT_EQ(Rgb(XTest_ReadPixel(w, 50, 30)), 0x000000u);
  EXPECT_FALSE(XTest_IsElementShown(Get(w, 3)));  // its parent is hidden
  XEle_ShowEle(Get(w, 1), TRUE);
  XEle_ShowEle(fixed, TRUE);
  XWnd_AdjustLayout(w);
  EXPECT_EQ(Width(RectOf(Get(w, 3))), 106);
  EXPECT_EQ(Rgb(XTest_ReadPixel(w, 12, 30)), 0xFF0000u);
}

TEST_F(ElementTest, PlacedChildrenSitAtTheirPositionInsideThePadding) {
  HWINDOW w = Load("w.xml", R"(<window width="200" height="100">
  <element id="1" x="10" y="10" width="100" height="80" padding="5">
    <element id="2" x="20" y="30" width="fill" height="10"/>
  </element>
</window>
)");
  RECT r = RectOf(Get(w, 2));
  EXPECT_EQ(r.left, 35);
  EXPECT_EQ(r.top, 45);
  EXPECT_EQ(r.right, 105);  // fill reaches the padding on the right
}

TEST_F(ElementTest, CrossAlignmentPlacesNarrowChildren) {
  HWINDOW w = Load("w.xml", R"(<window width="200" height="100" layout="vertical">
  <layout id="1" width="fill" height="50" align="center"><element id="2" width="10" height="20"/></layout>
  <layout id="3" width="fill" height="50" align="end"><element id="4" width="10" height="20"/></layout>
</window>
)");
  EXPECT_EQ(RectOf(Get(w, 2)).top, 15);
  EXPECT_EQ(RectOf(Get(w, 4)).top, 80);
}

// The element and its children fade as one picture: where the red child covers the white one,
// the white never shows through.
TEST_F(ElementTest, AlphaFadesTheElementAndItsChildrenOverTheBackgroundAsOneLayer) {
  HWINDOW w = Load("w.xml", R"(<window width="100" height="60" bkcolor="#000000">
  <element id="1" x="0" y="0" width="60" height="60">
    <element id="2" x="0" y="0" width="30" height="60" bkcolor="#ffffff"/>
    <element id="3" x="20" y="0" width="40" height="60" bkcolor="#ff0000"/>
  </element>
  <element id="4" x="60" y="0" width="40" height="60" bkcolor="#ffffff" alpha="0"/>
</window>
)");
  EXPECT_EQ(Rgb(XTest_ReadPixel(w, 10, 10)), 0xFFFFFFu);
  XEle_SetAlpha(Get(w, 1), 128);
  uint32_t grey = XTest_ReadPixel(w, 10, 10), red = XTest_ReadPixel(w, 40, 10);
  EXPECT_NEAR(Red(grey), 128, 2);
  EXPECT_NEAR(Green(grey), 128, 2);
  EXPECT_NEAR(Red(red), 128, 2);
  EXPECT_EQ(Green(red), 0);
  uint32_t overlap = XTest_ReadPixel(w, 25, 10);
  EXPECT_NEAR(Red(overlap), 128, 2);
  EXPECT_EQ(Green(overlap), 0);
  EXPECT_EQ(Rgb(XTest_ReadPixel(w, 80, 10)), 0x000000u);  // alpha 0 from the layout file
  XEle_SetAlpha(Get(w, 1), 0);
  EXPECT_EQ(Rgb(XTest_ReadPixel(w, 40, 10)), 0x000000u);
  XEle_SetAlpha(Get(w, 1), 255);
  EXPECT_EQ(Rgb(XTest_ReadPixel(w, 40, 10)), 0xFF0000u);
}

// ---- pointer events ----

TEST_F(ElementTest, PointerEnteringRaisesStayOnTheElementAndItsAncestorsOutermostFirst) {
  HWINDOW w = Nested();
  HELE outer = Get(w, 1), inner = Get(w, 2);
  XEle_RegEventC(outer, XE_MOUSESTAY, Logged<1>);
  XEle_RegEventC(inner, XE_MOUSESTAY, Logged<2>);
  MoveTo(w, 20, 20);
  EXPECT_EQ(EventTags(), (std::vector<int>{1, 2}));
  MoveTo(w, 25, 25);  // resting inside raises nothing new
  EXPECT_EQ(Events.size(), 2u);
  EXPECT_EQ(Events[1].self, inner);
  EXPECT_EQ(Events[1].event, XE_MOUSESTAY);
}

TEST_F(ElementTest, PointerMovingAwayRaisesLeaveDeepestFirstThenStayOnTheNewElement) {
  HWINDOW w = Nested();
  XEle_RegEventC(Get(w, 1), XE_MOUSELEAVE, Logged<1>);
  XEle_RegEventC(Get(w, 2), XE_MOUSELEAVE, Logged<2>);
  XEle_RegEventC(Get(w, 3), XE_MOUSESTAY, Logged<3>);
  MoveTo(w, 20, 20);
  MoveTo(w, 70, 20);  // still inside 1, out of 2
  EXPECT_EQ(EventTags(), (std::vector<int>{2}));
  MoveTo(w, 20, 20);
  MoveTo(w, 150, 50);
  EXPECT_EQ(EventTags(), (std::vector<int>{2, 2, 1, 3}));
}

TEST_F(ElementTest, PointerLeavingTheWindowRaisesLeaveOnEveryHoveredElement) {
  HWINDOW w = Nested();
  XEle_RegEventC(Get(w, 1), XE_MOUSELEAVE, Logged<1>);
  XEle_RegEventC(Get(w, 2), XE_MOUSELEAVE, Logged<2>);
  XWnd_RegEventC(w, XWM_MOUSELEAVE, Logged<3>);
  MoveTo(w, 20, 20);
  XTest_MouseLeave(w);
  XTest_Pump(2);
  EXPECT_EQ(EventTags(), (std::vector<int>{2, 1, 3}));
  EXPECT_EQ(Events.back().event, XWM_MOUSELEAVE);
  EXPECT_EQ(Events.back().self, w);
}

TEST_F(ElementTest, ReleaseRaises11WithThePointInElementCoordinates) {
  HWINDOW w = Nested();
  XEle_RegEventC(Get(w, 2), XE_LBUTTONUP, RecordPoint);
  XEle_RegEventC(Get(w, 1), XE_LBUTTONUP, Logged<2>);
  ClickAt(w, 30, 22);
  ASSERT_EQ(EventTags(), (std::vector<int>{1}));  // only the element under the pointer
  EXPECT_EQ(LastPoint.x, 20);
  EXPECT_EQ(LastPoint.y, 12);
}

TEST_F(ElementTest, ButtonClickRaises11ThenClick34OnlyWhenReleasedInside) {
  HWINDOW w = Nested();
  HELE button = Get(w, 4);
  XEle_RegEventC(button, XE_LBUTTONUP, Logged<1>);
  XEle_RegEventC(button, XE_BNCLICK, Logged<2>);
  ClickAt(w, 70, 70);
  EXPECT_EQ(EventNumbers(), (std::vector<int>{XE_LBUTTONUP, XE_BNCLICK}));
  Events.clear();
  XTest_MouseDown(w, 70, 70);
  XTest_MouseUp(w, 150, 50);
  XTest_Pump(2);
  EXPECT_EQ(CountEvents(XE_BNCLICK), 0);
}

TEST_F(ElementTest, HandlersRunInRegistrationOrderAndHandledStopsTheRest) {
  HWINDOW w = Nested();
  HELE button = Get(w, 4);
  XEle_RegEventC(button, XE_BNCLICK, Logged<1>);
  XEle_RegEventC1(button, XE_BNCLICK, Logged<2>);
  XEle_RegEventC(button, XE_BNCLICK, Logged<3>);
  ClickAt(w, 70, 70);
  EXPECT_EQ(EventTags(), (std::vector<int>{1, 2, 3}));
  Events.clear();
  HELE other = Get(w, 2);
  XEle_RegEventC(other, XE_LBUTTONUP, Logged<1>);
  XEle_RegEventC(other, XE_LBUTTONUP, LoggedAndHandled<2>);
  XEle_RegEventC(other, XE_LBUTTONUP, Logged<3>);
  ClickAt(w, 20, 20);
  EXPECT_EQ(EventTags(), (std::vector<int>{1, 2}));
}

TEST_F(ElementTest, RegistrationNeedsAnElementAndAHandler) {
  HWINDOW w = Nested();
  EXPECT_FALSE(XEle_RegEventC(0, XE_BNCLICK, Logged<1>));
  EXPECT_FALSE(XEle_RegEventC(123456, XE_BNCLICK, Logged<1>));
  EXPECT_FALSE(XEle_RegEventC(Get(w, 4), XE_BNCLICK, nullptr));
  EXPECT_TRUE(XEle_RegEventC(Get(w, 4), XE_BNCLICK, Logged<1>));
}

TEST_F(ElementTest, AHandlerThatDestroysItsElementEndsTheDispatch) {
  HWINDOW w = Nested();
  HELE button = Get(w, 4);
  XEle_RegEventC(button, XE_BNCLICK, DestroySelf);
  XEle_RegEventC(button, XE_BNCLICK, Logged<2>);
  ClickAt(w, 70, 70);
  EXPECT_EQ(EventTags(), (std::vector<int>{1}));
  EXPECT_EQ(XC_GetObjectType(button), 0);
  EXPECT_EQ(Get(w, 4), 0);
  ClickAt(w, 70, 70);  // the place is empty now
  EXPECT_EQ(Events.size(), 1u);
}

TEST_F(ElementTest, HandlersRunOnTheUiThreadWhenAWorkerCausedTheEvent) {
  HWINDOW w = Nested();
  XEle_RegEventC(Get(w, 4), XE_BNCLICK, Logged<1>);
  XEle_RegEventC(Get(w, 2), XE_MOUSESTAY, Logged<2>);
  std::atomic<bool> posted{false};
  std::thread worker([&] {
    XTest_MouseMove(w, 20, 20);
    XTest_Click(w, 70, 70);
    posted = true;
  });
  EXPECT_TRUE(PumpUntil([&] { return posted && CountEvents(XE_BNCLICK) == 1; }));
  worker.join();
  ASSERT_EQ(Events.size(), 2u);
  for (const EventRecord& e : Events) EXPECT_EQ(e.thread, std::this_thread::get_id());
}
