// Reads the toolkit's XML layout files (docs/LAYOUT_FORMAT.md) into element trees. A broken
// file (bad XML, unknown element or attribute, bad value, duplicate ID, missing picture) is
// reported on stderr as "xcgui: <file>:<line>: <problem>" and nothing of it is kept.
#pragma once

#include <pugixml.hpp>

#include <memory>
#include <optional>
#include <set>
#include <string>

class Element;
class Object;

class LayoutLoader {
 public:
  explicit LayoutLoader(std::string nativePath);

  // Reads and parses the file; false after reporting why.
  bool open();
  // Parses layout text that is already in memory, as open() does with the file's bytes; the path
  // given to the constructor only names it in messages.
  bool parse(std::string contents);
  // A <window> root with no parent gives a new window (registered with the toolkit); any other
  // root gives an element added under `parent`. nullptr after reporting a problem.
  Object* load(Element* parent);
  // For item templates: the root must be <template>; builds its children into `item` and
  // applies the root's attributes to it. False after reporting a problem.
  bool buildTemplate(Element* item);
  const std::string& lastError() const { return lastError_; }

 private:
  // `depth` counts the node's ancestors below the root, the root being at depth 0.
  std::unique_ptr<Element> buildElement(pugi::xml_node node, int depth);
  bool buildChildren(pugi::xml_node node, Element* parent, int depth);
  bool applyAttributes(pugi::xml_node node, Element* element);
  bool applyBackground(pugi::xml_node node, Element* element);
  bool fail(pugi::xml_node node, const std::string& problem);
  // A problem that leaves only its own part out: one line on stderr, and the load goes on.
  void warn(pugi::xml_node node, const std::string& problem) const;
  bool failAt(ptrdiff_t offset, const std::string& problem);
  int lineAt(ptrdiff_t offset) const;
  std::optional<int> imageHandle(pugi::xml_node node, const char* attribute, bool stretchDefault);

  std::string path_;
  std::string contents_;
  pugi::xml_document doc_;
  std::set<int> ids_;
  std::string lastError_;
};
