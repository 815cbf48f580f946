// Buttons: background pictures per state (normal, pointer over, pressed, checked), the check
// state, and the plain face of undressed buttons.
#include "XcguiTestSupport.h"

namespace {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00;

const char* kButtons = R"(<window width="200" height="60" bkcolor="#000000">
  <button id="1" x="10" y="10" width="28" height="26"/>
  <button id="2" x="60" y="10" width="30" height="30" checkable="true" image-normal="pics/red.png"
          image-stay="pics/green.png" image-down="pics/blue.png" image-check="pics/yellow.png"/>
  <button id="3" x="110" y="10" width="30" height="30" text="OK"/>
  <button id="4" x="150" y="10" width="30" height="30" bk-transparent="true"/>
</window>
)";

}  // namespace

class ButtonTest : public XcguiTest {
 protected:
  void SetUp() override {
    XcguiTest::SetUp();
    Picture("pics/red.png", kRed);
    Picture("pics/green.png", kGreen);
    Picture("pics/blue.png", kBlue);
    Picture("pics/yellow.png", kYellow);
    w_ = Load("b.xml", kButtons);
    ASSERT_NE(w_, 0);
  }
  uint32_t Face(int id) { return Rgb(PixelAtCentre(w_, XC_GetObjectByID(w_, id))); }
  HWINDOW w_ = 0;
};

TEST_F(ButtonTest, StateImagesCutFromOneStripFollowThePointer) {
  // The way the main window dresses its system buttons: three cuts of one strip.
  WriteBandsPng(Path("strip.png"), 29, 26, {kRed, kGreen, kBlue});
  HELE button = XC_GetObjectByID(w_, 1);
  XEle_EnableBkTransparent(button, TRUE);
  HBKM manager = XEle_GetBkManager(button);
  XBkM_Clear(manager);
  const std::pair<int, int> cuts[] = {
      {XC_STATE_BUTTON_NORMAL, 0}, {XC_STATE_BUTTON_STAY, 29}, {XC_STATE_BUTTON_DOWN, 58}};
  for (auto [state, x] : cuts)
    XBkM_AddImage(manager, state, XImage_LoadFileRect(UPath("strip.png").c_str(), x, 0, 28, 26));
  EXPECT_EQ(Face(1), kRed);
  Send(XTest_MouseMove, w_, 20, 20);
  EXPECT_EQ(Face(1), kGreen);
  Send(XTest_MouseDown, w_, 20, 20);
  EXPECT_EQ(Face(1), kBlue);
  Send(XTest_MouseUp, w_, 20, 20);
  EXPECT_EQ(Face(1), kGreen);
  Send(XTest_MouseMove, w_, 100, 50);
  EXPECT_EQ(Face(1), kRed);
}

TEST_F(ButtonTest, CheckedPictureWinsOverTheOthersWhileChecked) {
  EXPECT_EQ(Face(2), kRed);
  Send(XTest_Click, w_, 70, 20);  // a checkable button checks itself
  EXPECT_TRUE(XTest_ButtonChecked(XC_GetObjectByID(w_, 2)));
  EXPECT_EQ(Face(2), kYellow);
  XBtn_SetCheck(XC_GetObjectByID(w_, 2), FALSE);
  EXPECT_EQ(Face(2), kGreen);  // still under the pointer
  Send(XTest_MouseMove, w_, 195, 55);
  EXPECT_EQ(Face(2), kRed);
  XBtn_SetCheck(XC_GetObjectByID(w_, 2), TRUE);
  EXPECT_EQ(Face(2), kYellow);
}

TEST_F(ButtonTest, SetCheckWorksOnAnyButtonAndIgnoresOtherObjects) {
  HELE plain = XC_GetObjectByID(w_, 3);
  XBtn_SetCheck(plain, TRUE);
  EXPECT_TRUE(XTest_ButtonChecked(plain));
  Send(XTest_Click, w_, 120, 20);  // not checkable: a click leaves the state alone
  EXPECT_TRUE(XTest_ButtonChecked(plain));
  XBtn_SetCheck(plain, FALSE);
  EXPECT_FALSE(XTest_ButtonChecked(plain));
  XBtn_SetCheck(w_, TRUE);
  XBtn_SetCheck(0, TRUE);
  EXPECT_FALSE(XTest_ButtonChecked(w_));
}

TEST_F(ButtonTest, UndressedButtonsDrawAPlainFaceUnlessTransparent) {
  // A corner, away from the caption "OK".
  uint32_t face = Rgb(XTest_ReadPixel(w_, 112, 12));
  EXPECT_GT(Red(face), 0x80);
  EXPECT_EQ(Red(face), Blue(face));
  EXPECT_EQ(Face(4), 0x000000u);
  XEle_EnableBkTransparent(XC_GetObjectByID(w_, 3), TRUE);
  EXPECT_EQ(Rgb(XTest_ReadPixel(w_, 112, 12)), 0x000000u);
}
