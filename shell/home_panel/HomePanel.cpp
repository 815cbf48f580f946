#include "shell/home_panel/HomePanel.h"

#include <cstdio>
#include <thread>

#include "net/WeatherReport.h"
#include "shell/SharedState.h"
#include "shell/main_window/Colours.h"
#include "shell/main_window/Panels.h"
#include "shell/startup/RequiredLayout.h"
#include "shell/startup/RunDirectory.h"
#include "shell/startup/UiTextConversion.h"
#include "shell/startup/Waits.h"

namespace {

constexpr const char* kWeekdays[] = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};

struct SampleTree {
  int id;
  int height;
  int selectedHeight;
  const char* itemTemplate;
};

void BuildSampleTree(const SampleTree& sample) {
  HELE tree = MainElement(sample.id);
  XTree_EnableConnectLine(tree, FALSE, FALSE);
  XTree_SetItemHeightDefault(tree, sample.height, sample.selectedHeight);
  HBKM manager = XEle_GetBkManager(tree);
  XBkM_AddFill(manager, 256, RGB(38, 29, 71), 20);
  XBkM_AddFill(manager, 512, RGB(38, 29, 71), 60);
  SetRequiredTemplate(XTree_SetItemTemplateXML, tree, sample.itemTemplate);
  HXCGUI adapter = XAdTree_Create();
  XTree_BindAdapter(tree, adapter);
  XAdTree_AddColumn(adapter, ToUiText("name").c_str());
  for (int i = 0; i < 2; ++i) {
    XAdTree_InsertItemTextEx(adapter, ToUiText("name").c_str(), ToUiText("视屏处理").c_str(), 0, -3);
  }
}

// The toolkit draws on its UI thread only, so the clock hands each update over to it.
intptr_t ShowClock(intptr_t data) {
  const auto* texts = reinterpret_cast<const ClockTexts*>(data);
  XShapeText_SetText(MainElement(1026), ToUiText(texts->time).c_str());
  XShapeText_SetText(MainElement(1024), ToUiText(texts->date).c_str());
  XEle_RedrawEle(MainElement(1022), FALSE);
  return 0;
}

std::tm Now() {
  std::time_t seconds = std::time(nullptr);
  std::tm local{};
  localtime_r(&seconds, &local);
  return local;
}

}  // namespace

ClockTexts FormatClock(const std::tm& moment) {
  char time[32];
  char date[64];
  std::snprintf(time, sizeof time, "%d:%d.%d", moment.tm_hour, moment.tm_min, moment.tm_sec);
  std::snprintf(date, sizeof date, "%d年%d月%d日  %s", moment.tm_year + 1900, moment.tm_mon + 1, moment.tm_mday,
                kWeekdays[moment.tm_wday % 7]);
  return ClockTexts{time, date};
}

void ClockLoop() {
  ClockRunning = true;
  while (ClockRunning) {
    ClockTexts texts = FormatClock(Now());
    XC_CallUiThread(ShowClock, reinterpret_cast<intptr_t>(&texts));
    PumpingWait(1, 1);
  }
}

HELE BuildHomePanel() {
  HELE panel = LoadPartLayout("\\布局文件\\Panel\\list_Panel_home.xml", MainElement(6));
  XEle_ShowEle(panel, FALSE);
  BuildSampleTree({1007, 350, 370, "\\布局文件\\home_tree\\home_tree.xml"});
  BuildSampleTree({1017, 40, 40, "\\布局文件\\history_tree\\history_tree.xml"});
  XLayout_SetPadding(MainElement(1001), 40, 35, 0, 5);
  XWnd_AdjustLayout(MainWindow);
  XEle_RedrawEle(MainElement(8), FALSE);
  std::thread(ClockLoop).detach();
  std::thread(RefreshWeather).detach();
  return panel;
}
