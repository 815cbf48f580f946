// Brings the run directory in line with a manifest. All or nothing: every differing file is
// downloaded beside its target and verified (size when listed, MD5 always) before any file is
// replaced; one failure replaces nothing. Replacement is a rename of the synced temporary file,
// after the launcher has exited; the launcher is started again at the end, also after a failure
// that left the old files in place.
#pragma once

#include <chrono>
#include <filesystem>
#include <ostream>
#include <vector>

#include "acquisition/ManifestRecord.h"
#include "platform/updater/UpdaterExit.h"

struct UpdaterOptions {
  std::chrono::milliseconds launcherExitLimit{std::chrono::seconds(60)};
  long downloadTimeoutSeconds = 600;
};

class Updater {
 public:
  // `runDirectory` is native; progress goes to `out`, failures to `err` (both UTF-8).
  Updater(std::filesystem::path runDirectory, std::ostream& out, std::ostream& err,
          UpdaterOptions options = {});
  ~Updater();
  Updater(const Updater&) = delete;
  Updater& operator=(const Updater&) = delete;

  UpdaterExit run(const AnsiText& location);

 private:
  struct PendingFile {
    std::filesystem::path target;
    std::filesystem::path temporary;
  };

  UpdaterExit prepare(const AnsiText& location);
  UpdaterExit plan(const std::vector<ManifestRecord>& records, std::vector<const ManifestRecord*>* differing,
                   std::vector<std::filesystem::path>* targets);
  UpdaterExit download(const ManifestRecord& record, const std::filesystem::path& target);
  UpdaterExit commit();
  UpdaterExit restartLauncher(UpdaterExit outcome);
  void discardPending();

  std::filesystem::path runDirectory_;
  std::ostream& out_;
  std::ostream& err_;
  UpdaterOptions options_;
  std::vector<PendingFile> pending_;
};
