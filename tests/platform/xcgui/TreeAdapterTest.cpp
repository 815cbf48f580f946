// Tree adapters: item IDs, insertion positions, children and columns, as a tree shows them.
#include "XcguiTestSupport.h"

class TreeAdapterTest : public XcguiTest {
 protected:
  void SetUp() override {
    XcguiTest::SetUp();
    w_ = Load(
        "tree.xml",
        R"(<window width="200" height="300"><tree id="1" x="0" y="0" width="fill" height="fill" item-height="20" indent="16"/></window>)");
    ASSERT_NE(w_, 0);
    tree_ = XC_GetObjectByID(w_, 1);
    ASSERT_TRUE(XTree_SetItemTemplateXML(
        tree_,
        Template(
            "t.xml",
            R"(<template><shapetext id="3" bind="name" x="0" y="0" width="fill" height="fill"/></template>)")
            .c_str()));
    adapter_ = XAdTree_Create();
    XTree_BindAdapter(tree_, adapter_);
    EXPECT_EQ(XAdTree_AddColumn(adapter_, u"name"), 0);
    EXPECT_EQ(XAdTree_AddColumn(adapter_, u"image"), 1);
  }
  RECT Row(int id) {
    XWnd_AdjustLayout(w_);
    return RectOf(XTree_GetTemplateObject(tree_, id, 3));
  }
  HWINDOW w_ = 0;
  HELE tree_ = 0;
  HXCGUI adapter_ = 0;
};

TEST_F(TreeAdapterTest, IdsCountFromOneAndMinusThreeAppends) {
  EXPECT_EQ(XAdTree_InsertItemText(adapter_, u"a", 0, -3), 1);
  EXPECT_EQ(XAdTree_InsertItemText(adapter_, u"b", 0, -3), 2);
  EXPECT_EQ(XAdTree_InsertItemText(adapter_, u"c", 0, -3), 3);
  EXPECT_EQ(Row(1).top, 0);
  EXPECT_EQ(Row(3).top, 40);
}

TEST_F(TreeAdapterTest, InsertingBeforeASiblingPutsTheItemInFrontOfIt) {
  XAdTree_InsertItemText(adapter_, u"a", 0, -3);
  XAdTree_InsertItemText(adapter_, u"b", 0, -3);
  EXPECT_EQ(XAdTree_InsertItemText(adapter_, u"front", 0, 2), 3);
  EXPECT_EQ(Row(3).top, 20);
  EXPECT_EQ(Row(2).top, 40);
}

TEST_F(TreeAdapterTest, ChildrenFollowTheirParentIndented) {
  XAdTree_InsertItemText(adapter_, u"parent", 0, -3);
  XAdTree_InsertItemText(adapter_, u"next", 0, -3);
  int child = XAdTree_InsertItemText(adapter_, u"child", 1, -3);
  EXPECT_EQ(child, 3);
  EXPECT_EQ(Row(child).top, 20);
  EXPECT_EQ(Row(child).left, 16);
  EXPECT_EQ(Row(2).top, 40);
  EXPECT_EQ(XAdTree_InsertItemText(adapter_, u"orphan", 77, -3), 0);
}

TEST_F(TreeAdapterTest, ColumnsAreNamedAndUnknownOnesRefused) {
  int id = XAdTree_InsertItemTextEx(adapter_, u"image", u"x", 0, -3);
  EXPECT_EQ(id, 1);
  XWnd_AdjustLayout(w_);
  EXPECT_EQ(Utf8(XShapeText_GetText(XTree_GetTemplateObject(tree_, id, 3))), "");  // "name" is empty
  XAdTree_SetItemTextEx(adapter_, id, u"name", u"名字");
  EXPECT_EQ(Utf8(XShapeText_GetText(XTree_GetTemplateObject(tree_, id, 3))), "名字");
  EXPECT_EQ(XAdTree_InsertItemTextEx(adapter_, u"none", u"x", 0, -3), 0);
  EXPECT_FALSE(XAdTree_SetItemImage(adapter_, id, 5, 0));
  EXPECT_FALSE(XAdTree_SetItemImage(adapter_, 42, 1, 0));
  EXPECT_TRUE(XAdTree_SetItemImage(adapter_, id, 1, 0));
  EXPECT_EQ(XAdTree_InsertItemText(0, u"x", 0, -3), 0);
}
