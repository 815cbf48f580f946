#include "shell/main_window/MainWindow.h"

#include <array>

#include "acquisition/ItemActivation.h"
#include "acquisition/UpdateCheckThread.h"
#include "catalogue/CatalogueQueries.h"
#include "catalogue/CategoryPanel.h"
#include "catalogue/FavouritesPanel.h"
#include "catalogue/Search.h"
#include "shell/SharedState.h"
#include "shell/home_panel/HomePanel.h"
#include "shell/main_window/Animation.h"
#include "shell/main_window/Colours.h"
#include "shell/main_window/Panels.h"
#include "shell/notifications/Notifications.h"
#include "shell/startup/RequiredLayout.h"
#include "shell/startup/RunDirectory.h"
#include "shell/startup/StartUp.h"
#include "shell/startup/UiTextConversion.h"

namespace {

// Left 375, top 140, right 1545, bottom 900: the window position the paddings were made for.
std::array<int, 4> ReferenceRect{};

constexpr int kNarrowWidth = 55;
constexpr int kWideWidth = 150;
constexpr int kWidthSteps = 45;
int SidebarBusy = 0;

struct NavigationEntry {
  const char* text;
  const char* icon;
  const char* selectedIcon;
  bool switchesPanel;
  Panel panel;
  int cardList;  // 0: CurrentCardList stays
};

constexpr std::array<NavigationEntry, 7> kNavigation = {{
    {"首页", "\\资源文件\\home_stay.png", "\\资源文件\\home_select.png", true, Panel::Home, 0},
    {"视屏处理", "\\资源文件\\edit_video_stay.png", "\\资源文件\\edit_video_select.png", true, Panel::Video, 2002},
    {"图片处理", "\\资源文件\\edit_image_stay.png", "\\资源文件\\edit_image_select.png", true, Panel::Image, 3002},
    {"高效处理", "\\资源文件\\edit_pdf_stay.png", "\\资源文件\\edit_pdf_select.png", true, Panel::Effice, 7002},
    {"AI智能", "\\资源文件\\edit_ai_stay.png", "\\资源文件\\edit_ai_select.png", true, Panel::Ocr, 4002},
    {"更多办公小工具", "\\资源文件\\edit_more_stay.png", "\\资源文件\\edit_more_select.png", false, Panel::Home, 0},
    {"办公资源集合", "\\资源文件\\edit_gather_stay.png", "\\资源文件\\edit_gather_select.png", false, Panel::Home, 0},
}};

// Back control: the panel shown -> its card list, which a tool page may stand in for (0: none).
int CardListOf(Panel panel) {
  switch (panel) {
    case Panel::Video: return 2002;
    case Panel::Image: return 3002;
    case Panel::Effice: return 7002;
    case Panel::Ocr: return 4002;
    case Panel::Favourites: return 6002;
    case Panel::Search: return 5002;
    default: return 0;
  }
}

struct SystemButton {
  int id;
  const char* strip;
  std::array<int, 3> x;  // states 16, 32, 64
  int width;
};

constexpr std::array<SystemButton, 4> kSystemButtons = {{
    {1, "\\资源文件\\systembutton\\imagelist.systembutton.menu.png", {0, 29, 58}, 28},
    {2, "\\资源文件\\systembutton\\imagelist.systembutton.min.png", {0, 26, 52}, 25},
    {3, "\\资源文件\\systembutton\\imagelist.systembutton.max.png", {0, 32, 64}, 31},
    {4, "\\资源文件\\systembutton\\imagelist.systembutton.close.png", {0, 34, 68}, 31},
}};

UiText PathText(const char* relative) { return ToUiText(RunDir() + relative); }

void DressSystemButtons() {
  constexpr int kStates[] = {16, 32, 64};
  for (const SystemButton& button : kSystemButtons) {
    HELE element = MainElement(button.id);
    XEle_EnableBkTransparent(element, TRUE);
    HBKM manager = XEle_GetBkManager(element);
    XBkM_Clear(manager);
    for (int i = 0; i < 3; ++i) {
      HIMAGE image = XImage_LoadFileRect(PathText(button.strip).c_str(), button.x[i], 0, button.width, 26);
      XBkM_AddImage(manager, kStates[i], image);
    }
  }
}

void BuildNavigationTree() {
  HELE tree = MainElement(5);
  XTree_EnableConnectLine(tree, FALSE, FALSE);
  XTree_SetItemHeightDefault(tree, 30, 35);
  HBKM manager = XEle_GetBkManager(tree);
  XBkM_AddFill(manager, 256, RGB(30, 27, 68), 255);
  XBkM_AddFill(manager, 512, RGB(39, 31, 68), 0);
  SetRequiredTemplate(XTree_SetItemTemplateXML, tree, "\\布局文件\\left_tree\\left_tree.xml");
  SetRequiredTemplate(XTree_SetItemTemplateXMLSel, tree, "\\布局文件\\left_tree\\left_tree_ser.xml");
  HXCGUI adapter = XAdTree_Create();
  XTree_BindAdapter(tree, adapter);
  XAdTree_AddColumn(adapter, ToUiText("name").c_str());
  XAdTree_AddColumn(adapter, ToUiText("image").c_str());
  for (const NavigationEntry& entry : kNavigation) {
    int id = XAdTree_InsertItemText(adapter, ToUiText(entry.text).c_str(), 0, -3);
    HIMAGE image = XImage_LoadFile(PathText(entry.icon).c_str(), TRUE);
    XAdTree_SetItemImage(adapter, id, 1, image);
  }
}

void RegisterEvents() {
  XEle_RegEventC(MainElement(5), XE_TREE_TEMP_CREATE_END, OnNavigationItemBuilt);
  XEle_RegEventC(MainElement(5), XE_MOUSESTAY, OnNavigationHover);
  XEle_RegEventC(MainElement(5), XE_MOUSELEAVE, OnNavigationLeave);
  XEle_RegEventC(MainElement(100), XE_BNCLICK, OnSearchButtonClicked);
  XEle_RegEventC(MainElement(35), XE_EDIT_CHANGED, OnSearchTextChanged);
  XEle_RegEventC(MainElement(101), XE_BNCLICK, OnNotificationsClicked);
  XEle_RegEventC(MainElement(37), XE_BNCLICK, OnFavouritesClicked);
  XEle_RegEventC(MainElement(41), XE_BNCLICK, OnBackClicked);
  XWnd_RegEventC(MainWindow, XWM_CLOSE, OnMainWindowClose);
  XWnd_RegEventC(MainWindow, XWM_SIZE, OnMainWindowSize);
}

void BuildPanels() {
  PanelRoot(Panel::Home) = BuildHomePanel();
  for (PanelMember member : {PanelMember::Ocr, PanelMember::Image, PanelMember::Video, PanelMember::Search,
                             PanelMember::Favourites, PanelMember::Effice}) {
    BuildCategoryPanel(member);
  }
}

void RedrawContent() {
  XEle_AdjustLayout(MainElement(8));
  XEle_RedrawEle(MainElement(8), FALSE);
}

// One widening or narrowing of the navigation column, 45 eased steps.
void AnimateNavigation(bool widening) {
  HELE column = MainElement(7);
  HELE content = MainElement(8);
  HELE host = MainElement(6);
  if (XLayout_GetWidthIn(column) != (widening ? kNarrowWidth : kWideWidth) || SidebarBusy) return;
  SidebarBusy = 1;
  for (int i = 1; i <= kWidthSteps; ++i) {
    XEle_SetLayoutWidth(column, 0, NavigationWidthAt(i, widening));
    XEle_AdjustLayout(content);
    XEle_RedrawEle(column, FALSE);
    XEle_RedrawEle(host, FALSE);
    PumpingPause(1);
  }
  NavigationExpanded = widening ? 1 : 0;
  ApplyCardSize(CurrentCardList);
  XEle_SetLayoutWidth(column, 0, widening ? kWideWidth : kNarrowWidth);
  XWnd_AdjustLayout(MainWindow);
  XEle_RedrawEle(column, FALSE);
  XEle_RedrawEle(host, FALSE);
  SidebarBusy = 0;
}

intptr_t WidenNavigation(intptr_t) {
  AnimateNavigation(true);
  return 0;
}

intptr_t NarrowNavigation(intptr_t) {
  AnimateNavigation(false);
  return 0;
}

intptr_t RepadPanels(intptr_t) {
  RECT rect{};
  GetWindowRect(XWnd_GetHWND(MainWindow), &rect);
  int d = RepadOffset(rect.right);
  XLayout_SetPadding(MainElement(1001), d + 40, 35, 0, 5);
  for (int id : {2001, 3001, 4001, 5001, 6001, 7001}) XLayout_SetPadding(MainElement(id), d + 70, 35, 0, 5);
  XLayout_SetPadding(MainElement(38), d + 45, 0, 0, 0);
  return 0;
}

}  // namespace

