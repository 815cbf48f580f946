// An item template file, checked once when set and built for every item shown.
#pragma once

#include <memory>
#include <string>

#include "platform/xcgui/LayoutLoader.h"

class Element;

class ItemTemplate {
 public:
  // nullptr (after a message on stderr) when the file is missing or broken.
  static std::unique_ptr<ItemTemplate> load(const std::string& nativePath);
  // A fresh item element holding the template's elements.
  std::unique_ptr<Element> instantiate() const;

 private:
  explicit ItemTemplate(std::string nativePath) : loader_(std::move(nativePath)) {}
  mutable LayoutLoader loader_;
};
