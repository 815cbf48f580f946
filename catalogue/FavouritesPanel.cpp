#include "catalogue/FavouritesPanel.h"

#include "catalogue/CardBehaviour.h"
#include "catalogue/CatalogueQueries.h"
#include "catalogue/CategoryPanel.h"
#include "shell/SharedState.h"
#include "shell/main_window/Panels.h"

void RefillFavourites() {
  HELE list = PanelOf(PanelMember::Favourites).list;
  CurrentCardList = list;
  ForgetRevealedCard();
  LoadedRecords().clear();
  ClearCardList(list);
  QueryFavourites();
  FillCardList(list);
  XWnd_AdjustLayout(MainWindow);
  XEle_RedrawEle(MainElement(8), FALSE);
}

void OpenFavourites() {
  RefillFavourites();
  ApplyCardSize(CurrentCardList);
  ShowOnlyPanel(Panel::Favourites);
  XEle_AdjustLayout(MainElement(8));
  XEle_RedrawEle(MainElement(8), FALSE);
}

int OnFavouritesClicked(HXCGUI, int, WPARAM, LPARAM, BOOL*) {
  OpenFavourites();
  return 0;
}
