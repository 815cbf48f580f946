// List views: only the items in sight have elements, however long the list; template event
// 142 when an item's elements are built, selection event 146, the item state fills, groups,
// item size and group height.
#include <climits>
#include <set>

#include "XcguiTestSupport.h"

namespace {

// One card: texts bound to columns, a hidden marker (8), an indicator (10) and a check button (20).
const char* kCard = R"(<template>
  <shapetext id="11" bind="name" x="0" y="0" width="fill" height="20"/>
  <shapetext id="16" bind="isCollection" x="0" y="20" width="30" height="20"/>
  <element id="8" x="60" y="0" width="20" height="20" visible="false"/>
  <element id="10" x="0" y="30" width="20" height="20"/>
  <button id="20" x="30" y="30" width="20" height="20" checkable="true" bk-transparent="true"/>
</template>
)";

// 400 wide less the scroll bar holds three 100-pixel items with 10-pixel gaps; rows are 60 apart.
const char* kList = R"(<window width="400" height="300" bkcolor="#000000">
  <listview id="2" x="0" y="0" width="fill" height="fill" item-width="100" item-height="50" item-gap="10" group-height="0"/>
</window>
)";
constexpr int kColumns = 3, kRow = 60, kVisibleRows = 5;  // 300 / 60

// What a handler of 142 saw while the item was being announced.
struct Announced {
  int group, item;
  std::string name;
  int width;
};
std::vector<Announced> Built;
HIMAGE IndicatorImage = 0;

// Dresses the card the way the catalogue does: the button mirrors column "isCollection", the
// indicator and the button get handlers of their own.
int OnTemplateBuilt(HXCGUI list, int event, WPARAM wParam, LPARAM lParam, BOOL* handled) {
  const auto* record = reinterpret_cast<const XC_ListViewItem*>(wParam);
  HELE name = XListView_GetTemplateObject(list, record->iGroup, record->iItem, 11);
  HELE flag = XListView_GetTemplateObject(list, record->iGroup, record->iItem, 16);
  HELE button = XListView_GetTemplateObject(list, record->iGroup, record->iItem, 20);
  HELE indicator = XListView_GetTemplateObject(list, record->iGroup, record->iItem, 10);
  RECT r{};
  XTest_GetRect(name, &r);
  Built.push_back({record->iGroup, record->iItem, Utf8(XShapeText_GetText(name)), int(r.right - r.left)});
  XBtn_SetCheck(button, Utf8(XShapeText_GetText(flag)) != "0");
  if (XC_GetObjectType(indicator) == XC_ELE) {
    XEle_ClearBkInfo(indicator);
    XEle_AddBkImage(indicator, IndicatorImage);
    XEle_AdjustLayout(indicator);  // lays the window out again while items are being announced
    XEle_RedrawEle(indicator, FALSE);
    XEle_RegEventC1(indicator, XE_LBUTTONUP, Logged<10>);
  }
  XEle_RegEventC1(button, XE_BNCLICK, Logged<20>);
  return Logged<142>(list, event, wParam, lParam, handled);
}

// Shows element 8 of the selected card and hides the one shown before, from a step handed to
// the UI thread, as the catalogue does.
HELE Revealed = 0;
HELE RevealList = 0;
intptr_t Reveal(intptr_t packed) {
  HELE marker = XListView_GetTemplateObject(RevealList, int(packed >> 16), int(packed & 0xFFFF), 8);
  if (Revealed) XEle_ShowEle(Revealed, FALSE);
  Revealed = marker;
  if (marker) {
    XEle_ShowEle(marker, TRUE);
    XEle_AdjustLayout(RevealList);
  }
  return 0;
}
int OnSelected(HXCGUI list, int, WPARAM group, LPARAM item, BOOL*) {
  RevealList = list;
  XC_CallUiThread(Reveal, intptr_t((group << 16) | item));
  return 0;
}

}  // namespace

