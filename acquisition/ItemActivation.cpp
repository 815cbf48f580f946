#include "acquisition/ItemActivation.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include "acquisition/CardFrame.h"
#include "acquisition/EngineDeployment.h"
#include "acquisition/InstallPath.h"
#include "acquisition/PageBuilder.h"
#include "acquisition/RunDownload.h"
#include "acquisition/UpdateCheck.h"
#include "acquisition/ZipUnpacker.h"
#include "shell/SharedState.h"
#include "shell/startup/CodePageText.h"
#include "shell/startup/RunDirectory.h"
#include "shell/startup/UiTextConversion.h"
#include "shell/startup/Waits.h"

namespace {

// The card lists a tool's page can take the place of, each beside its host (the padding
// layout, list ID - 1): the four categories, favourites, search results.
constexpr std::array<int, 6> kCardListIds = {2002, 3002, 7002, 4002, 6002, 5002};

// Tools being downloaded, by install directory (UI thread only): a second click on the same
// tool while its download runs starts nothing.
std::set<AnsiText> g_downloading;
// One download at a time: the engine is one library shared by the process, and each download
// deploys it afresh and shuts it down at the end.
std::mutex g_engineInUse;
InstallDirectoriesSource g_installDirectories = nullptr;

AnsiText CardText(const CardLocation& card, int id) {
  HELE element = card.element(id);
  return element == 0 ? AnsiText() : FromUiText(XShapeText_GetText(element));
}

void PlayFrames(const CardLocation& card, int first, int last, int pauseMs) {
  for (int n = first; n <= last; ++n) {
    SetCardFrame(card, n);
    PumpingWait(pauseMs, 0);
  }
}

// Hides the card list the card was clicked in, builds the tool's page in the host beside it and
// keeps it, so the page shows where the user clicked (search results and favourites included,
// whatever navigation entry was chosen last). A page that list already shows (a download that
// ended while another tool was open) is destroyed first: its handle is about to be replaced, and
// the back control could no longer reach it. False when the page builder made nothing.
bool OpenToolPage(const ActivationRecord& record) {
  const int listId = CardListId(record.card.list());
  HELE host = 0;
  if (listId != 0) {
    HELE& slot = ToolPageSlot(listId);
    if (slot != 0) XEle_Destroy(slot);
    slot = 0;
    XEle_ShowEle(record.card.list(), FALSE);
    host = XC_GetObjectByID(MainWindow, listId - 1);
  }
  HELE page = BuildToolPage(record.name, host, MainWindow);
  if (listId != 0) ToolPageSlot(listId) = page;
  if (page == 0 && listId != 0) XEle_ShowEle(record.card.list(), TRUE);
  SetCardFrame(record.card, 1, false);
  XEle_AdjustLayout(XC_GetObjectByID(MainWindow, 8));
  XEle_RedrawEle(XC_GetObjectByID(MainWindow, 8), FALSE);
  return page != 0;
}

// Every message here reports a failure, so the box says so with its icon.
void TellUser(const AnsiText& what, const ActivationRecord& record) {
  AnsiText text = "“" + record.name + "”" + what;
  MessageBoxA(XWnd_GetHWND(MainWindow), text.c_str(), "提示", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

// An archive is unpacked only when it is the one the catalogue promises: a damaged or altered
// download must never become an installed tool. A row without an MD5 (catalogues that leave the
// field unused) installs unchecked, and says so.
bool ArchiveMatches(const AnsiText& archive, const ActivationRecord& record) {
  if (record.archiveMd5.empty()) {
    WriteDiagnosticLine("“" + record.name + "”：目录中没有安装包的 MD5，安装包未经校验");
    return true;
  }
  const AnsiText actual = Md5Hex(ReadWholeFile(archive), true);
  return !actual.empty() && actual == ToLowerAscii(record.archiveMd5);
}

AnsiText ArchivePath(const ActivationRecord& record) {
  return RunDir() + "\\Application\\" + ArchiveFileName(record.downloadUrl);
}

}  // namespace

void SetInstallDirectoriesSource(InstallDirectoriesSource source) { g_installDirectories = source; }

HELE& ToolPageSlot(int listId) {
  static std::array<HELE, kCardListIds.size()> slots{};
  static HELE none = 0;
  for (size_t i = 0; i < kCardListIds.size(); ++i) {
    if (kCardListIds[i] == listId) return slots[i];
  }
  none = 0;
  return none;
}

int CardListId(HELE list) {
  if (list == 0) return 0;
  for (int id : kCardListIds) {
    if (XC_GetObjectByID(MainWindow, id) == list) return id;
  }
  return 0;
}

AnsiText ArchiveFileName(const AnsiText& url) {
  size_t slash = url.find_last_of('/');
  return slash == AnsiText::npos ? url : url.substr(slash + 1);
}

bool IsInstalled(const AnsiText& launchFile) {
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA((RunDir() + launchFile).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool file = false;
  do {
    file = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  } while (!file && FindNextFileA(search, &found));
  FindClose(search);
  return file;
}

ActivationRecord* NewActivationRecord() {
  auto record = std::make_unique<ActivationRecord>();
  record->card = CardLocation::SelectedIn(CurrentCardList);
  record->name = CardText(record->card, 11);
  record->downloadUrl = CardText(record->card, 12);
  record->installDir = CardText(record->card, 13);
  record->launchFile = CardText(record->card, 14);
  record->archiveMd5 = CardText(record->card, 17);
  return record.release();
}

intptr_t ActivateCard(intptr_t data) {
  std::unique_ptr<ActivationRecord> record(reinterpret_cast<ActivationRecord*>(data));
  if (!record) return 0;
  if (!record->launchFile.empty() && IsInstalled(record->launchFile)) {
    for (int k = 1; k <= 57; ++k) {
      SetCardFrame(record->card, k <= 24 ? k : k + 38, false);
      PumpingWait(30, 0);
      XEle_RedrawEle(record->card.element(10), FALSE);
    }
    if (!OpenToolPage(*record)) TellUser("的页面没能打开。", *record);
    return 0;
  }
  // Refused before anything is fetched: installing there would replace what is not the tool's.
  const AnsiText problem =
      InstallPathProblem(record->installDir, g_installDirectories ? g_installDirectories() : std::vector<AnsiText>{});
  if (!problem.empty()) {
    WriteDiagnosticLine("“" + record->name + "”" + problem + "（" + record->installDir + "），未安装");
    TellUser(problem + "，未安装任何文件。", *record);
    return 0;
  }
  if (!g_downloading.insert(record->installDir).second) return 0;
  PlayFrames(record->card, 1, 20, 30);
  std::thread(DownloadTool, record.release()).detach();
  return 0;
}

void DownloadTool(ActivationRecord* record) {
  {
    std::lock_guard engine(g_engineInUse);
    AnsiText engineFailure;
    const bool deployed = DeployEngine(&engineFailure);
    AnsiText fileName = ArchiveFileName(record->downloadUrl);
    if (!deployed) {
      record->failure = "未能下载：" + engineFailure + "。";
    } else if (fileName.empty()) {
      record->failure = "的下载地址无效，未能下载。";
    } else if (AnsiText why; !RunDownload(record->downloadUrl, fileName, RunDir() + "\\Application\\", record->card,
                                          kDownloadStallSeconds, &why)) {
      WriteDiagnosticLine("“" + record->name + "”下载失败：" + why + "（" + record->downloadUrl + "）");
      record->failure = "下载失败，请检查网络后重试。";
    } else if (!ArchiveMatches(ArchivePath(*record), *record)) {
      record->failure = "的安装包校验失败（文件已损坏或被改动），未安装任何文件。";
    } else if (InstallZip(ArchivePath(*record), RunDir() + record->installDir) != 1) {
      record->failure = "解压失败，未安装任何文件。";
    } else {
      record->succeeded = true;
    }
  }
  XC_CallUiThread(FinishInstall, reinterpret_cast<intptr_t>(record));
}

intptr_t FinishInstall(intptr_t data) {
  std::unique_ptr<ActivationRecord> record(reinterpret_cast<ActivationRecord*>(data));
  g_downloading.erase(record->installDir);
  if (!record->succeeded) {
    // Nothing of a failed download stays: no archive, no partial data for a later resume.
    if (!ArchiveFileName(record->downloadUrl).empty()) {
      for (const char* suffix : {"", ".part", ".part.state"})
        DeleteFileA((ArchivePath(*record) + suffix).c_str());
    }
    SetCardFrame(record->card, 1);
    TellUser(record->failure, *record);
    return 0;
  }
  PlayFrames(record->card, 61, 95, 20);
  DeleteFileA(ArchivePath(*record).c_str());
  if (!OpenToolPage(*record)) TellUser("的页面没能打开。", *record);
  return 0;
}
