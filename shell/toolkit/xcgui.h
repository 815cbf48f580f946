// The UI toolkit as the launcher sees it: every function of the toolkit library `XCGUI.dll`
// that the system calls, with the types they exchange. The same header is the library's ABI:
// the library defines these functions, the launcher resolves them from the file at run time.
//
// Handles are integers; 0 means none. Texts are UTF-16 (UiText), NUL-terminated.
#pragma once

#include <cstdint>

#ifndef QB_WIN32_BASIC_TYPES
#define QB_WIN32_BASIC_TYPES
typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned int UINT;
typedef uint32_t COLORREF;
typedef intptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef struct HWND__* HWND;
#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif
#endif

typedef int HXCGUI;
typedef HXCGUI HWINDOW;
typedef HXCGUI HELE;
typedef HXCGUI HIMAGE;
typedef HXCGUI HBKM;

// Event and window-message handler. `self` is the object the handler was registered on;
// the meaning of wParam and lParam per event is listed with the event numbers below.
// Handlers return 0 and may set *handled to stop later handlers of the same event.
typedef int (*XC_EventProc)(HXCGUI self, int event, WPARAM wParam, LPARAM lParam, BOOL* handled);

// XC_CallUiThread callback: runs on the UI thread, its result is handed back to the caller.
typedef intptr_t (*XC_UiThreadProc)(intptr_t data);

// Item records handed to template events (wParam points at one).
struct XC_TreeItem {  // event 122
  int nID;            // item ID, 1.. in insertion order
  BOOL selected;      // built from the selected-item template
};
struct XC_ListViewItem {  // event 142
  int iGroup;
  int iItem;
};

// Element events (XEle_RegEventC / XEle_RegEventC1).
enum {
  XE_MOUSESTAY = 7,            // pointer entered or rests on the element
  XE_MOUSELEAVE = 8,           // pointer left the element
  XE_LBUTTONUP = 11,           // wParam: key flags, lParam: POINT* in element coordinates
  XE_BNCLICK = 34,             // button clicked
  XE_TREE_TEMP_CREATE_END = 122,  // wParam: XC_TreeItem*
  XE_LISTVIEW_TEMP_CREATE_END = 142,  // wParam: XC_ListViewItem*
  XE_LISTVIEW_SELECT = 146,    // wParam: group index, lParam: item index
  XE_EDIT_CHANGED = 182,       // the edit's text changed
};
// Window messages (XWnd_RegEventC).
enum {
  XWM_SIZE = 5,           // wParam: 0, lParam: packed width | height << 16
  XWM_CLOSE = 16,
  XWM_MOUSELEAVE = 675,
};
// Object types (XC_GetObjectType).
enum {
  XC_WINDOW = 1,
  XC_ELE = 21,
  XC_BUTTON = 22,
  XC_EDIT = 23,
  XC_LIST_VIEW = 24,
  XC_TREE = 25,
  XC_LAYOUT_ELE = 53,
  XC_SHAPE = 60,
  XC_SHAPE_PICTURE = 61,
  XC_SHAPE_TEXT = 62,
};
// Background-manager states.
enum {
  XC_STATE_BUTTON_NORMAL = 16,
  XC_STATE_BUTTON_STAY = 32,
  XC_STATE_BUTTON_DOWN = 64,
  XC_STATE_LIST_ITEM_LEAVE = 0x80,
  XC_STATE_LIST_ITEM_STAY = 0x100,
  XC_STATE_LIST_ITEM_SELECT = 0x200,
  XC_STATE_LIST_ITEM_UNSELECT = 0x400,
  XC_STATE_TREE_ITEM_STAY = 256,
  XC_STATE_TREE_ITEM_SELECT = 512,
};