class ListViewTest : public XcguiTest {
 protected:
  void SetUp() override {
    XcguiTest::SetUp();
    Built.clear();
    Revealed = 0;
    IndicatorImage = XImage_LoadFile(Picture("download/Download_1.png", 0xFF00FF).c_str(), TRUE);
    w_ = Load("list.xml", kList);
    ASSERT_NE(w_, 0);
    list_ = XC_GetObjectByID(w_, 2);
    ASSERT_TRUE(XListView_SetItemTemplateXML(list_, Template("card.xml", kCard).c_str()));
    adapter_ = XAdListView_Create();
    XAdListView_Item_AddColumn(adapter_, u"image1");
    XAdListView_Item_AddColumn(adapter_, u"name");
    XAdListView_Item_AddColumn(adapter_, u"isCollection");
    XAdListView_Group_AddColumn(adapter_, u"name3");
    XListView_BindAdapter(list_, adapter_);
    XEle_RegEventC(list_, XE_LISTVIEW_TEMP_CREATE_END, OnTemplateBuilt);
    XEle_RegEventC(list_, XE_LISTVIEW_SELECT, Logged<146>);
  }

  // Appends `count` items named "item N" (N counting on from what the group holds).
  void AddItems(int group, int count) {
    for (int i = 0; i < count; ++i) {
      int item = XListView_Item_AddItemImage(list_, group, 0, -1);
      XListView_Item_SetTextEx(list_, group, item, u"name", U("item " + std::to_string(item)).c_str());
      XListView_Item_SetTextEx(list_, group, item, u"isCollection", item % 2 ? u"1" : u"0");
    }
  }
  void Fill(int count) {
    XListView_Group_AddItemText(list_, u"group1", -1);
    AddItems(0, count);
    XWnd_AdjustLayout(w_);
  }
  RECT ItemRect(int group, int item) { return RectOf(XListView_GetTemplateObject(list_, group, item, 11)); }
  // A point of the item that no template element covers.
  uint32_t ItemBackground(int group, int item) {
    RECT r = ItemRect(group, item);
    return Rgb(XTest_ReadPixel(w_, r.left + 85, r.top + 40));
  }
  void ClickItem(int group, int item, int dx = 85, int dy = 40) {
    RECT r = ItemRect(group, item);
    ClickAt(w_, r.left + dx, r.top + dy);
  }
  std::string NameOf(int group, int item) {
    return Utf8(XShapeText_GetText(XListView_GetTemplateObject(list_, group, item, 11)));
  }
  // Whole rows for the visible height, give or take a row cut at either edge (the last row of
  // the list may hold a single item).
  void ExpectAboutOneScreenBuilt() {
    int built = XTest_ListBuiltCount(list_);
    EXPECT_GT(built, kColumns * (kVisibleRows - 1));
    EXPECT_LE(built, kColumns * (kVisibleRows + 1));
  }

  HWINDOW w_ = 0;
  HELE list_ = 0;
  HXCGUI adapter_ = 0;
};

// ---- virtualisation ----

TEST_F(ListViewTest, TenThousandItemsBuildOnlyWhatIsInSight) {
  Fill(10000);
  EXPECT_EQ(XTest_ListItemCount(list_), 10000);
  ExpectAboutOneScreenBuilt();
  EXPECT_EQ(NameOf(0, 0), "item 0");
  EXPECT_EQ(XListView_GetTemplateObject(list_, 0, 100, 11), 0);
  EXPECT_EQ(XListView_GetTemplateObject(list_, 0, 0, 0), 0);  // 0 is no template id
}

TEST_F(ListViewTest, ScrollingToTheMiddleAndTheEndKeepsTheBuiltCountFlat) {
  Fill(10000);
  int rows = (10000 + kColumns - 1) / kColumns;
  XTest_ListScrollTo(list_, rows * kRow / 2);
  ExpectAboutOneScreenBuilt();
  int middle = rows / 2 * kColumns;
  EXPECT_EQ(NameOf(0, middle), "item " + std::to_string(middle));
  EXPECT_EQ(XListView_GetTemplateObject(list_, 0, 0, 11), 0);
  XTest_ListScrollTo(list_, INT_MAX / 2);
  EXPECT_EQ(XTest_ListScrollOffset(list_), rows * kRow - 300);
  ExpectAboutOneScreenBuilt();
  EXPECT_EQ(NameOf(0, 9999), "item 9999");
  EXPECT_EQ(XListView_GetTemplateObject(list_, 0, middle, 11), 0);
  XTest_ListScrollTo(list_, -50);
  EXPECT_EQ(XTest_ListScrollOffset(list_), 0);
  EXPECT_EQ(NameOf(0, 0), "item 0");
}

