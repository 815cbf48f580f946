// Pictures: loading whole files and parts of them, stretched or at their own size, the cache
// that hands out one handle per file and part, and failures.
#include "XcguiTestSupport.h"

namespace {

const char* kPictures = R"(<window width="120" height="40" bkcolor="#000000">
  <shapepic id="1" x="0" y="0" width="40" height="40"/>
  <shapepic id="2" x="60" y="0" width="40" height="40"/>
</window>
)";

}  // namespace

class ImageTest : public XcguiTest {
 protected:
  void SetUp() override {
    XcguiTest::SetUp();
    WriteBandsPng(Path("strip.png"), 10, 10, {0xFF0000, 0x00FF00, 0x0000FF});
    w_ = Load("p.xml", kPictures);
    ASSERT_NE(w_, 0);
  }
  HWINDOW w_ = 0;
};

TEST_F(ImageTest, LoadFileRectCutsOnePartOfAStrip) {
  HIMAGE green = XImage_LoadFileRect(UPath("strip.png").c_str(), 10, 0, 10, 10);
  ASSERT_NE(green, 0);
  XShapePic_SetImage(XC_GetObjectByID(w_, 1), green);
  EXPECT_EQ(Rgb(XTest_ReadPixel(w_, 2, 2)), 0x00FF00u);
  EXPECT_EQ(Rgb(XTest_ReadPixel(w_, 38, 38)), 0x00FF00u);
}

TEST_F(ImageTest, StretchedPicturesFillTheirBoxOthersKeepTheirSize) {
  XShapePic_SetImage(XC_GetObjectByID(w_, 1), XImage_LoadFile(UPath("strip.png").c_str(), TRUE));
  XShapePic_SetImage(XC_GetObjectByID(w_, 2), XImage_LoadFile(UPath("strip.png").c_str(), FALSE));
  EXPECT_EQ(Rgb(XTest_ReadPixel(w_, 35, 35)), 0x0000FFu);  // the strip spread over 40 pixels
  EXPECT_EQ(Rgb(XTest_ReadPixel(w_, 85, 5)), 0x0000FFu);   // the third band at its own place
  EXPECT_EQ(Rgb(XTest_ReadPixel(w_, 95, 5)), 0x000000u);   // right of the 30-pixel strip
  EXPECT_EQ(Rgb(XTest_ReadPixel(w_, 65, 15)), 0x000000u);  // below the 10-pixel strip
}

TEST_F(ImageTest, TheSameFileAndPartGiveTheSameHandle) {
  std::u16string strip = UPath("strip.png");
  EXPECT_EQ(XImage_LoadFile(strip.c_str(), TRUE), XImage_LoadFile(strip.c_str(), TRUE));
  EXPECT_NE(XImage_LoadFile(strip.c_str(), TRUE), XImage_LoadFile(strip.c_str(), FALSE));
  EXPECT_EQ(XImage_LoadFileRect(strip.c_str(), 0, 0, 10, 10),
            XImage_LoadFileRect(strip.c_str(), 0, 0, 10, 10));
  EXPECT_NE(XImage_LoadFileRect(strip.c_str(), 0, 0, 10, 10),
            XImage_LoadFileRect(strip.c_str(), 10, 0, 10, 10));
}

TEST_F(ImageTest, MissingFilesAndEmptyPartsGiveNoHandle) {
  EXPECT_EQ(XImage_LoadFile(UPath("none.png").c_str(), TRUE), 0);
  WriteFile(Path("text.png"), "not a picture");
  EXPECT_EQ(XImage_LoadFile(UPath("text.png").c_str(), TRUE), 0);
  EXPECT_EQ(XImage_LoadFile(nullptr, TRUE), 0);
  EXPECT_EQ(XImage_LoadFileRect(UPath("strip.png").c_str(), 0, 0, 0, 10), 0);
  EXPECT_EQ(XImage_LoadFileRect(UPath("strip.png").c_str(), 100, 0, 10, 10), 0);  // outside
  // A part reaching past the edge is cut at the edge.
  EXPECT_NE(XImage_LoadFileRect(UPath("strip.png").c_str(), 25, 0, 10, 10), 0);
}

TEST_F(ImageTest, PathsWithChineseFoldersAndBackslashesLoad) {
  WritePng(Path("资源文件/download/Download_1.png"), 4, 4, 0xFF0000);
  std::u16string windowsStyle = UPath("资源文件") + u"\\download\\Download_1.png";
  HIMAGE image = XImage_LoadFile(windowsStyle.c_str(), TRUE);
  ASSERT_NE(image, 0);
  XShapePic_SetImage(XC_GetObjectByID(w_, 1), image);
  EXPECT_EQ(Rgb(XTest_ReadPixel(w_, 20, 20)), 0xFF0000u);
}
