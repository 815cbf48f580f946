// Tree views: items built from the normal and the selected-item template, event 122 each time
// an item's template is built, item heights, selection by the pointer and the row fills.
#include <set>

#include "XcguiTestSupport.h"

namespace {

const char* kTree = R"(<window width="200" height="300" bkcolor="#000000">
  <tree id="5" x="0" y="0" width="150" height="fill" connect-lines="false"/>
</window>
)";
const char* kNormal = R"(<template>
  <shapetext id="3" bind="name" x="0" y="0" width="fill" height="fill"/>
</template>
)";
// Only the selected item shows its icon (ID 9), as the navigation tree's templates do.
const char* kSelected = R"(<template>
  <shapepic id="9" bind="image" x="0" y="0" width="20" height="20"/>
  <shapetext id="3" bind="name" x="30" y="0" width="fill" height="fill"/>
</template>
)";

// What a handler of 122 saw while the item was being announced.
struct Announced {
  int id;
  BOOL selected;
  bool hasIcon;
  std::string name;
};
std::vector<Announced> Built;

int OnItemBuilt(HXCGUI tree, int event, WPARAM wParam, LPARAM lParam, BOOL* handled) {
  const auto* item = reinterpret_cast<const XC_TreeItem*>(wParam);
  Built.push_back({item->nID, item->selected, XTree_GetTemplateObject(tree, item->nID, 9) != 0,
                   Utf8(XShapeText_GetText(XTree_GetTemplateObject(tree, item->nID, 3)))});
  return Logged<122>(tree, event, wParam, lParam, handled);
}

}  // namespace

class TreeViewTest : public XcguiTest {
 protected:
  void SetUp() override {
    XcguiTest::SetUp();
    Built.clear();
    w_ = Load("tree.xml", kTree);
    ASSERT_NE(w_, 0);
    tree_ = XC_GetObjectByID(w_, 5);
    XTree_EnableConnectLine(tree_, FALSE, FALSE);
    XTree_SetItemHeightDefault(tree_, 30, 35);
    ASSERT_TRUE(XTree_SetItemTemplateXML(tree_, Template("normal.xml", kNormal).c_str()));
    adapter_ = XAdTree_Create();
    XTree_BindAdapter(tree_, adapter_);
    XAdTree_AddColumn(adapter_, u"name");
    XAdTree_AddColumn(adapter_, u"image");
    XEle_RegEventC(tree_, XE_TREE_TEMP_CREATE_END, OnItemBuilt);
    icon_ = XImage_LoadFile(Picture("icon.png", 0x00FF00).c_str(), TRUE);
    for (const char16_t* name : {u"首页", u"视频", u"图片", u"文档", u"智能"}) {
      int id = XAdTree_InsertItemText(adapter_, name, 0, -3);
      XAdTree_SetItemImage(adapter_, id, 1, icon_);
    }
  }
  void UseSelectedTemplate() {
    ASSERT_TRUE(XTree_SetItemTemplateXMLSel(tree_, Template("selected.xml", kSelected).c_str()));
  }
  RECT Row(int id) { return RectOf(XTree_GetTemplateObject(tree_, id, 3)); }
  void ClickItem(int id) {
    RECT r = Row(id);
    ClickAt(w_, 140, r.top + 2);
  }
  std::set<std::pair<int, bool>> BuiltSince(size_t first) {
    std::set<std::pair<int, bool>> out;
    for (size_t i = first; i < Built.size(); ++i) out.insert({Built[i].id, Built[i].selected != FALSE});
    return out;
  }

  HWINDOW w_ = 0;
  HELE tree_ = 0;
  HXCGUI adapter_ = 0;
  HIMAGE icon_ = 0;
};

TEST_F(TreeViewTest, EveryItemIsAnnouncedOnceFromTheNormalTemplate) {
  UseSelectedTemplate();
  XWnd_AdjustLayout(w_);
  ASSERT_EQ(Built.size(), 5u);
  const char* names[] = {"首页", "视频", "图片", "文档", "智能"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(Built[size_t(i)].id, i + 1);
    EXPECT_FALSE(Built[size_t(i)].selected);
    EXPECT_FALSE(Built[size_t(i)].hasIcon);
    EXPECT_EQ(Built[size_t(i)].name, names[i]);
  }
  XWnd_AdjustLayout(w_);
  EXPECT_EQ(Built.size(), 5u);
}

