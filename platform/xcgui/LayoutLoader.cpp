#include "platform/xcgui/LayoutLoader.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "platform/xcgui/Button.h"
#include "platform/xcgui/Edit.h"
#include "platform/xcgui/Image.h"
#include "platform/xcgui/LayoutElement.h"
#include "platform/xcgui/ListView.h"
#include "platform/xcgui/ShapePicture.h"
#include "platform/xcgui/ShapeText.h"
#include "platform/xcgui/TextCodec.h"
#include "platform/xcgui/Toolkit.h"
#include "platform/xcgui/TreeView.h"
#include "platform/xcgui/Window.h"

namespace {

// Larger than any screen the launcher runs on.
constexpr int kMaxWindowSide = 8192;
// Far deeper than any real layout; building, laying out and drawing recurse once per level, so
// a file nested thousands deep would otherwise run out of stack.
constexpr int kMaxDepth = 256;

// Attributes every element kind takes.
const std::set<std::string> kCommon = {"id",     "x",       "y",       "width",          "height",
                                       "layout", "padding", "gap",     "align",          "visible",
                                       "alpha",  "bkcolor", "bkimage", "bk-transparent", "bind"};
// Attributes of each kind beyond the common ones.
const std::map<std::string, std::set<std::string>> kKinds = {
    {"window", {"title", "borderless", "resizable", "caption-height", "tool-window"}},
    {"element", {}},
    {"layout", {}},
    {"shapetext", {"text", "color", "font", "font-size", "halign", "valign"}},
    {"shapepic", {"image", "stretch"}},
    {"button",
     {"text", "color", "checkable", "checked", "action", "image-normal", "image-stay", "image-down",
      "image-check"}},
    {"edit", {"text", "placeholder", "color", "font-size"}},
    {"tree",
     {"item-height", "item-height-selected", "indent", "connect-lines", "template", "template-selected"}},
    {"listview", {"item-width", "item-height", "item-gap", "group-height", "template"}},
    {"template", {}},
};

bool ParseInt(const std::string& text, int& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 0);
  if (*end != '\0' || value < -1000000 || value > 1000000) return false;
  out = int(value);
  return true;
}

bool ParseBool(const std::string& text, bool& out) {
  if (text == "true" || text == "1") return out = true, true;
  if (text == "false" || text == "0") return out = false, true;
  return false;
}

bool ParseSize(const std::string& text, SizeRule& out) {
  if (text == "fill") return out = {SizeKind::Fill, 0}, true;
  if (text == "auto") return out = {SizeKind::Auto, 0}, true;
  int pixels;
  if (!ParseInt(text, pixels) || pixels < 0) return false;
  out = {SizeKind::Fixed, pixels};
  return true;
}

bool ParseInts(const std::string& text, std::vector<int>& out) {
  std::stringstream in(text);
  std::string part;
  out.clear();
  while (std::getline(in, part, ',')) {
    int v;
    if (!ParseInt(part, v)) return false;
    out.push_back(v);
  }
  return !out.empty();
}

bool ParseState(const std::string& text, int& out) {
  static const std::map<std::string, int> names = {{"always", 0},
                                                   {"normal", XC_STATE_BUTTON_NORMAL},
                                                   {"stay", XC_STATE_BUTTON_STAY},
                                                   {"down", XC_STATE_BUTTON_DOWN},
                                                   {"check", Button::kStateChecked},
                                                   {"item-leave", XC_STATE_LIST_ITEM_LEAVE},
                                                   {"item-stay", XC_STATE_LIST_ITEM_STAY},
                                                   {"item-select", XC_STATE_LIST_ITEM_SELECT},
                                                   {"item-unselect", XC_STATE_LIST_ITEM_UNSELECT},
                                                   {"tree-stay", XC_STATE_TREE_ITEM_STAY},
                                                   {"tree-select", XC_STATE_TREE_ITEM_SELECT}};
  if (auto it = names.find(text); it != names.end()) return out = it->second, true;
  return ParseInt(text, out) && out >= 0;
}

TextAlign ParseAlign(const std::string& text) {
  if (text == "center") return TextAlign::Center;
  if (text == "right" || text == "bottom" || text == "end") return TextAlign::End;
  return TextAlign::Start;
}

}  // namespace

LayoutLoader::LayoutLoader(std::string nativePath) : path_(std::move(nativePath)) {}

bool LayoutLoader::open() {
  std::ifstream in(path_, std::ios::binary);
  if (!in) return failAt(-1, "cannot open the file");
  std::stringstream buffer;
  buffer << in.rdbuf();
  return parse(buffer.str());
}

