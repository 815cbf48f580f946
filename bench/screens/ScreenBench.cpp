// The launcher's screens beside a peer doing the bare part of the same work, in the same run:
// - start-up to the first drawn main-window frame (a fresh process each time) beside a process
//   that only opens SDL, the font and a window and draws one frame;
// - filling a panel with 1,000 cards and drawing it beside reading the same rows with SQLite;
// - a search by name over a catalogue of 100,000 rows to the drawn results panel beside the same
//   LIKE query through SQLite.
// The catalogue is made by the benchmark: the shipped rows plus 1,000 video tools and 99,000
// others, one in a hundred of them named so that the search finds it.
#include <SDL.h>
#include <SDL_ttf.h>
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/support/RatioReporter.h"
#include "catalogue/CatalogueQueries.h"
#include "catalogue/CategoryPanel.h"
#include "catalogue/Search.h"
#include "net/ServiceHosts.h"
#include "platform/xcgui/TestHooks.h"
#include "shell/SharedState.h"
#include "shell/main_window/MainWindow.h"
#include "shell/main_window/Panels.h"
#include "shell/startup/RunDirectory.h"
#include "shell/startup/StartUp.h"
#include "shell/startup/UiTextConversion.h"

namespace {

namespace fs = std::filesystem;

constexpr int kVideoCards = 1000;
constexpr int kCatalogueRows = 100000;
constexpr const char* kFontFile = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";

// A run directory of its own: the build's layouts and pictures, and a catalogue copy.
class ScratchRun {
 public:
  explicit ScratchRun(bool large) {
    char pattern[] = "/tmp/qb-screen-bench-XXXXXX";
    dir_ = mkdtemp(pattern);
    const fs::path build = QB_RUN_DIR;
    for (const char* shared : {"布局文件", "资源文件"}) fs::create_directory_symlink(build / shared, dir_ / shared);
    fs::copy_file(build / "CONFIG.db", dir_ / "CONFIG.db");
    if (large) AddRows();
  }
  ~ScratchRun() { fs::remove_all(dir_); }
  std::string path() const { return dir_.string(); }
  std::string catalogue() const { return (dir_ / "CONFIG.db").string(); }

 private:
  void AddRows() const {
    sqlite3* db = nullptr;
    sqlite3_open(catalogue().c_str(), &db);
    sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into App_List (Columns, Name, Version, Cover_path, App_download_http,"
                       " App_Install_path, App_Launch_path) values (?, ?, '1.0', ?, ?, ?, ?)",
                       -1, &insert, nullptr);
    std::string cover = FirstCoverPath(db);
    for (int i = 0; i < kCatalogueRows; ++i) {
      std::string n = std::to_string(i);
      std::string name = (i % 100 == 0 ? "视频压缩助手" : "办公工具") + n;
      const std::string values[] = {i < kVideoCards ? "video" : "archive", name, cover,
                                    "http://127.0.0.1:9/tool" + n + ".zip", "\\tools\\tool" + n,
                                    "\\tools\\tool" + n + "\\index.html"};
      for (int k = 0; k < 6; ++k) sqlite3_bind_text(insert, k + 1, values[k].c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }

  static std::string FirstCoverPath(sqlite3* db) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "select Cover_path from App_List limit 1", -1, &statement, nullptr);
    std::string cover;
    if (sqlite3_step(statement) == SQLITE_ROW) cover = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    sqlite3_finalize(statement);
    return cover;
  }

  fs::path dir_;
};

// Every web service at a port where nothing listens, so the weather thread ends at once.
void RefuseServices() {
  ServiceHosts hosts;
  hosts.ipEcho.fill("127.0.0.1:9");
  hosts.ipEchoFallback = hosts.geolocation = hosts.weather = "127.0.0.1:9";
  SetServiceHostsForTesting(hosts);
}

// Start-up as the launcher does it after the notice, ending at the first drawn frame.
void OpenMainWindow(const std::string& runDirectory) {
  RefuseServices();
  SetRunDirForTesting(runDirectory);
  TheCatalogDb();
  MainWindow = 0;
  OpenToolkitAndCatalogue();
  XTest_SetRunDirectory(runDirectory.c_str());
  LoadMainWindow();
  XWnd_AdjustLayout(MainWindow);
  XWnd_ShowWindow(MainWindow, 5);
  XTest_ReadPixel(MainWindow, 10, 10);
}

// The peer's process: SDL, the font, a window of the same size, one frame with a line of text,
// shown through the same software framebuffer as the toolkit's windows.
void OpenBareWindow() {
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_Init(SDL_INIT_VIDEO);
  TTF_Init();
  TTF_Font* font = TTF_OpenFont(kFontFile, 16);
  SDL_Window* window = SDL_CreateWindow("bench", 375, 140, 1170, 760, 0);
  SDL_Surface* screen = SDL_GetWindowSurface(window);
  SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0x1E, 0x16, 0x36));
  SDL_Surface* line = font ? TTF_RenderUTF8_Blended(font, "办公小工具箱", {255, 255, 255, 255}) : nullptr;
  if (line) SDL_BlitSurface(line, nullptr, screen, nullptr);
  SDL_UpdateWindowSurface(window);
}

