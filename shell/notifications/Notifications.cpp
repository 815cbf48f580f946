#include "shell/notifications/Notifications.h"

#include <algorithm>
#include <cstdlib>

#include "shell/main_window/Animation.h"
#include "shell/main_window/Colours.h"
#include "shell/startup/RunDirectory.h"
#include "shell/startup/UiTextConversion.h"
#include "shell/startup/Waits.h"

namespace {

constexpr int kSteps = 45;

UiText Ui(const char* text) {
  return ToUiText(text);
}

void SetUpTree(HWINDOW window) {
  HELE tree = XC_GetObjectByID(window, 9);
  XTree_EnableConnectLine(tree, FALSE, FALSE);
  XTree_SetItemHeightDefault(tree, 60, 62);
  HBKM manager = XEle_GetBkManager(tree);
  XBkM_AddFill(manager, 256, RGB(30, 27, 68), 255);
  XBkM_AddFill(manager, 512, RGB(39, 31, 68), 0);
  XTree_SetItemTemplateXML(tree, ToUiText(RunDir() + "\\布局文件\\NOtifications_tree\\tree_tem.xml").c_str());
  XTree_SetItemTemplateXMLSel(
      tree, ToUiText(RunDir() + "\\布局文件\\NOtifications_tree\\tree_tem_ser.xml").c_str());
  HXCGUI adapter = XAdTree_Create();
  XTree_BindAdapter(tree, adapter);
  for (const char* column : {"name", "Introduction", "time"}) XAdTree_AddColumn(adapter, Ui(column).c_str());
  XWnd_AdjustLayout(window);
  XWnd_ShowWindow(window, 5);
  int id = XAdTree_InsertItemTextEx(adapter, Ui("name").c_str(), Ui("视频转码").c_str(), 0, -3);
  XAdTree_SetItemTextEx(adapter, id, Ui("Introduction").c_str(), Ui("美丽的风景.mp4已经转码完毕！").c_str());
  XAdTree_SetItemTextEx(adapter, id, Ui("time").c_str(), Ui("1分钟前").c_str());
}

int OnNotificationsLeft(HXCGUI, int, WPARAM, LPARAM, BOOL*) {
  if (NotificationAnimating == 1) return 0;
  XC_CallUiThread(FadeOutNotifications, 0);
  return 0;
}

// The least move that puts a width x height window at `corner` inside the screen (its top-left
// corner wins when the screen is smaller than the window).
POINT ClampedInto(POINT corner, int width, int height, int screenWidth, int screenHeight) {
  return POINT{std::max<LONG>(0, std::min<LONG>(corner.x, screenWidth - width)),
               std::max<LONG>(0, std::min<LONG>(corner.y, screenHeight - height))};
}

bool Covers(POINT corner, int width, int height, POINT pointer) {
  return pointer.x >= corner.x && pointer.x < corner.x + width && pointer.y >= corner.y &&
         pointer.y < corner.y + height;
}

RECT WindowRect(HWINDOW window) {
  RECT rect{};
  GetWindowRect(XWnd_GetHWND(window), &rect);
  return rect;
}

}  // namespace

int FadeInAlpha(int step) {
  return static_cast<int>(step * 5.555555555555555) & 0xFF;
}
int FadeInOffset(int step) {
  return static_cast<int>(EasedFraction(step, kSteps) * 40.0 - 40.0);
}
int FadeOutAlpha(int step) {
  return static_cast<int>(255 - step * 5.666666666666667);
}
int FadeOutOffset(int step) {
  return static_cast<int>(EasedFraction(step, kSteps) * 40.0);
}

POINT NotificationPosition(POINT pointer, int width, int height, int screenWidth, int screenHeight) {
  const POINT wanted{pointer.x - 50, pointer.y + 10};
  if (screenWidth <= 0 || screenHeight <= 0) return wanted;
  const POINT inside = ClampedInto(wanted, width, height, screenWidth, screenHeight);
  if (!Covers(inside, width, height, pointer)) return inside;
  // Sliding back onto the screen put it under the pointer: take the nearest place just beside
  // the pointer that is on the screen, so the window still closes only after being entered.
  const POINT beside[] = {
      {inside.x, pointer.y - height}, {pointer.x - width, inside.y}, {pointer.x + 1, inside.y}};
  POINT best = inside;
  LONG bestDistance = -1;
  for (const POINT& place : beside) {
    POINT kept = ClampedInto(place, width, height, screenWidth, screenHeight);
    LONG distance = std::abs(place.x - wanted.x) + std::abs(place.y - wanted.y);
    if (kept.x != place.x || kept.y != place.y || (bestDistance >= 0 && distance >= bestDistance)) continue;
    best = place;
    bestDistance = distance;
  }
  return best;
}

void OpenNotifications() {
  HWINDOW window = XC_LoadLayout(ToUiText(RunDir() + "\\布局文件\\NOtifications.xml").c_str(), 0);
  if (window == 0) return;
  NotificationWindow = window;
  XWnd_RegEventC(window, XWM_MOUSELEAVE, OnNotificationsLeft);
  POINT pointer{};
  GetCursorPos(&pointer);
  RECT rect = WindowRect(window);
  POINT corner = NotificationPosition(pointer, rect.right - rect.left, rect.bottom - rect.top,
                                      GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  XWnd_Move(window, corner.x, corner.y);
  SetUpTree(window);
  XWnd_AdjustLayout(window);
  XWnd_RedrawWnd(window, FALSE);
  if (NotificationAnimating == 0) XC_CallUiThread(FadeInNotifications, 0);
}

int OnNotificationsClicked(HXCGUI, int, WPARAM, LPARAM, BOOL*) {
  if (NotificationWindow == 0) OpenNotifications();
  return 0;
}

intptr_t FadeInNotifications(intptr_t) {
  HWINDOW window = NotificationWindow;
  NotificationAnimating = 1;
  RECT rect = WindowRect(window);
  for (int i = 1; i <= kSteps; ++i) {
    XWnd_SetTransparentAlpha(window, static_cast<BYTE>(FadeInAlpha(i)));
    XWnd_Move(window, rect.left, rect.top - FadeInOffset(i));
    XWnd_RedrawWnd(window, FALSE);
    PumpingWait(1, 0);
  }
  NotificationAnimating = 0;
  return 0;
}

intptr_t FadeOutNotifications(intptr_t) {
  HWINDOW window = NotificationWindow;
  NotificationAnimating = 1;
  RECT rect = WindowRect(window);
  for (int i = 1; i <= kSteps; ++i) {
    XWnd_SetTransparentAlpha(window, static_cast<BYTE>(FadeOutAlpha(i)));
    XWnd_Move(window, rect.left, rect.top + FadeOutOffset(i));
    XWnd_RedrawWnd(window, FALSE);
    PumpingWait(1, 0);
  }
  NotificationAnimating = 0;
  NotificationWindow = 0;
  PostClose(XWnd_GetHWND(window));
  return 0;
}