TEST_F(ListViewTest, RowsOutOfSightAreNotBuiltEvenAtTheEdges) {
  Fill(100);
  EXPECT_EQ(XTest_ListBuiltCount(list_), kColumns * 5);  // rows 0-4; row 5 starts at the bottom edge
  EXPECT_EQ(XListView_GetTemplateObject(list_, 0, 15, 11), 0);
  XTest_ListScrollTo(list_, 30);  // rows 0 and 5 each half in sight
  EXPECT_EQ(XTest_ListBuiltCount(list_), kColumns * 6);
  XTest_ListScrollTo(list_, 55);  // only the gap under row 0 is in sight
  EXPECT_EQ(XTest_ListBuiltCount(list_), kColumns * 5);
  EXPECT_EQ(XListView_GetTemplateObject(list_, 0, 0, 11), 0);
  EXPECT_EQ(NameOf(0, 3), "item 3");
}

TEST_F(ListViewTest, TheWheelScrollsTheList) {
  Fill(100);
  XTest_Wheel(w_, 200, 150, -3);
  XTest_Pump(2);
  EXPECT_GT(XTest_ListScrollOffset(list_), 0);
  int down = XTest_ListScrollOffset(list_);
  XTest_Wheel(w_, 200, 150, 1);
  XTest_Pump(2);
  EXPECT_LT(XTest_ListScrollOffset(list_), down);
}

// ---- event 142 ----

TEST_F(ListViewTest, TemplateEventAnnouncesEachBuiltItemOnceWithItsDataInPlace) {
  Fill(10000);
  int built = XTest_ListBuiltCount(list_);
  ASSERT_EQ(CountEvents(XE_LISTVIEW_TEMP_CREATE_END), built);
  std::set<int> items;
  for (const Announced& a : Built) {
    EXPECT_EQ(a.group, 0);
    EXPECT_EQ(a.name, "item " + std::to_string(a.item));  // the columns are bound before
    EXPECT_EQ(a.width, 100);                              // and the item is laid out
    items.insert(a.item);
  }
  EXPECT_EQ(int(items.size()), built);
  XWnd_AdjustLayout(w_);  // nothing new to announce
  EXPECT_EQ(CountEvents(XE_LISTVIEW_TEMP_CREATE_END), built);
}

TEST_F(ListViewTest, ScrollingAnnouncesOnlyTheItemsThatCameIntoSight) {
  Fill(10000);
  size_t before = Built.size();
  int lastBefore = 0;
  for (const Announced& a : Built) lastBefore = std::max(lastBefore, a.item);
  XTest_ListScrollTo(list_, kRow);
  ASSERT_GT(Built.size(), before);
  for (size_t i = before; i < Built.size(); ++i) EXPECT_GT(Built[i].item, lastBefore);
}

TEST_F(ListViewTest, HandlersOf142CanDressTheItemTheyAreGiven) {
  Fill(6);
  EXPECT_FALSE(XTest_ButtonChecked(XListView_GetTemplateObject(list_, 0, 0, 20)));
  EXPECT_TRUE(XTest_ButtonChecked(XListView_GetTemplateObject(list_, 0, 1, 20)));
  EXPECT_EQ(Rgb(PixelAtCentre(w_, XListView_GetTemplateObject(list_, 0, 5, 10))), 0xFF00FFu);
  EXPECT_EQ(CountEvents(XE_LISTVIEW_TEMP_CREATE_END), 6);
  ClickItem(0, 4, 10, 40);  // on the indicator
  ASSERT_EQ(CountEvents(XE_LBUTTONUP), 1);
  EXPECT_EQ(Events.back().self, XListView_GetTemplateObject(list_, 0, 4, 10));
}