bool LayoutLoader::parse(std::string contents) {
  contents_ = std::move(contents);
  pugi::xml_parse_result parsed = doc_.load_buffer(contents_.data(), contents_.size());
  if (!parsed) return failAt(parsed.offset, std::string("bad XML: ") + parsed.description());
  if (!doc_.document_element()) return failAt(-1, "no root element");
  return true;
}

int LayoutLoader::lineAt(ptrdiff_t offset) const {
  if (offset < 0) return 0;
  size_t end = std::min(size_t(offset), contents_.size());
  return 1 + int(std::count(contents_.begin(), contents_.begin() + ptrdiff_t(end), '\n'));
}

bool LayoutLoader::failAt(ptrdiff_t offset, const std::string& problem) {
  lastError_ = path_ + ":" + std::to_string(lineAt(offset)) + ": " + problem;
  std::fprintf(stderr, "xcgui: %s\n", lastError_.c_str());
  return false;
}

void LayoutLoader::warn(pugi::xml_node node, const std::string& problem) const {
  std::fprintf(stderr, "xcgui: %s:%d: %s\n", path_.c_str(), lineAt(node.offset_debug()), problem.c_str());
}

bool LayoutLoader::fail(pugi::xml_node node, const std::string& problem) {
  return failAt(node.offset_debug(), problem);
}

Object* LayoutLoader::load(Element* parent) {
  ids_.clear();
  pugi::xml_node root = doc_.document_element();
  std::string kind = root.name();
  if (kind == "template") {
    fail(root, "an item template cannot be loaded as a layout");
    return nullptr;
  }
  if (kind != "window") {
    if (!parent) {
      fail(root, "<" + kind + "> needs a parent element; only <window> stands alone");
      return nullptr;
    }
    std::unique_ptr<Element> element = buildElement(root, 0);
    if (!element) return nullptr;
    Element* added = parent->addChild(std::move(element));
    if (Window* w = added->window()) w->adjustLayout();
    return added;
  }
  if (parent) {
    fail(root, "a <window> cannot be loaded into an element");
    return nullptr;
  }
  auto allowed = kKinds.at("window");
  for (pugi::xml_attribute a : root.attributes()) {
    if (!kCommon.count(a.name()) && !allowed.count(a.name()))
      warn(root, std::string("unknown attribute '") + a.name() + "' on <window>, ignored");
  }
  WindowOptions options;
  options.title = root.attribute("title").as_string();
  SizeRule w{SizeKind::Fixed, 640}, h{SizeKind::Fixed, 480};
  if ((root.attribute("width") && !ParseSize(root.attribute("width").value(), w)) ||
      w.kind != SizeKind::Fixed ||
      (root.attribute("height") && !ParseSize(root.attribute("height").value(), h)) ||
      h.kind != SizeKind::Fixed) {
    fail(root, "a window needs its width and height in pixels");
    return nullptr;
  }
  // The window's frame is allocated at its full size, so a mistyped size must not ask for gigabytes.
  if (w.pixels > kMaxWindowSide || h.pixels > kMaxWindowSide) {
    fail(root, "a window is at most " + std::to_string(kMaxWindowSide) + " pixels wide and high");
    return nullptr;
  }
  options.screenRect.w = w.pixels, options.screenRect.h = h.pixels;
  if (root.attribute("x") && !ParseInt(root.attribute("x").value(), options.screenRect.x)) {
    fail(root, "bad x");
    return nullptr;
  }
  if (root.attribute("y") && !ParseInt(root.attribute("y").value(), options.screenRect.y)) {
    fail(root, "bad y");
    return nullptr;
  }
  ParseBool(root.attribute("borderless").as_string("false"), options.borderless);
  ParseBool(root.attribute("resizable").as_string("false"), options.resizable);
  ParseInt(root.attribute("caption-height").as_string("0"), options.captionHeight);
  ParseBool(root.attribute("tool-window").as_string("false"), options.toolWindow);
  if (auto colour = Toolkit::instance().theme().parseColour(root.attribute("bkcolor").as_string("#ffffff")))
    options.background = *colour;
  auto window = std::make_unique<Window>(options);
  if (!applyAttributes(root, window.get()) || !buildChildren(root, window.get(), 0)) return nullptr;
  window->setWidthRule({SizeKind::Fixed, options.screenRect.w});
  window->setHeightRule({SizeKind::Fixed, options.screenRect.h});
  Window* added = Toolkit::instance().addWindow(std::move(window));
  added->adjustLayout();
  return added;
}

