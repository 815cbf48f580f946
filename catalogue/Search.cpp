#include "catalogue/Search.h"

#include "catalogue/CardBehaviour.h"
#include "catalogue/CatalogueQueries.h"
#include "catalogue/CategoryPanel.h"
#include "catalogue/KeyBinding.h"
#include "shell/SharedState.h"
#include "shell/main_window/Animation.h"
#include "shell/main_window/Panels.h"
#include "shell/startup/UiTextConversion.h"
#include "shell/startup/Waits.h"

namespace {

constexpr int kSteps = 35;
constexpr int kBoxWidth = 160;

void RunSearchFromKey(HWND, WPARAM, LPARAM) {
  RunSearch();
}

void RelayoutBox() {
  XEle_AdjustLayout(MainElement(18));
  XEle_RedrawEle(MainElement(18), FALSE);
}

void ShowBoxParts(BOOL show) {
  for (int id : {30, 32, 27}) XEle_ShowEle(MainElement(id), show);
}

void AnimateBox(bool opening) {
  for (int i = 1; i <= kSteps; ++i) {
    BYTE alpha = static_cast<BYTE>(SearchBoxAlpha(i, opening));
    for (int id : {31, 33, 27}) XEle_SetAlpha(MainElement(id), alpha);
    XEle_SetLayoutWidth(MainElement(32), 0, SearchBoxWidth(i, opening));
    RelayoutBox();
    PumpingWait(1, 0);
  }
}

}  // namespace

void ShowSearchResults(const AnsiText& text) {
  HELE list = PanelOf(PanelMember::Search).list;
  CurrentCardList = list;
  ForgetRevealedCard();
  LoadedRecords().clear();
  ClearCardList(list);
  QueryByName(text);
  FillCardList(list);
  XWnd_AdjustLayout(MainWindow);
  XEle_RedrawEle(MainElement(8), FALSE);
  ShowOnlyPanel(Panel::Search);
}

int SearchBoxAlpha(int step, bool opening) {
  double alpha = step * 255.0 / kSteps;
  return opening ? static_cast<int>(alpha) : static_cast<int>(255 - alpha);
}

int SearchBoxWidth(int step, bool opening) {
  double eased = kBoxWidth * static_cast<double>(EasedFraction(step, kSteps));
  return opening ? static_cast<int>(eased) : static_cast<int>(kBoxWidth - eased);
}

AnsiText ReadSearchText() {
  HELE edit = MainElement(35);
  int length = XEdit_GetLength(edit);
  UiText buffer(static_cast<size_t>(length) + 1, u'\0');
  XEdit_GetText(edit, buffer.data(), length + 1);
  return FromUiText(buffer.c_str());
}

void RunSearch() {
  BindKey(XWnd_GetHWND(MainWindow), 0, VK_RETURN, RunSearchFromKey, 1, 0);
  AnsiText text = ReadSearchText();
  if (!text.empty()) ShowSearchResults(text);
  XC_CallUiThread(AnimateSearchBox, 0);
}

int OnSearchButtonClicked(HXCGUI, int, WPARAM, LPARAM, BOOL*) {
  RunSearch();
  return 0;
}

int OnSearchTextChanged(HXCGUI, int, WPARAM, LPARAM, BOOL*) {
  if (ReadSearchText().empty()) XC_CallUiThread(AnimateSearchBox, 0);
  return 0;
}

intptr_t AnimateSearchBox(intptr_t) {
  XEle_AdjustLayout(MainElement(8));
  XEle_RedrawEle(MainElement(8), FALSE);
  ShowBoxParts(TRUE);
  RelayoutBox();
  if (SearchBoxExpanded == 0) {
    AnimateBox(true);
    SearchBoxExpanded = 1;
  }
  PumpingWait(5, 1);
  if (SearchBoxExpanded == 1 && ReadSearchText().empty()) {
    AnimateBox(false);
    ShowBoxParts(FALSE);
    UnbindKey(XWnd_GetHWND(MainWindow), VK_RETURN);
    SearchBoxExpanded = 0;
  }
  RelayoutBox();
  return 0;
}
