#include "shell/main_window/CardLocation.h"

CardLocation CardLocation::SelectedIn(HELE list) {
  int group = -1, item = -1;
  if (list == 0 || !XListView_GetSelectItem(list, &group, &item)) return CardLocation();
  return CardLocation(list, group, item);
}

HELE CardLocation::element(int id) const {
  return isSet() ? XListView_GetTemplateObject(list_, group_, item_, id) : 0;
}