bool LayoutLoader::buildTemplate(Element* item) {
  ids_.clear();
  pugi::xml_node root = doc_.document_element();
  if (std::string(root.name()) != "template") return fail(root, "an item template's root must be <template>");
  return applyAttributes(root, item) && buildChildren(root, item, 0);
}

bool LayoutLoader::buildChildren(pugi::xml_node node, Element* parent, int depth) {
  for (pugi::xml_node child : node.children()) {
    if (child.type() != pugi::node_element) continue;
    std::string name = child.name();
    if (name == "fill" || name == "image") continue;  // background entries, read with the parent
    std::unique_ptr<Element> element = buildElement(child, depth + 1);
    if (!element) return false;
    parent->addChild(std::move(element));
  }
  return true;
}

std::unique_ptr<Element> LayoutLoader::buildElement(pugi::xml_node node, int depth) {
  static const std::map<std::string, std::function<std::unique_ptr<Element>()>> factories = {
      {"element", [] { return std::make_unique<Element>(); }},
      {"layout", [] { return std::make_unique<LayoutElement>(); }},
      {"shapetext", [] { return std::make_unique<ShapeText>(); }},
      {"shapepic", [] { return std::make_unique<ShapePicture>(); }},
      {"button", [] { return std::make_unique<Button>(); }},
      {"edit", [] { return std::make_unique<Edit>(); }},
      {"tree", [] { return std::make_unique<TreeView>(); }},
      {"listview", [] { return std::make_unique<ListView>(); }},
  };
  std::string kind = node.name();
  if (depth > kMaxDepth) {
    fail(node, "elements nested more than " + std::to_string(kMaxDepth) + " deep");
    return nullptr;
  }
  auto factory = factories.find(kind);
  if (factory == factories.end()) {
    fail(node, kind == "window" || kind == "template" ? "<" + kind + "> may only be the root element"
                                                      : "unknown element <" + kind + ">");
    return nullptr;
  }
  std::unique_ptr<Element> element = factory->second();
  if (!applyAttributes(node, element.get()) || !buildChildren(node, element.get(), depth)) return nullptr;
  return element;
}

std::optional<int> LayoutLoader::imageHandle(pugi::xml_node node, const char* attribute, bool stretch) {
  std::string reference = node.attribute(attribute).as_string();
  Rect part;
  if (auto rect = node.attribute("rect")) {
    std::vector<int> v;
    if (!ParseInts(rect.value(), v) || v.size() != 4) {
      fail(node, "rect needs x,y,width,height");
      return std::nullopt;
    }
    part = {v[0], v[1], v[2], v[3]};
  }
  std::string path = Toolkit::instance().resolveResourcePath(reference);
  Image* image = Toolkit::instance().images().load(path, part, stretch);
  if (!image) {
    // One picture missing leaves that picture empty; the rest of the layout still loads.
    warn(node, "missing or unreadable picture '" + reference + "' (" + path + "), shown empty");
    return 0;
  }
  return image->handle();
}

bool LayoutLoader::applyBackground(pugi::xml_node node, Element* element) {
  Theme& theme = Toolkit::instance().theme();
  if (auto bk = node.attribute("bkcolor"); bk && !dynamic_cast<Window*>(element)) {
    auto colour = theme.parseColour(bk.value());
    if (!colour) return fail(node, std::string("bad colour '") + bk.value() + "'");
    element->bkManager().addFill(BkManager::kAnyState, *colour);
  }
  if (node.attribute("bkimage")) {
    auto image = imageHandle(node, "bkimage", true);
    if (!image) return false;
    if (*image != 0) element->bkManager().addImage(BkManager::kAnyState, *image);
  }
  for (pugi::xml_node entry : node.children()) {
    std::string name = entry.name();
    if (name != "fill" && name != "image") continue;
    int state = 0;
    if (!ParseState(entry.attribute("state").as_string("always"), state))
      return fail(entry, std::string("unknown state '") + entry.attribute("state").value() + "'");
    if (name == "fill") {
      auto colour = theme.parseColour(entry.attribute("color").as_string());
      if (!colour) return fail(entry, "a <fill> needs color=\"#rrggbb\"");
      int alpha = colour->a;
      if (entry.attribute("alpha") && !ParseInt(entry.attribute("alpha").value(), alpha))
        return fail(entry, "bad alpha");
      colour->a = uint8_t(std::clamp(alpha, 0, 255));
      element->bkManager().addFill(state, *colour);
    } else {
      bool stretch = true;
      ParseBool(entry.attribute("stretch").as_string("true"), stretch);
      auto image = imageHandle(entry, "src", stretch);
      if (!image) return false;
      if (*image != 0) element->bkManager().addImage(state, *image);
    }
  }
  return true;
}

