// Background managers: fills given as COLORREF with their own alpha, pictures, states, order,
// and clearing.
#include "XcguiTestSupport.h"

namespace {

COLORREF ColorRef(int r, int g, int b) {
  return COLORREF(r | (g << 8) | (b << 16));
}

const char* kPlain = R"(<window width="100" height="40" bkcolor="#000000">
  <element id="1" x="0" y="0" width="40" height="40"/>
  <element id="2" x="50" y="0" width="40" height="40" bkcolor="#0000ff"/>
</window>
)";

}  // namespace

class BkManagerTest : public XcguiTest {
 protected:
  void SetUp() override {
    XcguiTest::SetUp();
    w_ = Load("w.xml", kPlain);
    ASSERT_NE(w_, 0);
    element_ = XC_GetObjectByID(w_, 1);
    manager_ = XEle_GetBkManager(element_);
    ASSERT_NE(manager_, 0);
  }
  uint32_t Shown() { return XTest_ReadPixel(w_, 20, 20); }
  HWINDOW w_ = 0;
  HELE element_ = 0;
  HBKM manager_ = 0;
};

TEST_F(BkManagerTest, FillTakesAColorRefWithRedInTheLowByte) {
  EXPECT_EQ(XBkM_AddFill(manager_, XC_STATE_BUTTON_NORMAL, ColorRef(38, 29, 71), 255), 1);
  uint32_t p = Shown();
  EXPECT_EQ(Red(p), 38);
  EXPECT_EQ(Green(p), 29);
  EXPECT_EQ(Blue(p), 71);
}

TEST_F(BkManagerTest, FillAlphaBlendsOverWhatIsBelow) {
  XBkM_AddFill(manager_, 0, ColorRef(255, 255, 255), 60);
  EXPECT_NEAR(Red(Shown()), 60, 2);
  XBkM_Clear(manager_);
  XBkM_AddFill(manager_, 0, ColorRef(255, 255, 255), 0);  // fully transparent
  EXPECT_EQ(Rgb(Shown()), 0x000000u);
}

TEST_F(BkManagerTest, EntriesDrawInTheOrderAdded) {
  EXPECT_EQ(XBkM_AddFill(manager_, 0, ColorRef(255, 0, 0), 255), 1);
  EXPECT_EQ(XBkM_AddFill(manager_, 0, ColorRef(0, 255, 0), 255), 2);
  EXPECT_EQ(Rgb(Shown()), 0x00FF00u);
}

TEST_F(BkManagerTest, OnlyTheFirstCurrentStateWithEntriesIsDrawn) {
  XBkM_AddFill(manager_, XC_STATE_BUTTON_NORMAL, ColorRef(255, 0, 0), 255);
  XBkM_AddFill(manager_, XC_STATE_BUTTON_STAY, ColorRef(0, 255, 0), 128);
  EXPECT_EQ(Rgb(Shown()), 0xFF0000u);
  MoveTo(w_, 20, 20);
  // The stay fill over the window's black, not over the normal red.
  uint32_t p = Shown();
  EXPECT_EQ(Red(p), 0);
  EXPECT_NEAR(Green(p), 128, 2);
}

TEST_F(BkManagerTest, ClearingTakesEveryEntryAway) {
  HELE blue = XC_GetObjectByID(w_, 2);
  EXPECT_EQ(Blue(XTest_ReadPixel(w_, 70, 20)), 0xFF);
  XBkM_Clear(XEle_GetBkManager(blue));
  EXPECT_EQ(Rgb(XTest_ReadPixel(w_, 70, 20)), 0x000000u);
  XEle_AddBkImage(blue, XImage_LoadFile(Picture("red.png", 0xFF0000).c_str(), TRUE));
  EXPECT_EQ(Rgb(XTest_ReadPixel(w_, 70, 20)), 0xFF0000u);
  XEle_ClearBkInfo(blue);
  EXPECT_EQ(Rgb(XTest_ReadPixel(w_, 70, 20)), 0x000000u);
}

TEST_F(BkManagerTest, PicturesStretchOverTheElementAndBadHandlesAreIgnored) {
  HIMAGE red = XImage_LoadFile(Picture("red.png", 0xFF0000, 4, 4).c_str(), TRUE);
  EXPECT_EQ(XBkM_AddImage(manager_, 0, red), 1);
  EXPECT_EQ(XBkM_AddImage(manager_, 0, 0), 1);
  EXPECT_EQ(XBkM_AddImage(manager_, 0, element_), 1);  // not a picture
  EXPECT_EQ(Rgb(XTest_ReadPixel(w_, 38, 38)), 0xFF0000u);
  EXPECT_EQ(XBkM_AddFill(0, 0, 0, 255), 0);
  EXPECT_EQ(XEle_GetBkManager(0), 0);
  XBkM_Clear(0);
}
