#include "catalogue/FavouritesPanel.h"

#include <set>
#include <string>

#include "catalogue/CardBehaviour.h"
#include "catalogue/CategoryPanel.h"
#include "shell/MainWindowFixture.h"
#include "shell/SharedState.h"
#include "shell/main_window/Panels.h"

namespace {

class FavouritesPanelTest : public MainWindowTest {
 protected:
  // Clicks the favourite button of video card `item` and returns that card's catalogue ID.
  static std::string ToggleVideoCard(int item) {
    // The favourites panel leaves the navigation tree's selection alone, so choosing the entry
    // already selected would change nothing: pass through another entry first.
    ChooseEntry(3);
    ChooseEntry(2);
    EXPECT_EQ(CurrentCardList, PanelOf(PanelMember::Video).list);
    HELE button = XListView_GetTemplateObject(CurrentCardList, 0, item, 20);
    EXPECT_NE(button, 0) << "video card " << item;
    std::string id = CardText(CurrentCardList, 0, item, 15);
    ClickElement(button);
    return id;
  }

  // The catalogue IDs of the cards the favourites panel shows once opened from its button.
  static std::set<std::string> OpenPanelIds() {
    ClickElement(MainElement(37));
    HELE list = PanelOf(PanelMember::Favourites).list;
    EXPECT_EQ(CurrentCardList, list);
    std::set<std::string> ids;
    int count = XTest_ListItemCount(list);
    for (int item = 0; item < count; ++item) ids.insert(CardText(list, 0, item, 15));
    EXPECT_EQ(static_cast<int>(ids.size()), count) << "a card listed twice";
    return ids;
  }
};

TEST_F(FavouritesPanelTest, ListsExactlyTheMarkedCardsAndForgetsUnmarkedOnes) {
  ASSERT_EQ(ReadCatalogue("select count(*) from App_List where IsCollection = 1"), "0");
  EXPECT_TRUE(OpenPanelIds().empty());
  EXPECT_TRUE(XTest_IsElementShown(PanelRoot(Panel::Favourites)));

  std::string first = ToggleVideoCard(1);
  std::string second = ToggleVideoCard(2);
  ASSERT_NE(first, second);
  EXPECT_EQ(OpenPanelIds(), (std::set<std::string>{first, second}));

  ToggleVideoCard(1);
  EXPECT_EQ(OpenPanelIds(), (std::set<std::string>{second}));
  ToggleVideoCard(2);
  EXPECT_TRUE(OpenPanelIds().empty());
  EXPECT_EQ(ReadCatalogue("select count(*) from App_List where IsCollection = 1"), "0");
}

}  // namespace