// X(return type, name, parameter list, argument list)
#define XCGUI_FUNCTIONS(X)                                                                              \
  /* life cycle */                                                                                     \
  X(BOOL, XInitXCGUI, (const char16_t* text), (text))                                                  \
  X(BOOL, XC_LoadResource, (const char16_t* file), (file))                                             \
  X(void, XRunXCGUI, (), ())                                                                           \
  X(void, XExitXCGUI, (), ())                                                                          \
  X(intptr_t, XC_CallUiThread, (XC_UiThreadProc proc, intptr_t data), (proc, data))                    \
  X(float, XEase_Expo, (float pos, int flag), (pos, flag))                                             \
  /* layouts and lookup */                                                                             \
  X(HXCGUI, XC_LoadLayout, (const char16_t* file, HXCGUI parent), (file, parent))                      \
  X(HXCGUI, XC_GetObjectByID, (HWINDOW window, int id), (window, id))                                  \
  X(int, XC_GetObjectType, (HXCGUI object), (object))                                                  \
  X(HXCGUI, XTree_GetTemplateObject, (HELE tree, int item, int id), (tree, item, id))                  \
  X(HXCGUI, XListView_GetTemplateObject, (HELE list, int group, int item, int id),                     \
    (list, group, item, id))                                                                           \
  /* events */                                                                                         \
  X(BOOL, XEle_RegEventC, (HELE element, int event, XC_EventProc proc), (element, event, proc))        \
  X(BOOL, XEle_RegEventC1, (HELE element, int event, XC_EventProc proc), (element, event, proc))       \
  X(BOOL, XWnd_RegEventC, (HWINDOW window, int message, XC_EventProc proc), (window, message, proc))   \
  /* windows */                                                                                        \
  X(BOOL, XWnd_ShowWindow, (HWINDOW window, int show), (window, show))                                 \
  X(void, XWnd_AdjustLayout, (HWINDOW window), (window))                                               \
  X(void, XWnd_RedrawWnd, (HWINDOW window, BOOL immediate), (window, immediate))                       \
  X(void, XWnd_Move, (HWINDOW window, int x, int y), (window, x, y))                                   \
  X(HWND, XWnd_GetHWND, (HWINDOW window), (window))                                                    \
  X(void, XWnd_SetMinimumSize, (HWINDOW window, int width, int height), (window, width, height))       \
  X(void, XWnd_SetTransparentType, (HWINDOW window, int type), (window, type))                         \
  X(void, XWnd_SetTransparentAlpha, (HWINDOW window, BYTE alpha), (window, alpha))                     \
  /* elements */                                                                                       \
  X(void, XEle_ShowEle, (HELE element, BOOL show), (element, show))                                    \
  X(void, XEle_AdjustLayout, (HELE element), (element))                                                \
  X(void, XEle_RedrawEle, (HELE element, BOOL immediate), (element, immediate))                        \
  X(void, XEle_Destroy, (HELE element), (element))                                                     \
  X(void, XEle_SetAlpha, (HELE element, BYTE alpha), (element, alpha))                                 \
  X(void, XEle_SetLayoutWidth, (HELE element, int type, int width), (element, type, width))            \
  X(int, XLayout_GetWidthIn, (HELE element), (element))                                                \
  X(void, XLayout_SetPadding, (HELE element, int left, int top, int right, int bottom),                \
    (element, left, top, right, bottom))                                                               \
  X(void, XEle_EnableBkTransparent, (HELE element, BOOL enable), (element, enable))                    \
  X(HBKM, XEle_GetBkManager, (HELE element), (element))                                                \
  X(void, XBkM_Clear, (HBKM manager), (manager))                                                       \
  X(int, XBkM_AddFill, (HBKM manager, int state, COLORREF color, int alpha),                           \
    (manager, state, color, alpha))                                                                    \
  X(int, XBkM_AddImage, (HBKM manager, int state, HIMAGE image), (manager, state, image))              \
  X(void, XEle_ClearBkInfo, (HELE element), (element))                                                 \
  X(void, XEle_AddBkImage, (HELE element, HIMAGE image), (element, image))                             \
  X(void, XBtn_SetCheck, (HELE button, BOOL check), (button, check))                                   \
  /* images and shapes */                                                                              \
  X(HIMAGE, XImage_LoadFile, (const char16_t* file, BOOL stretch), (file, stretch))                    \
  X(HIMAGE, XImage_LoadFileRect, (const char16_t* file, int x, int y, int width, int height),          \
    (file, x, y, width, height))                                                                       \
  X(void, XShapePic_SetImage, (HELE shape, HIMAGE image), (shape, image))                              \
  X(void, XShapeText_SetText, (HELE shape, const char16_t* text), (shape, text))                       \
  X(const char16_t*, XShapeText_GetText, (HELE shape), (shape))                                        \
  /* edit */                                                                                           \
  X(int, XEdit_GetLength, (HELE edit), (edit))                                                         \
  X(int, XEdit_GetText, (HELE edit, char16_t* out, int capacity), (edit, out, capacity))               \
  /* text conversion (ANSI is code page 936) */                                                        \
  X(int, XC_AnsiToUnicode, (const char* in, int inLength, char16_t* out, int outCapacity),             \
    (in, inLength, out, outCapacity))                                                                  \
  X(int, XC_UnicodeToAnsi, (const char16_t* in, int inLength, char* out, int outCapacity),             \
    (in, inLength, out, outCapacity))                                                                  \
  X(const char*, XC_wtoa, (const char16_t* text), (text))                                              \
  /* trees */                                                                                          \
  X(HXCGUI, XAdTree_Create, (), ())                                                                    \
  X(void, XTree_BindAdapter, (HELE tree, HXCGUI adapter), (tree, adapter))                             \
  X(int, XAdTree_AddColumn, (HXCGUI adapter, const char16_t* name), (adapter, name))                   \
  X(int, XAdTree_InsertItemText, (HXCGUI adapter, const char16_t* text, int parent, int insertId),     \
    (adapter, text, parent, insertId))                                                                 \
  X(int, XAdTree_InsertItemTextEx,                                                                     \
    (HXCGUI adapter, const char16_t* column, const char16_t* text, int parent, int insertId),          \
    (adapter, column, text, parent, insertId))                                                         \
  X(BOOL, XAdTree_SetItemTextEx, (HXCGUI adapter, int item, const char16_t* column, const char16_t* text), \
    (adapter, item, column, text))                                                                     \
  X(BOOL, XAdTree_SetItemImage, (HXCGUI adapter, int item, int column, HIMAGE image),                  \
    (adapter, item, column, image))                                                                    \
  X(BOOL, XTree_SetItemTemplateXML, (HELE tree, const char16_t* file), (tree, file))                   \
  X(BOOL, XTree_SetItemTemplateXMLSel, (HELE tree, const char16_t* file), (tree, file))                \
  X(void, XTree_SetItemHeightDefault, (HELE tree, int height, int selectedHeight),                     \
    (tree, height, selectedHeight))                                                                    \
  X(void, XTree_EnableConnectLine, (HELE tree, BOOL enable, BOOL rootLine), (tree, enable, rootLine))  \
  /* list views */                                                                                     \
  X(HXCGUI, XAdListView_Create, (), ())                                                                \
  X(void, XListView_BindAdapter, (HELE list, HXCGUI adapter), (list, adapter))                         \
  X(int, XAdListView_Group_AddColumn, (HXCGUI adapter, const char16_t* name), (adapter, name))         \
  X(int, XAdListView_Item_AddColumn, (HXCGUI adapter, const char16_t* name), (adapter, name))          \
  X(int, XListView_Group_AddItemText, (HELE list, const char16_t* text, int position),                 \
    (list, text, position))                                                                            \
  X(int, XListView_Item_AddItemImage, (HELE list, int group, HIMAGE image, int position),              \
    (list, group, image, position))                                                                    \
  X(BOOL, XListView_Item_SetTextEx,                                                                    \
    (HELE list, int group, int item, const char16_t* column, const char16_t* text),                    \
    (list, group, item, column, text))                                                                 \
  X(BOOL, XListView_SetItemTemplateXML, (HELE list, const char16_t* file), (list, file))               \
  X(void, XListView_SetItemSize, (HELE list, int width, int height), (list, width, height))            \
  X(void, XListView_SetGroupHeight, (HELE list, int height), (list, height))                           \
  X(BOOL, XListView_GetSelectItem, (HELE list, int* group, int* item), (list, group, item))            \
  X(void, XListView_DeleteAllGroup, (HELE list), (list))                                               \
  X(void, XListView_DeleteAllItem, (HELE list), (list))

#define XCGUI_DECLARE(ret, name, params, args) ret name params;
extern "C" {
XCGUI_FUNCTIONS(XCGUI_DECLARE)
}
#undef XCGUI_DECLARE
