#include "shell/MainWindowFixture.h"

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>

#include "catalogue/CatalogueQueries.h"
#include "shell/SharedState.h"
#include "shell/main_window/MainWindow.h"
#include "shell/startup/RunDirectory.h"
#include "shell/startup/UiTextConversion.h"

ScratchDirectory* MainWindowTest::scratch_ = nullptr;

void MainWindowTest::SetUpTestSuite() {
  if (MainWindow != 0) return;
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  scratch_ = new ScratchDirectory;
  std::filesystem::copy_file(std::string(QB_RUN_DIR) + "/CONFIG.db", scratch_->file("CONFIG.db"));
  SetRunDirForTesting(QB_RUN_DIR);
  XInitXCGUI(u"f");
  XTest_SetRunDirectory(QB_RUN_DIR);
  XC_LoadResource(ToUiText(RunDir() + "\\资源文件\\resource.res").c_str());
  ASSERT_TRUE(TheCatalogDb().open(scratch_->file("CONFIG.db")));
  LoadMainWindow();
  ASSERT_NE(MainWindow, 0);
  XWnd_AdjustLayout(MainWindow);
  XWnd_ShowWindow(MainWindow, 5);
  XTest_Pump(5);
}

void MainWindowTest::TearDownTestSuite() {
  // Let the clock thread see the flag and finish its hand-over before the program ends.
  ClockRunning = false;
  DWORD start = GetTickCount();
  while (GetTickCount() - start < 1300) XTest_Pump(1);
}

RECT MainWindowTest::RectOf(HXCGUI element) {
  RECT rect{};
  XTest_GetRect(element, &rect);
  return rect;
}

void MainWindowTest::Settle() {
  for (int i = 0; i < 10; ++i) {
    XTest_Pump(2);
    Sleep(2);
  }
}

bool MainWindowTest::PumpUntilFor(const std::function<bool()>& done, int limitMs) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > DWORD(limitMs)) return false;
    XTest_Pump(1);
    Sleep(2);
  }
  return true;
}

void MainWindowTest::ClickElement(HELE element) {
  // Moving there first lets whatever the move starts (the navigation column narrowing as the
  // pointer leaves it) finish, so the element is where the click lands.
  RECT rect = RectOf(element);
  XTest_MouseMove(MainWindow, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  Settle();
  rect = RectOf(element);
  XTest_Click(MainWindow, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  Settle();
}

void MainWindowTest::ScrollCardAwayAndBack(HELE list, int item) {
  auto built = [list, item] { return XListView_GetTemplateObject(list, 0, item, 8) != 0; };
  XTest_ListScrollTo(list, 100000);
  ASSERT_TRUE(PumpUntilFor([&] { return !built(); }, 5000)) << "card " << item << " stayed built";
  XTest_ListScrollTo(list, 0);
  ASSERT_TRUE(PumpUntilFor(built, 5000)) << "card " << item << " was not built again";
  Settle();
}

void MainWindowTest::ChooseEntry(int k) {
  RECT tree = RectOf(XC_GetObjectByID(MainWindow, 5));
  // Entries are 30 high; the selected one is 35, and it may lie above the one clicked.
  int y = tree.top + 30 * (k - 1) + 12;
  if (CurrentNavIndex < k) y += 5;
  XTest_Click(MainWindow, tree.left + 20, y);
  Settle();
}

std::string MainWindowTest::ReadCatalogue(const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open(scratch_->file("CONFIG.db").c_str(), &db);
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
  std::string value;
  if (statement && sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0))
    value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return value;
}
