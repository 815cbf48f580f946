// Opening a tool from its card: an installed tool's page is built at once; a missing tool is
// downloaded on a worker thread, unpacked into its install directory, and then opened.
#pragma once

#include <array>
#include <vector>

#include "shell/SharedTypes.h"
#include "shell/main_window/CardLocation.h"
#include "shell/toolkit/xcgui.h"

// What a card's indicator click hands to activation: the clicked card and its texts as they
// were when it was clicked, so a click on another card while a download runs cannot change
// which tool is installed or opened. The card is kept by its place, not by its indicator
// element, so its frames follow it when it scrolls out of view and back.
struct ActivationRecord {
  CardLocation card;
  AnsiText name;           // template element 11
  AnsiText downloadUrl;    // 12
  AnsiText installDir;     // 13, relative to RunDir, beginning with a backslash
  AnsiText launchFile;     // 14, relative to RunDir, beginning with a backslash
  AnsiText archiveMd5;     // 17, the archive's MD5 in hex; empty when the catalogue has none
  bool succeeded = false;  // set by the download worker for the completion step
  AnsiText failure;        // what went wrong, for the user
};

// Makes the record for a click on a card's indicator: the selected card of CurrentCardList (the
// press has selected the clicked card) and its texts.
ActivationRecord* NewActivationRecord();

// UI thread (through XC_CallUiThread); takes ownership of the record passed as `data`.
intptr_t ActivateCard(intptr_t data);
// The download worker's entry; hands the record on to FinishInstall.
void DownloadTool(ActivationRecord* record);
// UI thread: end frames, archive removed, tool opened — or, after a failure, the card back at
// rest and the user told. Releases the record.
intptr_t FinishInstall(intptr_t data);

// Every catalogue row's install directory, asked before a download so that no tool is installed
// over another's folder; set by whoever owns the catalogue (none: no row is known).
using InstallDirectoriesSource = std::vector<AnsiText> (*)();
void SetInstallDirectoriesSource(InstallDirectoriesSource source);

// The tool page shown in place of a card list, by the list's layout ID (2002, 3002, 7002, 4002,
// 6002, 5002), 0 when none; any other ID gives a slot that holds nothing.
HELE& ToolPageSlot(int listId);
// The layout ID of the main window's card list `list`, 0 when it is none of them.
int CardListId(HELE list);
// The archive's file name: the part of the URL after its last "/" (the whole URL without one).
AnsiText ArchiveFileName(const AnsiText& url);
// Whether RunDir + launch file names an existing file (a wildcard matches as a pattern;
// directories do not count).
bool IsInstalled(const AnsiText& launchFile);
