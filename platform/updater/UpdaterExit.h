// The updater's exit codes. Never renumber them: scripts and the tests read them.
#pragma once

enum UpdaterExit : int {
  kUpdaterDone = 0,                  // every listed file matches now (replaced or already equal)
  kUpdaterUsage = 1,                 // not exactly one argument
  kUpdaterManifestUnreadable = 2,    // the manifest could not be fetched
  kUpdaterManifestEmpty = 3,         // the manifest holds no usable record
  kUpdaterUnsafePath = 4,            // a listed path would land outside the run directory
  kUpdaterDownloadFailed = 5,        // a download failed or gave no address
  kUpdaterMismatch = 6,              // a download's size or MD5 differs from the manifest
  kUpdaterWriteFailed = 7,           // a file could not be written or replaced
  kUpdaterLauncherStillRunning = 8,  // the launcher did not exit in time; nothing was replaced
  kUpdaterRestartFailed = 9,         // files are up to date but the launcher could not be started
  kUpdaterUnsigned = 10,             // the manifest has no signature, or one that does not verify
};
