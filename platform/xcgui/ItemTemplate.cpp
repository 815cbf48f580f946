#include "platform/xcgui/ItemTemplate.h"

#include "platform/xcgui/Element.h"

std::unique_ptr<ItemTemplate> ItemTemplate::load(const std::string& nativePath) {
  std::unique_ptr<ItemTemplate> result(new ItemTemplate(nativePath));
  if (!result->loader_.open()) return nullptr;
  // A trial build checks every element, value and picture now rather than per item.
  Element trial;
  if (!result->loader_.buildTemplate(&trial)) return nullptr;
  trial.retireTree();
  return result;
}

std::unique_ptr<Element> ItemTemplate::instantiate() const {
  auto item = std::make_unique<Element>();
  item->setFlow(Flow::None);
  loader_.buildTemplate(item.get());
  return item;
}