TEST_F(ListViewTest, SelectionHandlersCanRevealAnElementOfTheSelectedItem) {
  XEle_RegEventC(list_, XE_LISTVIEW_SELECT, OnSelected);
  Fill(6);
  HELE first = XListView_GetTemplateObject(list_, 0, 1, 8),
       second = XListView_GetTemplateObject(list_, 0, 4, 8);
  EXPECT_FALSE(XTest_IsElementShown(first));
  ClickItem(0, 1);
  EXPECT_TRUE(XTest_IsElementShown(first));
  RECT shown = RectOf(first);
  EXPECT_EQ(shown.right - shown.left, 20);
  ClickItem(0, 4);
  EXPECT_FALSE(XTest_IsElementShown(first));
  EXPECT_TRUE(XTest_IsElementShown(second));
}

// ---- selection, event 146 ----

TEST_F(ListViewTest, PressingAnItemSelectsItOnceWithGroupAndItem) {
  Fill(6);
  int group = -2, item = -2;
  EXPECT_FALSE(XListView_GetSelectItem(list_, &group, &item));
  EXPECT_EQ(group, -1);
  ClickItem(0, 4);
  ASSERT_EQ(CountEvents(XE_LISTVIEW_SELECT), 1);
  EXPECT_EQ(Events.back().wParam, 0);
  EXPECT_EQ(Events.back().lParam, 4);
  EXPECT_EQ(Events.back().self, list_);
  EXPECT_TRUE(XListView_GetSelectItem(list_, &group, &item));
  EXPECT_EQ(group, 0);
  EXPECT_EQ(item, 4);
  ClickItem(0, 4);  // already selected
  EXPECT_EQ(CountEvents(XE_LISTVIEW_SELECT), 1);
}

TEST_F(ListViewTest, PressingAButtonInAnItemSelectsTheItemBeforeTheClick) {
  Fill(6);
  Events.clear();
  ClickItem(0, 2, 40, 40);  // on button 20
  EXPECT_EQ(EventTags(), (std::vector<int>{146, 20}));
  int group = -1, item = -1;
  XListView_GetSelectItem(list_, &group, &item);
  EXPECT_EQ(item, 2);
}

TEST_F(ListViewTest, ItemStatesDrawTheirFills) {
  Fill(6);
  HBKM manager = XEle_GetBkManager(list_);
  XBkM_AddFill(manager, XC_STATE_LIST_ITEM_LEAVE, 0x0000FF, 255);   // red
  XBkM_AddFill(manager, XC_STATE_LIST_ITEM_STAY, 0x00FF00, 255);    // green
  XBkM_AddFill(manager, XC_STATE_LIST_ITEM_SELECT, 0xFF0000, 255);  // blue
  EXPECT_EQ(ItemBackground(0, 0), 0xFF0000u);
  RECT r = ItemRect(0, 1);
  MoveTo(w_, r.left + 85, r.top + 40);
  EXPECT_EQ(ItemBackground(0, 1), 0x00FF00u);
  EXPECT_EQ(ItemBackground(0, 0), 0xFF0000u);
  ClickItem(0, 0);
  EXPECT_EQ(ItemBackground(0, 0), 0x0000FFu);
  // With an unselected-state fill, the items that are not selected take it.
  XBkM_AddFill(manager, XC_STATE_LIST_ITEM_UNSELECT, 0x00FFFF, 255);  // yellow
  EXPECT_EQ(ItemBackground(0, 2), 0xFFFF00u);
  EXPECT_EQ(ItemBackground(0, 0), 0x0000FFu);
  // Between items, the list's own background shows.
  RECT first = ItemRect(0, 0);
  EXPECT_EQ(Rgb(XTest_ReadPixel(w_, first.right + 5, first.top + 5)), 0x000000u);
}

// ---- groups and sizes ----

