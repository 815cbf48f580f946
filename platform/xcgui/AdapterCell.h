// One value of an adapter row: a text and/or a picture, shown by the template element bound to
// the cell's column.
#pragma once

#include <string>
#include <vector>

#include "shell/toolkit/xcgui.h"

struct AdapterCell {
  std::u16string text;
  HXCGUI image = 0;
};

class Element;
// Writes the cells into the elements of an item that are bound to a column (`bind` in the
// template): texts into shape texts and buttons, pictures into shape pictures.
void BindCells(Element* item, const std::vector<std::string>& columns, const std::vector<AdapterCell>& cells);
