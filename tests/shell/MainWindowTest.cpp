#include "shell/main_window/MainWindow.h"

#include <array>

#include "acquisition/ItemActivation.h"
#include "catalogue/CardBehaviour.h"
#include "catalogue/CategoryPanel.h"
#include "shell/MainWindowFixture.h"
#include "shell/SharedState.h"
#include "shell/main_window/Panels.h"
#include "shell/startup/RunDirectory.h"
#include "shell/startup/UiTextConversion.h"

namespace {

struct EntryExpectation {
  int entry;
  Panel panel;
  int list;
  const char* category;
};

constexpr std::array<EntryExpectation, 5> kEntries = {{
    {2, Panel::Video, 2002, "video"},
    {3, Panel::Image, 3002, "image"},
    {4, Panel::Effice, 7002, "effice"},
    {5, Panel::Ocr, 4002, "ocr"},
    {1, Panel::Home, 0, nullptr},
}};

// How many built cards of the list's one group show their element 8.
int ShownMarks(HELE list) {
  int shown = 0;
  for (int item = 0; item < XTest_ListItemCount(list); ++item) {
    HELE mark = XListView_GetTemplateObject(list, 0, item, 8);
    if (mark != 0 && XTest_IsElementShown(mark)) ++shown;
  }
  return shown;
}

void ExpectOnlyShown(Panel shown) {
  for (int p = 0; p < static_cast<int>(Panel::Count); ++p) {
    EXPECT_EQ(XTest_IsElementShown(PanelRoot(static_cast<Panel>(p))) != FALSE, static_cast<Panel>(p) == shown)
        << "panel " << p;
  }
}

TEST_F(MainWindowTest, StartsOnTheHomePanelWideWithEveryPanelBuilt) {
  EXPECT_EQ(CurrentNavIndex, 1);
  EXPECT_EQ(NavigationExpanded, 1);
  EXPECT_EQ(XLayout_GetWidthIn(XC_GetObjectByID(MainWindow, 7)), 150);
  for (int p = 0; p < static_cast<int>(Panel::Count); ++p) EXPECT_NE(PanelRoot(static_cast<Panel>(p)), 0);
  ExpectOnlyShown(Panel::Home);
  EXPECT_EQ(XTest_IsElementShown(XC_GetObjectByID(MainWindow, 32)), FALSE);  // search box closed
}

TEST_F(MainWindowTest, ChoosingAnEntryShowsItsPanelAndMakesItsListCurrent) {
  for (const EntryExpectation& expected : kEntries) {
    HELE before = CurrentCardList;
    ChooseEntry(expected.entry);
    EXPECT_EQ(CurrentNavIndex, expected.entry);
    EXPECT_EQ(CurrentCardList, expected.list ? XC_GetObjectByID(MainWindow, expected.list) : before);
    ExpectOnlyShown(expected.panel);
  }
}

TEST_F(MainWindowTest, EntriesSixAndSevenLeaveThePanelOnScreen) {
  ChooseEntry(3);
  ChooseEntry(6);
  EXPECT_EQ(CurrentNavIndex, 6);
  ExpectOnlyShown(Panel::Image);
  ChooseEntry(7);
  EXPECT_EQ(CurrentNavIndex, 7);
  ExpectOnlyShown(Panel::Image);
  EXPECT_EQ(CurrentCardList, XC_GetObjectByID(MainWindow, 3002));
}

TEST_F(MainWindowTest, EachCategoryPanelHoldsExactlyItsRowsInTableOrder) {
  for (const EntryExpectation& expected : kEntries) {
    if (expected.category == nullptr) continue;
    HELE list = XC_GetObjectByID(MainWindow, expected.list);
    std::string key = expected.category;
    EXPECT_EQ(std::to_string(XTest_ListItemCount(list)),
              ReadCatalogue("select count(*) from App_List where Columns = '" + key + "'"));
    ChooseEntry(expected.entry);
    AnsiText firstName = CardText(list, 0, 0, 11);
    EXPECT_FALSE(firstName.empty());
    EXPECT_EQ(CardText(list, 0, 0, 15),
              ReadCatalogue("select ID from App_List where Columns = '" + key + "' order by rowid limit 1"));
  }
}

TEST_F(MainWindowTest, NarrowingAndWideningEndAtTheExactWidthsAndResizeTheCards) {
  ChooseEntry(2);
  HELE column = XC_GetObjectByID(MainWindow, 7);
  RECT tree = RectOf(XC_GetObjectByID(MainWindow, 5));
  RECT content = RectOf(XC_GetObjectByID(MainWindow, 6));
  XTest_MouseMove(MainWindow, (content.left + content.right) / 2, (content.top + content.bottom) / 2);
  XTest_Pump(2);
  EXPECT_EQ(XLayout_GetWidthIn(column), 55);
  EXPECT_EQ(NavigationExpanded, 0);
  RECT card = RectOf(XListView_GetTemplateObject(CurrentCardList, 0, 0, 19));
  EXPECT_EQ(card.right - card.left, 370);
  EXPECT_EQ(card.bottom - card.top, 160);

  XTest_MouseMove(MainWindow, tree.left + 10, tree.top + 10);
  XTest_Pump(2);
  EXPECT_EQ(XLayout_GetWidthIn(column), 150);
  EXPECT_EQ(NavigationExpanded, 1);
  card = RectOf(XListView_GetTemplateObject(CurrentCardList, 0, 0, 19));
  EXPECT_EQ(card.right - card.left, 320);
  EXPECT_EQ(card.bottom - card.top, 120);
}

TEST_F(MainWindowTest, WidthAnimationStepsFollowTheEasedCurve) {
  EXPECT_EQ(NavigationWidthAt(1, true), 68);
  EXPECT_EQ(NavigationWidthAt(2, true), 80);
  EXPECT_EQ(NavigationWidthAt(3, true), 90);
  EXPECT_EQ(NavigationWidthAt(45, true), 150);
  EXPECT_EQ(NavigationWidthAt(1, false), 136);
  EXPECT_EQ(NavigationWidthAt(2, false), 124);
  EXPECT_EQ(NavigationWidthAt(3, false), 114);
  EXPECT_EQ(NavigationWidthAt(45, false), 55);
  for (int i = 2; i <= 45; ++i) EXPECT_GE(NavigationWidthAt(i, true), NavigationWidthAt(i - 1, true));
}

TEST_F(MainWindowTest, PaddingFollowsTheWindowsRightEdge) {
  EXPECT_EQ(RepadOffset(1545), 0);
  EXPECT_EQ(RepadOffset(1500), -2);
  EXPECT_EQ(RepadOffset(1545 + 180), 10);
}

TEST_F(MainWindowTest, FavouriteButtonFlipsTheFlagInTheCatalogueAndTheButton) {
  ChooseEntry(2);
  HELE list = CurrentCardList;
  HELE button = XListView_GetTemplateObject(list, 0, 1, 20);
  ASSERT_NE(button, 0);
  std::string id = CardText(list, 0, 1, 15);
  ASSERT_EQ(ReadCatalogue("select IsCollection from App_List where ID = " + id), "0");
  EXPECT_EQ(XTest_ButtonChecked(button), FALSE);
  ClickElement(button);
  EXPECT_EQ(ReadCatalogue("select IsCollection from App_List where ID = " + id), "1");
  EXPECT_EQ(XTest_ButtonChecked(button), TRUE);
  EXPECT_EQ(CardText(list, 0, 1, 16), "1");
  // Built anew after scrolling, the card still shows the flag, and one click clears it.
  ScrollCardAwayAndBack(list, 1);
  button = XListView_GetTemplateObject(list, 0, 1, 20);
  ASSERT_NE(button, 0);
  EXPECT_EQ(XTest_ButtonChecked(button), TRUE);
  EXPECT_EQ(CardText(list, 0, 1, 16), "1");
  ClickElement(button);
  EXPECT_EQ(ReadCatalogue("select IsCollection from App_List where ID = " + id), "0");
  EXPECT_EQ(XTest_ButtonChecked(button), FALSE);
}

TEST_F(MainWindowTest, SelectingACardRevealsItsMarkAndHidesThePreviousOne) {
  ChooseEntry(3);
  HELE list = CurrentCardList;
  ClickElement(XListView_GetTemplateObject(list, 0, 0, 19));
  HELE first = XListView_GetTemplateObject(list, 0, 0, 8);
  EXPECT_EQ(RevealedElement, first);
  EXPECT_TRUE(XTest_IsElementShown(first));
  ClickElement(XListView_GetTemplateObject(list, 0, 1, 19));
  HELE second = XListView_GetTemplateObject(list, 0, 1, 8);
  EXPECT_EQ(RevealedElement, second);
  EXPECT_TRUE(XTest_IsElementShown(second));
  EXPECT_FALSE(XTest_IsElementShown(first));

  // The selected card built anew after scrolling carries the mark; no other card does.
  ScrollCardAwayAndBack(list, 1);
  second = XListView_GetTemplateObject(list, 0, 1, 8);
  EXPECT_EQ(RevealedElement, second);
  EXPECT_TRUE(XTest_IsElementShown(second));
  EXPECT_EQ(ShownMarks(list), 1);

  // A visit to the favourites panel, which rebuilds its own list, leaves one mark only too.
  ClickElement(XListView_GetTemplateObject(list, 0, 0, 19));
  ClickElement(MainElement(37));
  ChooseEntry(2);
  ChooseEntry(3);
  ClickElement(XListView_GetTemplateObject(list, 0, 1, 19));
  EXPECT_TRUE(XTest_IsElementShown(XListView_GetTemplateObject(list, 0, 1, 8)));
  EXPECT_EQ(ShownMarks(list), 1);
}

TEST_F(MainWindowTest, AFinishedInstallReplacesTheEntrysPageAndTheBackControlDestroysIt) {
  ChooseEntry(2);
  HELE list = XC_GetObjectByID(MainWindow, 2002);
  XEle_ShowEle(list, FALSE);
  HELE older = XC_LoadLayout(ToUiText(RunDir() + "\\布局文件\\Panel\\list_Panel_search.xml").c_str(),
                             XC_GetObjectByID(MainWindow, 2001));
  ASSERT_NE(older, 0);
  ToolPageSlot(2002) = older;

  // A download that ends while that page is shown opens its own tool in the same host.
  auto* record = new ActivationRecord;
  record->card = CardLocation(list, 0, 0);
  record->name = CardText(list, 0, 0, 11);
  record->downloadUrl = "http://127.0.0.1/none.zip";
  record->succeeded = true;
  FinishInstall(reinterpret_cast<intptr_t>(record));
  EXPECT_EQ(XC_GetObjectType(older), 0);  // destroyed, not left on screen under the new page
  HELE page = ToolPageSlot(2002);
  ASSERT_NE(page, 0);
  EXPECT_NE(page, older);

  ClickElement(XC_GetObjectByID(MainWindow, 41));
  EXPECT_EQ(ToolPageSlot(2002), 0);
  EXPECT_EQ(XC_GetObjectType(page), 0);  // destroyed
  EXPECT_TRUE(XTest_IsElementShown(list));
}

}  // namespace
