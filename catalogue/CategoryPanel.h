// The family of card-list panels: four category panels filled once at start-up, the search
// results and the favourites. Every member shares one card template and one set of columns.
#pragma once

#include "shell/main_window/CardLocation.h"

#include <vector>

#include "shell/SharedTypes.h"
#include "shell/main_window/Panels.h"
#include "shell/toolkit/xcgui.h"

enum class PanelMember { Video, Image, Ocr, Search, Favourites, Effice };

struct CategoryPanel {
  HELE root = 0;
  HELE list = 0;
  HXCGUI adapter = 0;
};

// The panel of a member (empty until built).
CategoryPanel& PanelOf(PanelMember member);
// Which main-window panel a member is.
Panel PanelFor(PanelMember member);

// Loads the member's layout into the content host, sets up its list view, fills a category
// member from the catalogue, registers the card handlers, and leaves the panel hidden.
void BuildCategoryPanel(PanelMember member);
// Turns LoadedRecords into cards of `list`, in one group.
void FillCardList(HELE list);
// Removes every group and card of `list` (search results and favourites, before a refill).
void ClearCardList(HELE list);
// Every card, in any list, that shows the catalogue row with that ID (the toolkit keeps a
// card's texts but cannot list them back, so the lists' rows are kept here as they are filled).
std::vector<CardLocation> CardsShowingRow(const AnsiText& id);
// Applies the card size that goes with NavigationExpanded: 320 x 120 wide, 370 x 160 narrow.
void ApplyCardSize(HELE list);
