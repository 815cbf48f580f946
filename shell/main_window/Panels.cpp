#include "shell/main_window/Panels.h"

#include <array>

#include "shell/SharedState.h"

namespace {
std::array<HELE, static_cast<size_t>(Panel::Count)> g_panelRoots{};
}

HELE& PanelRoot(Panel panel) { return g_panelRoots[static_cast<size_t>(panel)]; }

namespace {
Panel g_shownPanel = Panel::Home;
}

Panel ShownPanel() { return g_shownPanel; }

void ShowOnlyPanel(Panel shown) {
  g_shownPanel = shown;
  for (size_t i = 0; i < g_panelRoots.size(); ++i) {
    if (static_cast<Panel>(i) != shown) XEle_ShowEle(g_panelRoots[i], FALSE);
  }
  XEle_ShowEle(PanelRoot(shown), TRUE);
}

HELE MainElement(int id) { return XC_GetObjectByID(MainWindow, id); }