int NavigationWidthAt(int step, bool widening) {
  double travel = static_cast<double>(EasedFraction(step, kWidthSteps)) * (kWideWidth - kNarrowWidth);
  return widening ? static_cast<int>(travel + kNarrowWidth) : static_cast<int>(kWideWidth - travel);
}

int RepadOffset(int right) { return static_cast<int>((right - ReferenceRect[2]) / 18.0); }

void LoadMainWindow() {
  MainWindow = LoadRequiredLayout("\\布局文件\\main.xml", 0);
  XWnd_SetTransparentAlpha(MainWindow, 255);
  XWnd_SetTransparentType(MainWindow, 1);
  ReferenceRect = {375, 140, 1545, 900};
  DressSystemButtons();
  XWnd_SetMinimumSize(MainWindow, 720, 480);
  BuildNavigationTree();
  RegisterEvents();
  for (int id : {30, 32, 27}) XEle_ShowEle(MainElement(id), FALSE);
  NavigationExpanded = 1;
  BuildPanels();
  CurrentNavIndex = 1;
  ShowOnlyPanel(Panel::Home);
}

void BuildMainWindow() {
  SetInstallDirectoriesSource(&QueryInstallDirectories);
  LoadMainWindow();
  XWnd_AdjustLayout(MainWindow);
  XWnd_ShowWindow(MainWindow, 5);
  StartUpdateCheck();
  XRunXCGUI();
  XExitXCGUI();
}