// Runs this program again as `--child=<mode>` and returns its wall time in seconds.
double TimeChild(const char* self, const std::string& mode, const std::string& runDirectory) {
  auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    std::string modeFlag = "--child=" + mode;
    execl(self, self, modeFlag.c_str(), runDirectory.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

const char* g_self = nullptr;

void TimeStartUp(benchmark::State& state, const std::string& mode) {
  ScratchRun run(false);
  for (auto _ : state) {
    double seconds = TimeChild(g_self, mode, run.path());
    if (seconds < 0) {
      state.SkipWithError(("the " + mode + " child failed").c_str());
      break;
    }
    state.SetIterationTime(seconds);
  }
}

void BM_StartUp_MainWindow(benchmark::State& state) { TimeStartUp(state, "main-window"); }
void BM_StartUp_BareSdlWindow(benchmark::State& state) { TimeStartUp(state, "bare-window"); }

// --- panels inside one process -------------------------------------------------------------------

// The main window over the large catalogue, made once for the in-process benchmarks.
const ScratchRun& LargeRun() {
  static const ScratchRun run(true);
  static const bool opened = (OpenMainWindow(run.path()), true);
  (void)opened;
  return run;
}

// Lets the clock thread see the flag and finish its last hand-over before the program ends.
void StopClock() {
  if (MainWindow == 0) return;
  ClockRunning = false;
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1300);
  while (std::chrono::steady_clock::now() < end) XTest_Pump(1);
}

void DrawFrame() { benchmark::DoNotOptimize(XTest_ReadPixel(MainWindow, 400, 300)); }

void BM_PanelFill_1000Cards(benchmark::State& state) {
  LargeRun();
  HELE list = PanelOf(PanelMember::Video).list;
  for (auto _ : state) {
    LoadedRecords().clear();
    XListView_DeleteAllGroup(list);
    XListView_DeleteAllItem(list);
    QueryCategory("video");
    FillCardList(list);
    XWnd_AdjustLayout(MainWindow);
    ShowOnlyPanel(Panel::Video);
    DrawFrame();
  }
  state.counters["cards"] = XTest_ListItemCount(list);
}

void BM_RunSearch_100kRows(benchmark::State& state) {
  LargeRun();
  AnsiText text = FromUiText(u"压缩");
  for (auto _ : state) {
    ShowSearchResults(text);
    DrawFrame();
  }
  state.counters["found"] = XTest_ListItemCount(PanelOf(PanelMember::Search).list);
}

// Reads every column of the rows a statement gives, as the catalogue layer keeps them.
size_t ReadRows(sqlite3* db, const char* sql, const char* parameter) {
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
  if (parameter) sqlite3_bind_text(statement, 1, parameter, -1, SQLITE_STATIC);
  std::vector<std::array<std::string, 14>> rows;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    auto& row = rows.emplace_back();
    for (int k = 0; k < 14; ++k) {
      const unsigned char* value = sqlite3_column_text(statement, k);
      if (value) row[k] = reinterpret_cast<const char*>(value);
    }
  }
  sqlite3_finalize(statement);
  return rows.size();
}

void DirectQuery(benchmark::State& state, const char* sql, const char* parameter) {
  const ScratchRun& run = LargeRun();
  sqlite3* db = nullptr;
  sqlite3_open_v2(run.catalogue().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  size_t rows = 0;
  for (auto _ : state) rows = ReadRows(db, sql, parameter);
  state.counters["rows"] = double(rows);
  sqlite3_close(db);
}

void BM_PanelFill_SqliteRowsOnly(benchmark::State& state) {
  DirectQuery(state, "select * from App_List where Columns = 'video'", nullptr);
}
void BM_RunSearch_SqliteLikeOnly(benchmark::State& state) {
  DirectQuery(state, "select * from App_List where Name like '%' || ? || '%'", "压缩");
}

}  // namespace

BENCHMARK(BM_StartUp_MainWindow)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartUp_BareSdlWindow)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PanelFill_1000Cards)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PanelFill_SqliteRowsOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunSearch_100kRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunSearch_SqliteLikeOnly)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  // A child draws its first frame and ends at once, leaving clean-up to the system.
  // Timed children draw in memory; the memory peer shows a real window when there is a display.
  if (std::strcmp(argc > 1 ? argv[1] : "", "--child=bare-window-hold") != 0) setenv("SDL_VIDEODRIVER", "dummy", 0);
  if (argc == 3 && std::strcmp(argv[1], "--child=main-window") == 0) {
    OpenMainWindow(argv[2]);
    _exit(0);
  }
  if (argc == 3 && std::strcmp(argv[1], "--child=bare-window") == 0) {
    OpenBareWindow();
    _exit(0);
  }
  if (argc == 3 && std::strcmp(argv[1], "--child=bare-window-hold") == 0) {  // the memory peer
    OpenBareWindow();
    for (SDL_Event event;;) {
      while (SDL_PollEvent(&event))
        if (event.type == SDL_QUIT) _exit(0);  // SDL turns SIGTERM into this event
      SDL_Delay(50);
    }
  }
  g_self = argv[0];
  int exitCode = RunWithRatios(argc, argv,
                               {{"BM_StartUp_MainWindow", "BM_StartUp_BareSdlWindow"},
                                {"BM_PanelFill_1000Cards", "BM_PanelFill_SqliteRowsOnly"},
                                {"BM_RunSearch_100kRows", "BM_RunSearch_SqliteLikeOnly"}});
  StopClock();
  return exitCode;
}
