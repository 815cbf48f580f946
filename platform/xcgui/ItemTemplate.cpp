#include "platform/xcgui/ItemTemplate.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/xcgui/Element.h"

namespace {

// Templates whose trial build is under way on the UI thread. A template that refers to one of
// them, itself included, would build items inside items without end, so it is refused.
std::vector<std::string>& TemplatesBeingChecked() {
  static std::vector<std::string> paths;
  return paths;
}

class CheckingScope {
 public:
  explicit CheckingScope(const std::string& path) { TemplatesBeingChecked().push_back(path); }
  ~CheckingScope() { TemplatesBeingChecked().pop_back(); }
  CheckingScope(const CheckingScope&) = delete;
  CheckingScope& operator=(const CheckingScope&) = delete;
};

}  // namespace

std::unique_ptr<ItemTemplate> ItemTemplate::load(const std::string& nativePath) {
  const std::vector<std::string>& checking = TemplatesBeingChecked();
  if (std::find(checking.begin(), checking.end(), nativePath) != checking.end()) {
    std::fprintf(stderr, "xcgui: %s:0: the item template contains itself\n", nativePath.c_str());
    return nullptr;
  }
  std::unique_ptr<ItemTemplate> result(new ItemTemplate(nativePath));
  if (!result->loader_.open()) return nullptr;
  // A trial build checks every element, value and picture now rather than per item.
  Element trial;
  bool built;
  {
    CheckingScope scope(nativePath);
    built = result->loader_.buildTemplate(&trial);
  }
  trial.retireTree();
  return built ? std::move(result) : nullptr;
}

std::unique_ptr<Element> ItemTemplate::instantiate() const {
  auto item = std::make_unique<Element>();
  item->setFlow(Flow::None);
  loader_.buildTemplate(item.get());
  return item;
}