int OnNavigationItemBuilt(HXCGUI tree, int, WPARAM wParam, LPARAM, BOOL*) {
  const auto* item = reinterpret_cast<const XC_TreeItem*>(wParam);
  if (item == nullptr) return 0;
  HELE icon = XTree_GetTemplateObject(tree, item->nID, 9);
  if (CurrentCardList != 0) ApplyCardSize(CurrentCardList);
  int k = item->nID;
  if (icon != 0 && k >= 1 && k <= 7) {
    const NavigationEntry& entry = kNavigation[k - 1];
    CurrentNavIndex = k;
    XShapePic_SetImage(icon, XImage_LoadFile(PathText(entry.selectedIcon).c_str(), TRUE));
    if (entry.switchesPanel) {
      if (entry.cardList != 0) CurrentCardList = MainElement(entry.cardList);
      ShowOnlyPanel(entry.panel);
    }
  }
  RedrawContent();
  return 0;
}

int OnNavigationHover(HXCGUI, int, WPARAM, LPARAM, BOOL*) {
  XC_CallUiThread(WidenNavigation, 0);
  return 0;
}

int OnNavigationLeave(HXCGUI, int, WPARAM, LPARAM, BOOL*) {
  XC_CallUiThread(NarrowNavigation, 0);
  return 0;
}

int OnMainWindowSize(HXCGUI, int, WPARAM, LPARAM, BOOL*) {
  XC_CallUiThread(RepadPanels, 0);
  return 0;
}

int OnBackClicked(HXCGUI, int, WPARAM, LPARAM, BOOL*) {
  // Back leads to the cards that were showing where the page is: a category, the search
  // results or the favourites.
  if (const int list = CardListOf(ShownPanel()); list != 0) {
    HELE& page = ToolPageSlot(list);
    if (page != 0) {
      XEle_Destroy(page);
      page = 0;
    }
    XEle_ShowEle(MainElement(list), TRUE);
  }
  RedrawContent();
  return 0;
}
