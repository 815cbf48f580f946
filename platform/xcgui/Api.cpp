// The library's exported functions (shell/toolkit/xcgui.h). Each checks its handles and runs on
// the UI thread: calls made on other threads are handed over and waited for, so worker threads
// may use the toolkit directly.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/win32/Win32.h"
#include "platform/xcgui/Button.h"
#include "platform/xcgui/Edit.h"
#include "platform/xcgui/ItemTemplate.h"
#include "platform/xcgui/LayoutLoader.h"
#include "platform/xcgui/ListView.h"
#include "platform/xcgui/ListViewAdapter.h"
#include "platform/xcgui/ShapePicture.h"
#include "platform/xcgui/ShapeText.h"
#include "platform/xcgui/TextCodec.h"
#include "platform/xcgui/Toolkit.h"
#include "platform/xcgui/TreeAdapter.h"
#include "platform/xcgui/TreeView.h"
#include "platform/xcgui/Window.h"
#include "shell/toolkit/xcgui.h"

namespace {

template <class T>
T* As(HXCGUI handle) {
  return Object::lookupAs<T>(handle);
}

Toolkit& Kit() {
  return Toolkit::instance();
}

std::string Utf8(const char16_t* text) {
  return TextCodec::utf16ToUtf8(TextCodec::fromApi(text));
}

SizeRule RuleOf(int type, int pixels) {
  switch (type) {
    case 1:
      return {SizeKind::Fill, 0};
    case 2:
      return {SizeKind::Auto, 0};
    default:
      return {SizeKind::Fixed, std::max(0, pixels)};
  }
}

}  // namespace