bool LayoutLoader::applyAttributes(pugi::xml_node node, Element* e) {
  std::string kind = node.name();
  const auto& own = kKinds.at(kind);
  // An attribute this toolkit does not know (a newer layout's, a typo) is passed over with a note.
  for (pugi::xml_attribute a : node.attributes())
    if (!kCommon.count(a.name()) && !own.count(a.name()))
      warn(node, std::string("unknown attribute '") + a.name() + "' on <" + kind + ">, ignored");
  Theme& theme = Toolkit::instance().theme();
  int number = 0;
  if (auto id = node.attribute("id")) {
    if (!ParseInt(id.value(), number) || number <= 0)
      return fail(node, std::string("bad id '") + id.value() + "'");
    if (!ids_.insert(number).second) return fail(node, "duplicate id " + std::to_string(number));
    e->setId(number);
  }
  Point position;
  if (node.attribute("x") && !ParseInt(node.attribute("x").value(), position.x)) return fail(node, "bad x");
  if (node.attribute("y") && !ParseInt(node.attribute("y").value(), position.y)) return fail(node, "bad y");
  if (kind != "window") e->setPosition(position);
  SizeRule size;
  if (node.attribute("width") && kind != "window") {
    if (!ParseSize(node.attribute("width").value(), size))
      return fail(node, "bad width (pixels, fill or auto)");
    e->setWidthRule(size);
  }
  if (node.attribute("height") && kind != "window") {
    if (!ParseSize(node.attribute("height").value(), size))
      return fail(node, "bad height (pixels, fill or auto)");
    e->setHeightRule(size);
  }
  if (auto flow = node.attribute("layout")) {
    std::string f = flow.value();
    if (f == "horizontal")
      e->setFlow(Flow::Horizontal);
    else if (f == "vertical")
      e->setFlow(Flow::Vertical);
    else if (f == "none")
      e->setFlow(Flow::None);
    else
      return fail(node, "layout is horizontal, vertical or none");
  }
  if (auto padding = node.attribute("padding")) {
    std::vector<int> v;
    if (!ParseInts(padding.value(), v) || (v.size() != 1 && v.size() != 4))
      return fail(node, "padding is one number or left,top,right,bottom");
    e->setPadding(v.size() == 1 ? Padding{v[0], v[0], v[0], v[0]} : Padding{v[0], v[1], v[2], v[3]});
  }
  if (node.attribute("gap")) {
    if (!ParseInt(node.attribute("gap").value(), number)) return fail(node, "bad gap");
    e->setGap(number);
  }
  if (auto align = node.attribute("align")) {
    std::string a = align.value();
    e->setCrossAlign(a == "center" ? CrossAlign::Center : a == "end" ? CrossAlign::End : CrossAlign::Start);
  }
  bool flag = true;
  if (node.attribute("visible")) {
    if (!ParseBool(node.attribute("visible").value(), flag)) return fail(node, "visible is true or false");
    e->setVisible(flag);
  }
  if (node.attribute("alpha")) {
    if (!ParseInt(node.attribute("alpha").value(), number)) return fail(node, "bad alpha");
    e->setAlpha(number);
  }
  if (node.attribute("bk-transparent")) {
    if (!ParseBool(node.attribute("bk-transparent").value(), flag))
      return fail(node, "bk-transparent is true or false");
    e->setBkTransparent(flag);
  }
  e->setBindColumn(node.attribute("bind").as_string());
  if (!applyBackground(node, e)) return false;

  std::optional<Colour> colour;
  if (auto c = node.attribute("color")) {
    colour = theme.parseColour(c.value());
    if (!colour) return fail(node, std::string("bad colour '") + c.value() + "'");
  }
  int fontSize = 0;
  if (auto f = node.attribute("font")) fontSize = theme.namedFontSize(f.value());
  if (auto f = node.attribute("font-size"); f && (!ParseInt(f.value(), fontSize) || fontSize <= 0))
    return fail(node, "bad font-size");
  std::u16string text = TextCodec::utf8ToUtf16(node.attribute("text").as_string());

  if (auto* shape = dynamic_cast<ShapeText*>(e)) {
    shape->setText(text);
    if (colour) shape->setColour(*colour);
    shape->setFontSize(fontSize);
    shape->setAlign(ParseAlign(node.attribute("halign").as_string("left")),
                    ParseAlign(node.attribute("valign").as_string("center")));
  } else if (auto* picture = dynamic_cast<ShapePicture*>(e)) {
    if (node.attribute("image")) {
      bool stretch = true;
      ParseBool(node.attribute("stretch").as_string("true"), stretch);
      auto image = imageHandle(node, "image", stretch);
      if (!image) return false;
      if (*image != 0) picture->setImage(*image);
    }
  } else if (auto* button = dynamic_cast<Button*>(e)) {
    button->setText(text);
    if (colour) button->setTextColour(*colour);
    if (node.attribute("checkable") && !ParseBool(node.attribute("checkable").value(), flag))
      return fail(node, "checkable is true or false");
    if (node.attribute("checkable")) button->setCheckable(flag);
    if (node.attribute("checked") && !ParseBool(node.attribute("checked").value(), flag))
      return fail(node, "checked is true or false");
    if (node.attribute("checked")) button->setChecked(flag);
    std::string action = node.attribute("action").as_string("none");
    if (action == "close")
      button->setAction(ButtonAction::Close);
    else if (action == "minimize")
      button->setAction(ButtonAction::Minimize);
    else if (action == "maximize")
      button->setAction(ButtonAction::Maximize);
    else if (action != "none")
      return fail(node, "action is close, minimize, maximize or none");
    const std::pair<const char*, int> states[] = {{"image-normal", XC_STATE_BUTTON_NORMAL},
                                                  {"image-stay", XC_STATE_BUTTON_STAY},
                                                  {"image-down", XC_STATE_BUTTON_DOWN},
                                                  {"image-check", Button::kStateChecked}};
    for (auto [attribute, state] : states) {
      if (!node.attribute(attribute)) continue;
      auto image = imageHandle(node, attribute, true);
      if (!image) return false;
      if (*image != 0) button->bkManager().addImage(state, *image);
    }
  } else if (auto* edit = dynamic_cast<Edit*>(e)) {
    edit->setText(text);
    edit->setPlaceholder(TextCodec::utf8ToUtf16(node.attribute("placeholder").as_string()));
    if (colour) edit->setTextColour(*colour);
    edit->setFontSize(fontSize);
  } else if (auto* tree = dynamic_cast<TreeView*>(e)) {
    int height = 30, selected = 0, indent = 16;
    if ((node.attribute("item-height") && !ParseInt(node.attribute("item-height").value(), height)) ||
        (node.attribute("item-height-selected") &&
         !ParseInt(node.attribute("item-height-selected").value(), selected)) ||
        (node.attribute("indent") && !ParseInt(node.attribute("indent").value(), indent)))
      return fail(node, "bad item height or indent");
    tree->setItemHeights(height, selected ? selected : height);
    tree->setIndent(indent);
    if (node.attribute("connect-lines") && ParseBool(node.attribute("connect-lines").value(), flag))
      tree->setConnectLines(flag, flag);
    for (auto [attribute, isSelected] :
         {std::pair{"template", false}, std::pair{"template-selected", true}}) {
      if (!node.attribute(attribute)) continue;
      auto loaded =
          ItemTemplate::load(Toolkit::instance().resolveResourcePath(node.attribute(attribute).value()));
      if (!loaded)
        return fail(node, std::string("broken item template '") + node.attribute(attribute).value() + "'");
      tree->setTemplate(std::move(loaded), isSelected);
    }
  } else if (auto* list = dynamic_cast<ListView*>(e)) {
    int width = 100, height = 100, gap = 10, group = 28;
    if ((node.attribute("item-width") && !ParseInt(node.attribute("item-width").value(), width)) ||
        (node.attribute("item-height") && !ParseInt(node.attribute("item-height").value(), height)) ||
        (node.attribute("item-gap") && !ParseInt(node.attribute("item-gap").value(), gap)) ||
        (node.attribute("group-height") && !ParseInt(node.attribute("group-height").value(), group)))
      return fail(node, "bad item size, gap or group height");
    list->setItemSize(width, height);
    list->setItemGap(gap);
    list->setGroupHeight(group);
    if (node.attribute("template")) {
      auto loaded =
          ItemTemplate::load(Toolkit::instance().resolveResourcePath(node.attribute("template").value()));
      if (!loaded)
        return fail(node, std::string("broken item template '") + node.attribute("template").value() + "'");
      list->setTemplate(std::move(loaded));
    }
  }
  return true;
}
