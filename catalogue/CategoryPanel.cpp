#include "catalogue/CategoryPanel.h"

#include <array>

#include "catalogue/CardBehaviour.h"
#include "catalogue/CatalogueQueries.h"
#include "shell/SharedState.h"
#include "shell/main_window/Colours.h"
#include "shell/startup/RequiredLayout.h"
#include "shell/startup/RunDirectory.h"
#include "shell/startup/UiTextConversion.h"

namespace {

struct MemberFacts {
  const char* layout;
  const char* key;  // nullptr: filled by search or favourites, not at start-up
  int paddingId;
  int listId;
  Panel panel;
};

constexpr std::array<MemberFacts, 6> kMembers = {{
    {"\\布局文件\\Panel\\list_Panel_video.xml", "video", 2001, 2002, Panel::Video},
    {"\\布局文件\\Panel\\list_Panel_image.xml", "image", 3001, 3002, Panel::Image},
    {"\\布局文件\\Panel\\list_Panel_ocr.xml", "ocr", 4001, 4002, Panel::Ocr},
    {"\\布局文件\\Panel\\list_Panel_search.xml", nullptr, 5001, 5002, Panel::Search},
    {"\\布局文件\\Panel\\list_Panel_collection.xml", nullptr, 6001, 6002, Panel::Favourites},
    {"\\布局文件\\Panel\\list_Panel_effice.xml", "effice", 7001, 7002, Panel::Effice},
}};

constexpr const char* kItemColumns[] = {"image1", "name", "download_http", "App_Install_path",
                                        "App_Launch_path", "id", "isCollection", "App_md5"};

std::array<CategoryPanel, 6> g_panels;

const MemberFacts& FactsOf(PanelMember member) { return kMembers[static_cast<size_t>(member)]; }

void SetCardText(HELE list, int group, int item, const char* column, const AnsiText& value) {
  XListView_Item_SetTextEx(list, group, item, ToUiText(column).c_str(), ToUiText(value).c_str());
}

}  // namespace

CategoryPanel& PanelOf(PanelMember member) { return g_panels[static_cast<size_t>(member)]; }

Panel PanelFor(PanelMember member) { return FactsOf(member).panel; }

void ApplyCardSize(HELE list) {
  if (NavigationExpanded == 1) {
    XListView_SetItemSize(list, 320, 120);
  } else {
    XListView_SetItemSize(list, 370, 160);
  }
}

void BuildCategoryPanel(PanelMember member) {
  const MemberFacts& facts = FactsOf(member);
  CategoryPanel& panel = PanelOf(member);
  panel.root = LoadPartLayout(facts.layout, MainElement(6));
  PanelRoot(facts.panel) = panel.root;
  panel.list = MainElement(facts.listId);
  SetRequiredTemplate(XListView_SetItemTemplateXML, panel.list,
                      "\\布局文件\\video_list\\ListView_item_video.xml");
  panel.adapter = XAdListView_Create();
  for (const char* column : kItemColumns) XAdListView_Item_AddColumn(panel.adapter, ToUiText(column).c_str());
  XAdListView_Group_AddColumn(panel.adapter, ToUiText("name3").c_str());
  XListView_BindAdapter(panel.list, panel.adapter);
  ApplyCardSize(panel.list);
  XListView_SetGroupHeight(panel.list, 0);
  HBKM manager = XEle_GetBkManager(panel.list);
  XBkM_AddFill(manager, 0x80, RGB(38, 29, 71), 20);
  XBkM_AddFill(manager, 0x100, RGB(38, 29, 71), 20);
  XBkM_AddFill(manager, 0x200, RGB(38, 29, 71), 60);
  XBkM_AddFill(manager, 0x400, RGB(38, 29, 71), 20);
  if (facts.key != nullptr) {
    QueryCategory(facts.key);
    FillCardList(panel.list);
  }
  XLayout_SetPadding(MainElement(facts.paddingId), 40, 35, 10, 10);
  XEle_RegEventC(panel.list, XE_LISTVIEW_TEMP_CREATE_END, OnCardCreated);
  XEle_RegEventC(panel.list, XE_LISTVIEW_SELECT, OnCardSelected);
  XWnd_AdjustLayout(MainWindow);
  XEle_RedrawEle(MainElement(8), FALSE);
  XEle_ShowEle(panel.root, FALSE);
}

namespace {
// (card, row ID) of every card the lists hold, in fill order.
std::vector<std::pair<CardLocation, AnsiText>>& CardRows() {
  static std::vector<std::pair<CardLocation, AnsiText>> rows;
  return rows;
}
}  // namespace

void ClearCardList(HELE list) {
  XListView_DeleteAllGroup(list);
  XListView_DeleteAllItem(list);
  std::erase_if(CardRows(), [list](const auto& row) { return row.first.list() == list; });
}

std::vector<CardLocation> CardsShowingRow(const AnsiText& id) {
  std::vector<CardLocation> cards;
  for (const auto& [card, rowId] : CardRows()) {
    if (rowId == id) cards.push_back(card);
  }
  return cards;
}

void FillCardList(HELE list) {
  int group = XListView_Group_AddItemText(list, ToUiText("group1").c_str(), -1);
  for (const AppRecord& record : LoadedRecords()) {
    HIMAGE cover = XImage_LoadFile(ToUiText(RunDir() + record.Cover_path).c_str(), TRUE);
    int item = XListView_Item_AddItemImage(list, group, cover, -1);
    SetCardText(list, group, item, "name", record.Name);
    SetCardText(list, group, item, "download_http", record.App_download_http);
    SetCardText(list, group, item, "App_Install_path", record.App_Install_path);
    SetCardText(list, group, item, "App_Launch_path", record.App_Launch_path);
    SetCardText(list, group, item, "id", record.ID);
    SetCardText(list, group, item, "isCollection", record.IsCollection);
    SetCardText(list, group, item, "App_md5", record.App_md5);
    CardRows().emplace_back(CardLocation(list, group, item), record.ID);
  }
}