extern "C" {

// ---- life cycle ----

BOOL XInitXCGUI(const char16_t*) {
  return Kit().init() ? TRUE : FALSE;
}

BOOL XC_LoadResource(const char16_t* file) {
  std::string path = TextCodec::nativePath(file);
  return OnUiThread([&] { return Kit().theme().loadResourceFile(path) ? TRUE : FALSE; });
}

void XRunXCGUI() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void XExitXCGUI() {
  OnUiThread([] { Kit().shutdown(); });
}

intptr_t XC_CallUiThread(XC_UiThreadProc proc, intptr_t data) {
  if (!proc) return 0;
  intptr_t result = 0;
  Kit().runOnUiThread([&] { result = proc(data); });
  return result;
}

float XEase_Expo(float pos, int flag) {
  float t = std::clamp(pos, 0.0f, 1.0f);
  switch (flag) {
    case 0:  // ease in
      return t <= 0.0f ? 0.0f : std::pow(2.0f, 10.0f * (t - 1.0f));
    case 2:  // ease in, then out
      if (t <= 0.0f || t >= 1.0f) return t;
      return t < 0.5f ? std::pow(2.0f, 20.0f * t - 10.0f) / 2.0f
                      : (2.0f - std::pow(2.0f, -20.0f * t + 10.0f)) / 2.0f;
    default:  // ease out; exactly 1 at the end so animations land on their target
      return t >= 1.0f ? 1.0f : 1.0f - std::pow(2.0f, -10.0f * t);
  }
}

// ---- layouts and lookup ----

HXCGUI XC_LoadLayout(const char16_t* file, HXCGUI parent) {
  std::string path = TextCodec::nativePath(file);
  return OnUiThread([&]() -> HXCGUI {
    Element* parentElement = nullptr;
    if (parent != 0 && !(parentElement = As<Element>(parent))) {
      std::fprintf(stderr, "xcgui: %s: the parent handle %d is not an element\n", path.c_str(), parent);
      return 0;
    }
    LayoutLoader loader(path);
    if (!loader.open()) return 0;
    Object* loaded = loader.load(parentElement);
    return loaded ? loaded->handle() : 0;
  });
}

HXCGUI XC_GetObjectByID(HWINDOW window, int id) {
  return OnUiThread([&]() -> HXCGUI {
    if (window != 0) {
      Element* scope = As<Element>(window);
      Element* found = scope ? scope->findById(id) : nullptr;
      return found ? found->handle() : 0;
    }
    for (auto& w : Kit().windows())
      if (Element* found = w->findById(id)) return found->handle();
    return 0;
  });
}

int XC_GetObjectType(HXCGUI object) {
  return OnUiThread([&] {
    Object* o = Object::lookup(object);
    return o ? o->objectType() : 0;
  });
}

HXCGUI XTree_GetTemplateObject(HELE tree, int item, int id) {
  return OnUiThread([&]() -> HXCGUI {
    auto* t = As<TreeView>(tree);
    Element* found = t ? t->templateObject(item, id) : nullptr;
    return found ? found->handle() : 0;
  });
}

HXCGUI XListView_GetTemplateObject(HELE list, int group, int item, int id) {
  return OnUiThread([&]() -> HXCGUI {
    auto* l = As<ListView>(list);
    Element* found = l ? l->templateObject(group, item, id) : nullptr;
    return found ? found->handle() : 0;
  });
}

// ---- events ----

BOOL XEle_RegEventC(HELE element, int event, XC_EventProc proc) {
  return OnUiThread([&] {
    auto* e = As<Element>(element);
    if (!e || !proc) return FALSE;
    e->registerHandler(event, proc);
    return TRUE;
  });
}

BOOL XEle_RegEventC1(HELE element, int event, XC_EventProc proc) {
  return XEle_RegEventC(element, event, proc);
}

BOOL XWnd_RegEventC(HWINDOW window, int message, XC_EventProc proc) {
  return OnUiThread([&] {
    auto* w = As<Window>(window);
    if (!w || !proc) return FALSE;
    w->registerMessageHandler(message, proc);
    return TRUE;
  });
}

// ---- windows ----

BOOL XWnd_ShowWindow(HWINDOW window, int show) {
  return OnUiThread([&] {
    auto* w = As<Window>(window);
    if (!w) return FALSE;
    w->show(show != SW_HIDE);
    return TRUE;
  });
}

void XWnd_AdjustLayout(HWINDOW window) {
  OnUiThread([&] {
    if (auto* w = As<Window>(window)) w->adjustLayout();
  });
}

void XWnd_RedrawWnd(HWINDOW window, BOOL immediate) {
  OnUiThread([&] {
    if (auto* w = As<Window>(window)) immediate ? (void)w->render() : w->markDirty(false);
  });
}

void XWnd_Move(HWINDOW window, int x, int y) {
  OnUiThread([&] {
    if (auto* w = As<Window>(window)) w->move({x, y});
  });
}

HWND XWnd_GetHWND(HWINDOW window) {
  return OnUiThread([&]() -> HWND {
    auto* w = As<Window>(window);
    return w ? w->hwnd() : nullptr;
  });
}

void XWnd_SetMinimumSize(HWINDOW window, int width, int height) {
  OnUiThread([&] {
    if (auto* w = As<Window>(window)) w->setMinimumSize(width, height);
  });
}

void XWnd_SetTransparentType(HWINDOW window, int type) {
  OnUiThread([&] {
    if (auto* w = As<Window>(window)) w->setTransparentType(type);
  });
}

void XWnd_SetTransparentAlpha(HWINDOW window, BYTE alpha) {
  OnUiThread([&] {
    if (auto* w = As<Window>(window)) w->setTransparentAlpha(alpha);
  });
}

// ---- elements ----

void XEle_ShowEle(HELE element, BOOL show) {
  OnUiThread([&] {
    if (auto* e = As<Element>(element)) e->setVisible(show != FALSE);
  });
}

void XEle_AdjustLayout(HELE element) {
  OnUiThread([&] {
    auto* e = As<Element>(element);
    if (!e) return;
    // Sizes depend on siblings and parents, so layout always runs from the window down.
    if (Window* w = e->window())
      w->adjustLayout();
    else
      e->layout(e->rect());
  });
}

void XEle_RedrawEle(HELE element, BOOL immediate) {
  OnUiThread([&] {
    auto* e = As<Element>(element);
    if (!e) return;
    Window* w = e->window();
    if (w && immediate)
      w->render();
    else
      e->invalidate();
  });
}

void XEle_Destroy(HELE element) {
  OnUiThread([&] {
    auto* e = As<Element>(element);
    if (!e) return;
    if (auto* w = dynamic_cast<Window*>(e)) {
      Kit().closeWindow(w, false);
      return;
    }
    if (Element* parent = e->parent()) Kit().bury(parent->detachChild(e));
  });
}

void XEle_SetAlpha(HELE element, BYTE alpha) {
  OnUiThread([&] {
    if (auto* e = As<Element>(element)) e->setAlpha(alpha);
  });
}

void XEle_SetLayoutWidth(HELE element, int type, int width) {
  OnUiThread([&] {
    if (auto* e = As<Element>(element)) e->setWidthRule(RuleOf(type, width));
  });
}

int XLayout_GetWidthIn(HELE element) {
  return OnUiThread([&] {
    auto* e = As<Element>(element);
    return e ? e->widthIn() : 0;
  });
}

void XLayout_SetPadding(HELE element, int left, int top, int right, int bottom) {
  OnUiThread([&] {
    if (auto* e = As<Element>(element)) e->setPadding({left, top, right, bottom});
  });
}

void XEle_EnableBkTransparent(HELE element, BOOL enable) {
  OnUiThread([&] {
    if (auto* e = As<Element>(element)) e->setBkTransparent(enable != FALSE);
  });
}

HBKM XEle_GetBkManager(HELE element) {
  return OnUiThread([&]() -> HBKM {
    auto* e = As<Element>(element);
    return e ? e->bkManager().handle() : 0;
  });
}

void XBkM_Clear(HBKM manager) {
  OnUiThread([&] {
    if (auto* m = As<BkManager>(manager)) m->clear();
  });
}

int XBkM_AddFill(HBKM manager, int state, COLORREF color, int alpha) {
  return OnUiThread([&] {
    auto* m = As<BkManager>(manager);
    return m ? m->addFill(state, Colour::fromColorRef(color, alpha)) : 0;
  });
}

int XBkM_AddImage(HBKM manager, int state, HIMAGE image) {
  return OnUiThread([&] {
    auto* m = As<BkManager>(manager);
    return m ? m->addImage(state, image) : 0;
  });
}

void XEle_ClearBkInfo(HELE element) {
  OnUiThread([&] {
    auto* e = As<Element>(element);
    if (e && e->hasBkManager()) {
      e->bkManager().clear();
      e->invalidate();
    }
  });
}

void XEle_AddBkImage(HELE element, HIMAGE image) {
  OnUiThread([&] {
    if (auto* e = As<Element>(element)) {
      e->bkManager().addImage(BkManager::kAnyState, image);
      e->invalidate();
    }
  });
}

void XBtn_SetCheck(HELE button, BOOL check) {
  OnUiThread([&] {
    if (auto* b = As<Button>(button)) b->setChecked(check != FALSE);
  });
}

// ---- images and shapes ----

HIMAGE XImage_LoadFile(const char16_t* file, BOOL stretch) {
  std::string path = TextCodec::nativePath(file);
  return OnUiThread([&]() -> HIMAGE {
    Image* image = Kit().images().load(path, {}, stretch != FALSE);
    return image ? image->handle() : 0;
  });
}

HIMAGE XImage_LoadFileRect(const char16_t* file, int x, int y, int width, int height) {
  std::string path = TextCodec::nativePath(file);
  return OnUiThread([&]() -> HIMAGE {
    if (width <= 0 || height <= 0) return 0;
    Image* image = Kit().images().load(path, {x, y, width, height}, true);
    return image ? image->handle() : 0;
  });
}

void XShapePic_SetImage(HELE shape, HIMAGE image) {
  OnUiThread([&] {
    if (auto* p = As<ShapePicture>(shape)) p->setImage(image);
  });
}

void XShapeText_SetText(HELE shape, const char16_t* text) {
  std::u16string value = TextCodec::fromApi(text);
  OnUiThread([&] {
    if (auto* t = As<ShapeText>(shape)) t->setText(value);
  });
}

const char16_t* XShapeText_GetText(HELE shape) {
  return OnUiThread([&]() -> const char16_t* {
    auto* t = As<ShapeText>(shape);
    return t ? t->text().c_str() : nullptr;
  });
}

// ---- edit ----

int XEdit_GetLength(HELE edit) {
  return OnUiThread([&] {
    auto* e = As<Edit>(edit);
    return e ? int(e->text().size()) : 0;
  });
}

int XEdit_GetText(HELE edit, char16_t* out, int capacity) {
  return OnUiThread([&] {
    auto* e = As<Edit>(edit);
    if (!e || !out || capacity <= 0) return 0;
    // capacity counts UTF-16 units including the terminating NUL.
    int n = std::min(int(e->text().size()), capacity - 1);
    std::copy_n(e->text().data(), n, out);
    out[n] = u'\0';
    return n;
  });
}

// ---- text conversion ----

int XC_AnsiToUnicode(const char* in, int inLength, char16_t* out, int outCapacity) {
  if (!in) return 0;
  return MultiByteToWideChar(CP_GBK, 0, in, inLength, out, out ? outCapacity : 0);
}

int XC_UnicodeToAnsi(const char16_t* in, int inLength, char* out, int outCapacity) {
  if (!in) return 0;
  return WideCharToMultiByte(CP_GBK, 0, in, inLength, out, out ? outCapacity : 0, nullptr, nullptr);
}

const char* XC_wtoa(const char16_t* text) {
  // One buffer per thread, valid until that thread's next call.
  thread_local std::string buffer;
  buffer.clear();
  if (!text) return buffer.c_str();
  int needed = WideCharToMultiByte(CP_GBK, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return buffer.c_str();
  buffer.assign(size_t(needed), '\0');
  WideCharToMultiByte(CP_GBK, 0, text, -1, buffer.data(), needed, nullptr, nullptr);
  buffer.resize(std::strlen(buffer.c_str()));
  return buffer.c_str();
}

// ---- trees ----

HXCGUI XAdTree_Create() {
  return OnUiThread([] { return Kit().keep(std::make_unique<TreeAdapter>())->handle(); });
}

void XTree_BindAdapter(HELE tree, HXCGUI adapter) {
  OnUiThread([&] {
    if (auto* t = As<TreeView>(tree)) t->bindAdapter(As<TreeAdapter>(adapter));
  });
}

int XAdTree_AddColumn(HXCGUI adapter, const char16_t* name) {
  std::string column = Utf8(name);
  return OnUiThread([&] {
    auto* a = As<TreeAdapter>(adapter);
    return a ? a->addColumn(column) : -1;
  });
}

int XAdTree_InsertItemText(HXCGUI adapter, const char16_t* text, int parent, int insertId) {
  std::u16string value = TextCodec::fromApi(text);
  return OnUiThread([&] {
    auto* a = As<TreeAdapter>(adapter);
    return a ? a->insertItem(0, value, parent, insertId) : 0;
  });
}

int XAdTree_InsertItemTextEx(HXCGUI adapter, const char16_t* column, const char16_t* text, int parent,
                             int insertId) {
  std::string name = Utf8(column);
  std::u16string value = TextCodec::fromApi(text);
  return OnUiThread([&] {
    auto* a = As<TreeAdapter>(adapter);
    return a ? a->insertItem(a->columnIndex(name), value, parent, insertId) : 0;
  });
}

BOOL XAdTree_SetItemTextEx(HXCGUI adapter, int item, const char16_t* column, const char16_t* text) {
  std::string name = Utf8(column);
  std::u16string value = TextCodec::fromApi(text);
  return OnUiThread([&] {
    auto* a = As<TreeAdapter>(adapter);
    return a && a->setText(item, a->columnIndex(name), value) ? TRUE : FALSE;
  });
}

BOOL XAdTree_SetItemImage(HXCGUI adapter, int item, int column, HIMAGE image) {
  return OnUiThread([&] {
    auto* a = As<TreeAdapter>(adapter);
    return a && a->setImage(item, column, As<Image>(image) ? image : 0) ? TRUE : FALSE;
  });
}

static BOOL SetTreeTemplate(HELE tree, const char16_t* file, bool selected) {
  std::string path = TextCodec::nativePath(file);
  return OnUiThread([&] {
    auto* t = As<TreeView>(tree);
    if (!t) return FALSE;
    auto loaded = ItemTemplate::load(path);
    if (!loaded) return FALSE;
    t->setTemplate(std::move(loaded), selected);
    return TRUE;
  });
}

BOOL XTree_SetItemTemplateXML(HELE tree, const char16_t* file) {
  return SetTreeTemplate(tree, file, false);
}

BOOL XTree_SetItemTemplateXMLSel(HELE tree, const char16_t* file) {
  return SetTreeTemplate(tree, file, true);
}

void XTree_SetItemHeightDefault(HELE tree, int height, int selectedHeight) {
  OnUiThread([&] {
    if (auto* t = As<TreeView>(tree)) t->setItemHeights(height, selectedHeight);
  });
}

void XTree_EnableConnectLine(HELE tree, BOOL enable, BOOL rootLine) {
  OnUiThread([&] {
    if (auto* t = As<TreeView>(tree)) t->setConnectLines(enable != FALSE, rootLine != FALSE);
  });
}

// ---- list views ----

HXCGUI XAdListView_Create() {
  return OnUiThread([] { return Kit().keep(std::make_unique<ListViewAdapter>())->handle(); });
}

void XListView_BindAdapter(HELE list, HXCGUI adapter) {
  OnUiThread([&] {
    if (auto* l = As<ListView>(list)) l->bindAdapter(As<ListViewAdapter>(adapter));
  });
}

int XAdListView_Group_AddColumn(HXCGUI adapter, const char16_t* name) {
  std::string column = Utf8(name);
  return OnUiThread([&] {
    auto* a = As<ListViewAdapter>(adapter);
    return a ? a->addGroupColumn(column) : -1;
  });
}

int XAdListView_Item_AddColumn(HXCGUI adapter, const char16_t* name) {
  std::string column = Utf8(name);
  return OnUiThread([&] {
    auto* a = As<ListViewAdapter>(adapter);
    return a ? a->addItemColumn(column) : -1;
  });
}

int XListView_Group_AddItemText(HELE list, const char16_t* text, int position) {
  std::u16string value = TextCodec::fromApi(text);
  return OnUiThread([&] {
    auto* l = As<ListView>(list);
    ListViewAdapter* a = l ? l->adapter() : nullptr;
    return a ? a->addGroup(value, position) : -1;
  });
}

int XListView_Item_AddItemImage(HELE list, int group, HIMAGE image, int position) {
  return OnUiThread([&] {
    auto* l = As<ListView>(list);
    ListViewAdapter* a = l ? l->adapter() : nullptr;
    return a ? a->addItem(group, As<Image>(image) ? image : 0, position) : -1;
  });
}

BOOL XListView_Item_SetTextEx(HELE list, int group, int item, const char16_t* column, const char16_t* text) {
  std::string name = Utf8(column);
  std::u16string value = TextCodec::fromApi(text);
  return OnUiThread([&] {
    auto* l = As<ListView>(list);
    ListViewAdapter* a = l ? l->adapter() : nullptr;
    return a && a->setItemText(group, item, name, value) ? TRUE : FALSE;
  });
}

BOOL XListView_SetItemTemplateXML(HELE list, const char16_t* file) {
  std::string path = TextCodec::nativePath(file);
  return OnUiThread([&] {
    auto* l = As<ListView>(list);
    if (!l) return FALSE;
    auto loaded = ItemTemplate::load(path);
    if (!loaded) return FALSE;
    l->setTemplate(std::move(loaded));
    return TRUE;
  });
}

void XListView_SetItemSize(HELE list, int width, int height) {
  OnUiThread([&] {
    if (auto* l = As<ListView>(list)) l->setItemSize(width, height);
  });
}

void XListView_SetGroupHeight(HELE list, int height) {
  OnUiThread([&] {
    if (auto* l = As<ListView>(list)) l->setGroupHeight(height);
  });
}

BOOL XListView_GetSelectItem(HELE list, int* group, int* item) {
  return OnUiThread([&] {
    auto* l = As<ListView>(list);
    if (!l) {
      if (group) *group = -1;
      if (item) *item = -1;
      return FALSE;
    }
    return l->selection(group, item) ? TRUE : FALSE;
  });
}

void XListView_DeleteAllGroup(HELE list) {
  OnUiThread([&] {
    if (auto* l = As<ListView>(list)) l->deleteAllGroups();
  });
}

void XListView_DeleteAllItem(HELE list) {
  OnUiThread([&] {
    if (auto* l = As<ListView>(list)) l->deleteAllItems();
  });
}

}  // extern "C"
