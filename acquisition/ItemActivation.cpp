#include "acquisition/ItemActivation.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include "acquisition/CardFrame.h"
#include "acquisition/EngineDeployment.h"
#include "acquisition/PageBuilder.h"
#include "acquisition/RunDownload.h"
#include "acquisition/UpdateCheck.h"
#include "acquisition/ZipUnpacker.h"
#include "shell/SharedState.h"
#include "shell/startup/RunDirectory.h"
#include "shell/startup/UiTextConversion.h"
#include "shell/startup/Waits.h"

namespace {

// Navigation entry -> card list and the host beside it (0: none).
struct EntryElements {
  int list;
  int host;
};
constexpr std::array<EntryElements, 8> kEntryElements = {
    {{0, 0}, {0, 0}, {2002, 2001}, {3002, 3001}, {7002, 7001}, {4002, 4001}, {6002, 6001}, {0, 0}}};

// Tools being downloaded, by install directory (UI thread only): a second click on the same
// tool while its download runs starts nothing.
std::set<AnsiText> g_downloading;
// One download at a time: the engine is one library shared by the process, and each download
// deploys it afresh and shuts it down at the end.
std::mutex g_engineInUse;

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

// Hides the card list of the current entry, builds the tool's page in its host and keeps it.
// A page the entry already shows (a download that ended while another tool was open) is
// destroyed first: its handle is about to be replaced, and the back control could no longer
// reach it. False when the page builder made nothing.
bool OpenToolPage(const ActivationRecord& record) {
  const int k = CurrentNavIndex;
  const bool withHost = k >= 2 && k <= 6;
  HELE host = 0;
  if (withHost) {
    if (ToolPageSlot()[k] != 0) XEle_Destroy(ToolPageSlot()[k]);
    ToolPageSlot()[k] = 0;
    XEle_ShowEle(XC_GetObjectByID(MainWindow, kEntryElements[k].list), FALSE);
    host = XC_GetObjectByID(MainWindow, kEntryElements[k].host);
  }
  HELE page = BuildToolPage(record.name, host, MainWindow);
  if (withHost) ToolPageSlot()[k] = page;
  if (page == 0 && withHost) XEle_ShowEle(XC_GetObjectByID(MainWindow, kEntryElements[k].list), TRUE);
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
// download must never become an installed tool.
bool ArchiveMatches(const AnsiText& archive, const AnsiText& expectedMd5) {
  if (expectedMd5.empty()) return true;
  const AnsiText actual = Md5Hex(ReadWholeFile(archive), true);
  return !actual.empty() && actual == ToLowerAscii(expectedMd5);
}

AnsiText ArchivePath(const ActivationRecord& record) {
  return RunDir() + "\\Application\\" + ArchiveFileName(record.downloadUrl);
}

}  // namespace

std::array<HELE, 8>& ToolPageSlot() {
  static std::array<HELE, 8> slots{};
  return slots;
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
    } else if (!RunDownload(record->downloadUrl, fileName, RunDir() + "\\Application\\", record->card)) {
      record->failure = "下载失败，请检查网络后重试。";
    } else if (!ArchiveMatches(ArchivePath(*record), record->archiveMd5)) {
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
