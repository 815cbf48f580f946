// Shape pictures: their size follows the picture unless the layout fixes it, and a bad handle
// clears the picture.
#include "XcguiTestSupport.h"

class ShapePictureTest : public XcguiTest {};

TEST_F(ShapePictureTest, AutomaticSizeIsThePicturesSize) {
  Picture("pics/icon.png", 0x00FF00, 24, 16);
  HWINDOW w = Load("w.xml", R"(<window width="100" height="50" layout="horizontal">
  <shapepic id="1" image="pics/icon.png"/>
  <element id="2" width="10" height="10"/>
</window>
)");
  ASSERT_NE(w, 0);
  RECT r = RectOf(XC_GetObjectByID(w, 1));
  EXPECT_EQ(r.right - r.left, 24);
  EXPECT_EQ(r.bottom - r.top, 16);
  EXPECT_EQ(RectOf(XC_GetObjectByID(w, 2)).left, 24);
}

TEST_F(ShapePictureTest, SettingABadHandleClearsThePicture) {
  Picture("pics/icon.png", 0x00FF00, 24, 16);
  HWINDOW w = Load("w.xml", R"(<window width="100" height="50" bkcolor="#000000">
  <shapepic id="1" x="0" y="0" width="20" height="20" image="pics/icon.png"/>
</window>
)");
  HELE picture = XC_GetObjectByID(w, 1);
  EXPECT_EQ(Rgb(XTest_ReadPixel(w, 10, 10)), 0x00FF00u);
  XShapePic_SetImage(picture, 0);
  EXPECT_EQ(Rgb(XTest_ReadPixel(w, 10, 10)), 0x000000u);
  XShapePic_SetImage(picture, XImage_LoadFile(UPath("pics/icon.png").c_str(), TRUE));
  EXPECT_EQ(Rgb(XTest_ReadPixel(w, 10, 10)), 0x00FF00u);
  XShapePic_SetImage(picture, w);  // a window is not a picture
  EXPECT_EQ(Rgb(XTest_ReadPixel(w, 10, 10)), 0x000000u);
}
