#include "platform/xcgui/AdapterCell.h"

#include "platform/xcgui/Button.h"
#include "platform/xcgui/ShapePicture.h"
#include "platform/xcgui/ShapeText.h"

void BindCells(Element* item, const std::vector<std::string>& columns,
               const std::vector<AdapterCell>& cells) {
  if (!item->bindColumn().empty()) {
    for (size_t i = 0; i < columns.size() && i < cells.size(); ++i) {
      if (columns[i] != item->bindColumn()) continue;
      if (auto* text = dynamic_cast<ShapeText*>(item)) text->setText(cells[i].text);
      if (auto* picture = dynamic_cast<ShapePicture*>(item)) picture->setImage(cells[i].image);
      if (auto* button = dynamic_cast<Button*>(item)) button->setText(cells[i].text);
    }
  }
  for (auto& child : item->children()) BindCells(child.get(), columns, cells);
}
