// The catalogue's process-wide state and every statement the program runs against it.
#pragma once

#include <vector>

#include "catalogue/AppRecord.h"
#include "catalogue/CatalogDb.h"

// The one connection of the process, created empty at start-up.
CatalogDb& TheCatalogDb();
// The shared scratch list every card-list fill loads its rows into (UI thread only).
std::vector<AppRecord>& LoadedRecords();
// Releases both, closing the connection first (exit clean-up).
void ReleaseCatalogueState();

// Rows of one category key ("video", "image", "effice", "ocr") into LoadedRecords; any other key
// loads nothing.
void QueryCategory(const AnsiText& key);
// Rows whose Name contains `text` (LIKE: ASCII case folded; "%" and "_" typed by the user act
// as wildcards) into LoadedRecords.
void QueryByName(const AnsiText& text);
// Rows marked as favourites into LoadedRecords.
void QueryFavourites();
// Every row's App_Install_path, in table order; nothing without a catalogue.
std::vector<AnsiText> QueryInstallDirectories();
// Sets or clears the favourite flag of the row with that ID.
bool SetFavourite(const AnsiText& id, bool on);
// city_adcode of the first city_id row for the city; empty when there is none.
AnsiText LookupCityAdcode(const AnsiText& city);
