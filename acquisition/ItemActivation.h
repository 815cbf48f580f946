// Opening a tool from its card: an installed tool's page is built at once; a missing tool is
// downloaded on a worker thread, unpacked into its install directory, and then opened.
#pragma once

#include <array>

#include "shell/SharedTypes.h"
#include "shell/toolkit/xcgui.h"

// What a card's indicator click hands to activation. It also carries the clicked card's list,
// group and item, so a click on another card during a download cannot change which tool is
// installed.
struct ActivationRecord {
  HELE element = 0;
  HELE list = 0;
  int group = -1;
  int item = -1;
};

// Makes the record for a click on `element` (a card's template element 10) in CurrentCardList.
ActivationRecord* NewActivationRecord(HELE element);

// Runs on the UI thread (XC_CallUiThread); takes ownership of the record passed as `data`.
intptr_t ActivateCard(intptr_t data);

// The page element built for navigation entries 2 to 6 (index = entry), 0 when none.
std::array<HELE, 8>& ToolPageSlot();