TEST_F(ListViewTest, GroupsStackWithTheirHeaderHeight) {
  XListView_SetGroupHeight(list_, 28);
  EXPECT_EQ(XListView_Group_AddItemText(list_, u"a", -1), 0);
  EXPECT_EQ(XListView_Group_AddItemText(list_, u"b", -1), 1);
  AddItems(0, 4);
  AddItems(1, 2);
  XWnd_AdjustLayout(w_);
  EXPECT_EQ(ItemRect(0, 0).top, 28);
  EXPECT_EQ(ItemRect(0, 3).top, 28 + kRow);
  EXPECT_EQ(ItemRect(1, 0).top, 28 + 2 * kRow + 28);
  EXPECT_EQ(ItemRect(1, 1).left - ItemRect(1, 0).left, 110);
  EXPECT_EQ(NameOf(1, 1), "item 1");
  XListView_SetGroupHeight(list_, 0);
  XWnd_AdjustLayout(w_);
  EXPECT_EQ(ItemRect(0, 0).top, 0);
  EXPECT_EQ(ItemRect(1, 0).top, 2 * kRow);
}

TEST_F(ListViewTest, TheColumnsAreCentredInTheWidthTheyCannotFill) {
  Fill(4);
  XListView_SetItemSize(list_, 320, 120);
  XWnd_AdjustLayout(w_);
  // 400 less the 8-pixel scroll bar holds one 320-pixel column; the 72 left over go half each side.
  EXPECT_EQ(ItemRect(0, 0).left, 36);
  EXPECT_EQ(ItemRect(0, 0).right, 400 - 8 - 36);
}

TEST_F(ListViewTest, ItemSizeChangesTheCellsAndTheColumns) {
  Fill(4);
  XListView_SetItemSize(list_, 320, 120);
  XWnd_AdjustLayout(w_);
  RECT name = ItemRect(0, 0);
  EXPECT_EQ(name.right - name.left, 320);
  EXPECT_EQ(ItemRect(0, 1).top, 130);  // one column now
  EXPECT_EQ(ItemRect(0, 1).left, ItemRect(0, 0).left);
  XListView_SetItemSize(list_, 370, 160);
  XWnd_AdjustLayout(w_);
  EXPECT_EQ(ItemRect(0, 1).top, 170);
}

TEST_F(ListViewTest, DeletingItemsOrGroupsDropsElementsAndSelection) {
  Fill(6);
  ClickItem(0, 1);
  XListView_DeleteAllItem(list_);
  XWnd_AdjustLayout(w_);
  EXPECT_EQ(XTest_ListBuiltCount(list_), 0);
  EXPECT_EQ(XTest_ListItemCount(list_), 0);
  EXPECT_FALSE(XListView_GetSelectItem(list_, nullptr, nullptr));
  AddItems(0, 2);  // the group is still there
  XWnd_AdjustLayout(w_);
  EXPECT_EQ(XTest_ListBuiltCount(list_), 2);
  XListView_DeleteAllGroup(list_);
  XWnd_AdjustLayout(w_);
  EXPECT_EQ(XTest_ListBuiltCount(list_), 0);
  EXPECT_EQ(XListView_Item_AddItemImage(list_, 0, 0, -1), -1);
}

TEST_F(ListViewTest, WithoutTemplateOrAdapterNothingIsBuilt) {
  HWINDOW w = Load("bare.xml", R"(<window width="200" height="200"><listview id="1"/></window>)");
  HELE bare = XC_GetObjectByID(w, 1);
  EXPECT_EQ(XListView_Group_AddItemText(bare, u"g", -1), -1);  // no adapter
  HXCGUI adapter = XAdListView_Create();
  XAdListView_Item_AddColumn(adapter, u"name");
  XListView_BindAdapter(bare, adapter);
  XListView_Group_AddItemText(bare, u"g", -1);
  XListView_Item_AddItemImage(bare, 0, 0, -1);
  XWnd_AdjustLayout(w);
  EXPECT_EQ(XTest_ListItemCount(bare), 1);
  EXPECT_EQ(XTest_ListBuiltCount(bare), 0);
  EXPECT_FALSE(XListView_Item_SetTextEx(bare, 0, 0, u"missing", u"x"));
  EXPECT_FALSE(XListView_Item_SetTextEx(bare, 0, 5, u"name", u"x"));
}
