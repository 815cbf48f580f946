// The exported functions given handles that are missing, stale or of another kind: each one
// returns its empty result and changes nothing, as the program never tests toolkit results.
#include "XcguiTestSupport.h"

class ApiTest : public XcguiTest {
 protected:
  void SetUp() override {
    XcguiTest::SetUp();
    w_ = Load("w.xml", R"(<window width="100" height="100"><element id="1"/><element id="2"/></window>)");
    ASSERT_NE(w_, 0);
    HELE doomed = XC_GetObjectByID(w_, 2);
    XEle_Destroy(doomed);
    XTest_Pump(1);
    image_ = XImage_LoadFile(Picture("p.png", 0xFF0000).c_str(), TRUE);
    // None, destroyed, a picture, a plain element, never issued.
    bad_ = {0, doomed, image_, XC_GetObjectByID(w_, 1), 0x7FFFFFF0};
  }
  HWINDOW w_ = 0;
  HIMAGE image_ = 0;
  std::vector<HXCGUI> bad_;
};

TEST_F(ApiTest, QueriesOnBadHandlesGiveEmptyResults) {
  for (HXCGUI h : bad_) {
    SCOPED_TRACE(h);
    EXPECT_EQ(XTree_GetTemplateObject(h, 1, 1), 0);
    EXPECT_EQ(XListView_GetTemplateObject(h, 0, 0, 1), 0);
    EXPECT_EQ(XWnd_GetHWND(h), nullptr);
    EXPECT_EQ(XShapeText_GetText(h), nullptr);
    EXPECT_EQ(XEdit_GetLength(h), 0);
    char16_t text[4] = {u'x', 0, 0, 0};
    EXPECT_EQ(XEdit_GetText(h, text, 4), 0);
    EXPECT_EQ(text[0], u'x');  // untouched
    int group = 5, item = 5;
    EXPECT_FALSE(XListView_GetSelectItem(h, &group, &item));
    EXPECT_EQ(group, -1);
    EXPECT_EQ(item, -1);
    EXPECT_FALSE(XWnd_ShowWindow(h, SW_SHOW));
    EXPECT_FALSE(XTree_SetItemTemplateXML(h, UPath("none.xml").c_str()));
    EXPECT_FALSE(XListView_SetItemTemplateXML(h, UPath("none.xml").c_str()));
    EXPECT_EQ(XAdTree_AddColumn(h, u"name"), -1);
    EXPECT_EQ(XAdTree_InsertItemText(h, u"x", 0, -3), 0);
    EXPECT_EQ(XAdTree_InsertItemTextEx(h, u"name", u"x", 0, -3), 0);
    EXPECT_FALSE(XAdTree_SetItemTextEx(h, 1, u"name", u"x"));
    EXPECT_FALSE(XAdTree_SetItemImage(h, 1, 0, image_));
    EXPECT_EQ(XAdListView_Group_AddColumn(h, u"name3"), -1);
    EXPECT_EQ(XAdListView_Item_AddColumn(h, u"name"), -1);
    EXPECT_EQ(XListView_Group_AddItemText(h, u"g", -1), -1);
    EXPECT_EQ(XListView_Item_AddItemImage(h, 0, image_, -1), -1);
    EXPECT_FALSE(XListView_Item_SetTextEx(h, 0, 0, u"name", u"x"));
    EXPECT_EQ(XBkM_AddFill(h, 0, 0, 255), 0);
    EXPECT_EQ(XBkM_AddImage(h, 0, image_), 0);
  }
  EXPECT_EQ(XC_GetObjectType(bad_[0]), 0);
  EXPECT_EQ(XC_GetObjectType(bad_[1]), 0);
  EXPECT_EQ(XC_GetObjectType(bad_[4]), 0);
}

TEST_F(ApiTest, CommandsOnBadHandlesDoNothing) {
  uint32_t before = XTest_ReadPixel(w_, 50, 50);
  for (HXCGUI h : bad_) {
    if (h == XC_GetObjectByID(w_, 1)) continue;  // a real element takes element commands
    SCOPED_TRACE(h);
    XEle_ShowEle(h, FALSE);
    XEle_AdjustLayout(h);
    XEle_RedrawEle(h, TRUE);
    XEle_SetAlpha(h, 0);
    XEle_SetLayoutWidth(h, 0, 10);
    XLayout_SetPadding(h, 1, 2, 3, 4);
    XEle_EnableBkTransparent(h, TRUE);
    XEle_ClearBkInfo(h);
    XEle_AddBkImage(h, image_);
    XEle_Destroy(h);
    XBtn_SetCheck(h, TRUE);
    XShapePic_SetImage(h, image_);
    XShapeText_SetText(h, u"x");
    XBkM_Clear(h);
    XWnd_AdjustLayout(h);
    XWnd_RedrawWnd(h, TRUE);
    XWnd_Move(h, 1, 1);
    XWnd_SetMinimumSize(h, 10, 10);
    XWnd_SetTransparentType(h, 1);
    XWnd_SetTransparentAlpha(h, 0);
    XTree_BindAdapter(h, XAdTree_Create());
    XTree_SetItemHeightDefault(h, 1, 1);
    XTree_EnableConnectLine(h, TRUE, TRUE);
    XListView_BindAdapter(h, XAdListView_Create());
    XListView_SetItemSize(h, 1, 1);
    XListView_SetGroupHeight(h, 1);
    XListView_DeleteAllGroup(h);
    XListView_DeleteAllItem(h);
  }
  XTest_Pump(2);
  EXPECT_EQ(XTest_ReadPixel(w_, 50, 50), before);
  EXPECT_EQ(XC_GetObjectType(w_), XC_WINDOW);
  XEle_AddBkImage(XC_GetObjectByID(w_, 1), image_);  // the picture survived being misused
  EXPECT_EQ(Rgb(XTest_ReadPixel(w_, 50, 50)), 0xFF0000u);
}

TEST_F(ApiTest, MissingTextsAndPathsAreEmpty) {
  EXPECT_EQ(XC_LoadLayout(nullptr, 0), 0);
  EXPECT_EQ(XImage_LoadFile(nullptr, TRUE), 0);
  EXPECT_EQ(XImage_LoadFileRect(nullptr, 0, 0, 1, 1), 0);
  EXPECT_EQ(XC_AnsiToUnicode(nullptr, -1, nullptr, 0), 0);
  EXPECT_EQ(XC_UnicodeToAnsi(nullptr, -1, nullptr, 0), 0);
  EXPECT_TRUE(XC_LoadResource(nullptr));  // no file, nothing to change
}

TEST_F(ApiTest, AdaptersBindOnlyToTheirOwnKindOfView) {
  HWINDOW w = Load("v.xml", R"(<window width="100" height="100"><tree id="1"/><listview id="2"/></window>)");
  HELE tree = XC_GetObjectByID(w, 1), list = XC_GetObjectByID(w, 2);
  XTree_BindAdapter(tree, XAdListView_Create());
  XListView_BindAdapter(list, XAdTree_Create());
  EXPECT_EQ(XListView_Group_AddItemText(list, u"g", -1), -1);  // no list adapter bound
  HXCGUI treeData = XAdTree_Create();
  XTree_BindAdapter(tree, treeData);
  XAdTree_AddColumn(treeData, u"name");
  EXPECT_EQ(XAdTree_InsertItemText(treeData, u"x", 0, -3), 1);
  XWnd_AdjustLayout(w);
  XTree_BindAdapter(tree, 0);  // unbinding leaves an empty tree
  XWnd_AdjustLayout(w);
  EXPECT_EQ(XTree_GetTemplateObject(tree, 1, 1), 0);
}
