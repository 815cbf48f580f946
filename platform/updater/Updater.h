// Brings the run directory in line with a manifest, and only with one the publisher signed: the
// manifest is fetched from its URL with its detached signature (URL + ".sig"), which must verify
// against the updater's key before anything is read from it; manifest text handed over directly
// carries no signature and is refused. All or nothing: every differing file is
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
#include "platform/updater/ManifestSignature.h"
#include "platform/updater/UpdaterExit.h"

// The public key the build put into the updater.
ManifestSignature::PublicKey BuiltInUpdateKey();

struct UpdaterOptions {
  std::chrono::milliseconds launcherExitLimit{std::chrono::seconds(60)};
  long downloadTimeoutSeconds = 600;
  // The key the manifest's signature must verify against; the one built into the updater.
  ManifestSignature::PublicKey publicKey = BuiltInUpdateKey();
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
  // The signed manifest's text, or an exit code when it cannot be had or does not verify.
  UpdaterExit readSignedManifest(const AnsiText& location, AnsiText* text);
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
