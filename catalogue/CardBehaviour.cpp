#include "catalogue/CardBehaviour.h"

#include <array>
#include <memory>

#include "acquisition/ItemActivation.h"
#include "catalogue/CatalogueQueries.h"
#include "catalogue/CategoryPanel.h"
#include "shell/SharedState.h"
#include "shell/main_window/CardLocation.h"
#include "shell/startup/RunDirectory.h"
#include "shell/startup/UiTextConversion.h"

namespace {

// The integers of a hand-off to the UI thread, in a small owned buffer the receiver releases.
struct Selection {
  int group;
  int item;
};

// The card RevealedElement belongs to, kept by its place: the list may build that card anew,
// and its new element 8 then takes the mark.
CardLocation g_revealedCard;

void RevealMarkOf(const CardLocation& card) {
  RevealedElement = card.element(8);
  if (RevealedElement == 0) return;
  XEle_ShowEle(RevealedElement, TRUE);
  XEle_AdjustLayout(card.list());
  XEle_RedrawEle(card.list(), FALSE);
}

intptr_t RevealSelectedCard(intptr_t data) {
  std::unique_ptr<Selection> selection(reinterpret_cast<Selection*>(data));
  ForgetRevealedCard();
  g_revealedCard = CardLocation(CurrentCardList, selection->group, selection->item);
  RevealMarkOf(g_revealedCard);
  return 0;
}

void SetButtonFromFlag(HELE list, int group, int item, HELE button) {
  HELE flag = XListView_GetTemplateObject(list, group, item, 16);
  if (XC_GetObjectType(flag) != XC_SHAPE_TEXT) return;
  XBtn_SetCheck(button, FromUiText(XShapeText_GetText(flag)) == "0" ? FALSE : TRUE);
}

void DressIndicator(HELE indicator) {
  XEle_ClearBkInfo(indicator);
  HIMAGE image = XImage_LoadFile(ToUiText(RunDir() + "\\资源文件\\download\\Download_1.png").c_str(), TRUE);
  XEle_AddBkImage(indicator, image);
  XEle_AdjustLayout(indicator);
  XEle_RedrawEle(indicator, FALSE);
  XEle_RegEventC1(indicator, XE_LBUTTONUP, OnIndicatorClicked);
}

}  // namespace

void ForgetRevealedCard() {
  if (RevealedElement != 0) XEle_ShowEle(RevealedElement, FALSE);
  RevealedElement = 0;
  g_revealedCard = CardLocation();
}

AnsiText CardText(HELE list, int group, int item, int id) {
  HELE element = XListView_GetTemplateObject(list, group, item, id);
  if (element == 0) return AnsiText();
  return FromUiText(XShapeText_GetText(element));
}

int OnCardCreated(HXCGUI list, int, WPARAM wParam, LPARAM, BOOL*) {
  const auto* card = reinterpret_cast<const XC_ListViewItem*>(wParam);
  if (card == nullptr) return 0;
  HELE indicator = XListView_GetTemplateObject(list, card->iGroup, card->iItem, 10);
  HELE button = XListView_GetTemplateObject(list, card->iGroup, card->iItem, 20);
  SetButtonFromFlag(list, card->iGroup, card->iItem, button);
  if (XC_GetObjectType(indicator) == XC_ELE) DressIndicator(indicator);
  if (XC_GetObjectType(button) == XC_BUTTON) XEle_RegEventC1(button, XE_BNCLICK, ToggleFavourite);
  if (CardLocation(list, card->iGroup, card->iItem) == g_revealedCard) RevealMarkOf(g_revealedCard);
  return 0;
}

int OnCardSelected(HXCGUI, int, WPARAM wParam, LPARAM lParam, BOOL*) {
  auto selection = std::make_unique<Selection>(Selection{static_cast<int>(wParam), static_cast<int>(lParam)});
  XC_CallUiThread(RevealSelectedCard, reinterpret_cast<intptr_t>(selection.release()));
  return 0;
}

int OnIndicatorClicked(HXCGUI, int, WPARAM, LPARAM, BOOL*) {
  XC_CallUiThread(ActivateCard, reinterpret_cast<intptr_t>(NewActivationRecord()));
  return 0;
}

namespace {
// Shows the flag on a card: its list row (what the card is built from when it scrolls back
// into view) and, while it is built, its flag text and star.
void ShowFavourite(const CardLocation& card, const UiText& value, bool on) {
  XListView_Item_SetTextEx(card.list(), card.group(), card.item(), ToUiText("isCollection").c_str(), value.c_str());
  if (HELE flag = card.element(16)) XShapeText_SetText(flag, value.c_str());
  if (HELE star = card.element(20)) XBtn_SetCheck(star, on ? TRUE : FALSE);
  XEle_RedrawEle(card.list(), FALSE);
}
}  // namespace

int ToggleFavourite(HXCGUI button, int, WPARAM, LPARAM, BOOL*) {
  int group = -1, item = -1;
  XListView_GetSelectItem(CurrentCardList, &group, &item);
  HELE flag = XListView_GetTemplateObject(CurrentCardList, group, item, 16);
  const bool turningOn = FromUiText(XShapeText_GetText(flag)) == "0";
  const UiText value = ToUiText(turningOn ? "1" : "0");
  const CardLocation clicked(CurrentCardList, group, item);
  ShowFavourite(clicked, value, turningOn);
  AnsiText id = CardText(CurrentCardList, group, item, 15);
  XBtn_SetCheck(button, turningOn ? TRUE : FALSE);
  // The same tool's card in every other list (its category, search results, favourites)
  // agrees at once.
  if (!id.empty()) {
    for (const CardLocation& card : CardsShowingRow(id)) {
      if (!(card == clicked)) ShowFavourite(card, value, turningOn);
    }
  }
  SetFavourite(id, turningOn);
  return 0;
}