TEST_F(TreeViewTest, SelectingRebuildsTheOldAndNewItemsFromTheirTemplates) {
  UseSelectedTemplate();
  XWnd_AdjustLayout(w_);
  size_t before = Built.size();
  ClickItem(3);
  EXPECT_EQ(BuiltSince(before), (std::set<std::pair<int, bool>>{{3, true}}));
  EXPECT_TRUE(Built.back().hasIcon);  // the handler finds the icon while the event runs
  EXPECT_EQ(Built.back().name, "图片");
  HELE icon = XTree_GetTemplateObject(tree_, 3, 9);
  ASSERT_NE(icon, 0);
  EXPECT_EQ(Rgb(PixelAtCentre(w_, icon)), 0x00FF00u);  // column "image" is bound to it
  before = Built.size();
  ClickItem(5);
  EXPECT_EQ(BuiltSince(before), (std::set<std::pair<int, bool>>{{3, false}, {5, true}}));
  EXPECT_EQ(XTree_GetTemplateObject(tree_, 3, 9), 0);
  EXPECT_EQ(XC_GetObjectType(icon), 0);  // the old item's elements are gone
  before = Built.size();
  ClickItem(5);  // already selected
  EXPECT_EQ(Built.size(), before);
}

TEST_F(TreeViewTest, WithoutASelectedTemplateSelectionKeepsTheElements) {
  XWnd_AdjustLayout(w_);
  HELE name = XTree_GetTemplateObject(tree_, 2, 3);
  size_t before = Built.size();
  ClickItem(2);
  EXPECT_EQ(Built.size(), before);
  EXPECT_EQ(XTree_GetTemplateObject(tree_, 2, 3), name);
}

TEST_F(TreeViewTest, SelectedItemTakesTheSelectedHeight) {
  UseSelectedTemplate();
  XWnd_AdjustLayout(w_);
  for (int id = 1; id <= 5; ++id) {
    EXPECT_EQ(Row(id).top, (id - 1) * 30);
    EXPECT_EQ(Row(id).bottom - Row(id).top, 30);
  }
  ClickItem(2);
  EXPECT_EQ(Row(2).top, 30);
  EXPECT_EQ(Row(2).bottom - Row(2).top, 35);
  EXPECT_EQ(Row(3).top, 65);
  XTree_SetItemHeightDefault(tree_, 40, 50);
  XWnd_AdjustLayout(w_);
  EXPECT_EQ(Row(2).top, 40);
  EXPECT_EQ(Row(3).top, 90);
}

TEST_F(TreeViewTest, RowFillsShowThePointerAndTheSelection) {
  XWnd_AdjustLayout(w_);
  HBKM manager = XEle_GetBkManager(tree_);
  XBkM_AddFill(manager, XC_STATE_TREE_ITEM_STAY, 0x00FF00, 255);    // green
  XBkM_AddFill(manager, XC_STATE_TREE_ITEM_SELECT, 0xFF0000, 255);  // blue
  auto rowColour = [&](int id) { return Rgb(XTest_ReadPixel(w_, 140, Row(id).top + 2)); };
  MoveTo(w_, 140, Row(4).top + 2);
  EXPECT_EQ(rowColour(4), 0x00FF00u);
  EXPECT_EQ(rowColour(1), 0x000000u);
  ClickItem(1);
  EXPECT_EQ(rowColour(1), 0x0000FFu);
  EXPECT_EQ(rowColour(4), 0x000000u);
  // A fully transparent selection fill, as the navigation tree uses, leaves the row bare.
  XBkM_Clear(manager);
  XBkM_AddFill(manager, XC_STATE_TREE_ITEM_SELECT, 0x443F27, 0);
  EXPECT_EQ(rowColour(1), 0x000000u);
}

TEST_F(TreeViewTest, TextChangesReachBuiltItems) {
  XWnd_AdjustLayout(w_);
  EXPECT_TRUE(XAdTree_SetItemTextEx(adapter_, 2, u"name", u"影音"));
  EXPECT_EQ(Utf8(XShapeText_GetText(XTree_GetTemplateObject(tree_, 2, 3))), "影音");
  EXPECT_FALSE(XAdTree_SetItemTextEx(adapter_, 99, u"name", u"x"));
  EXPECT_FALSE(XAdTree_SetItemTextEx(adapter_, 2, u"nothing", u"x"));
}

TEST_F(TreeViewTest, TemplateObjectsNeedABuiltItemAndAnId) {
  EXPECT_EQ(XTree_GetTemplateObject(tree_, 1, 3), 0);  // not laid out yet
  XWnd_AdjustLayout(w_);
  EXPECT_NE(XTree_GetTemplateObject(tree_, 1, 3), 0);
  EXPECT_EQ(XTree_GetTemplateObject(tree_, 1, 4), 0);
  EXPECT_EQ(XTree_GetTemplateObject(tree_, 1, 0), 0);
  EXPECT_EQ(XTree_GetTemplateObject(tree_, 6, 3), 0);
  EXPECT_EQ(XTree_GetTemplateObject(0, 1, 3), 0);
  EXPECT_EQ(XC_GetObjectByID(w_, 3), 0);
}
