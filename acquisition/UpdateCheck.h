// The update-manifest check: compares files under the run directory with the MD5s a manifest
// lists and, at the first difference, tells the user, starts "UpDater.exe" with the manifest
// location and ends the program.
//
// When it runs: once per start, on a worker thread of its own after the main window is shown
// (UpdateCheckThread), against the manifest of the distribution site the build names. A file
// that is missing counts as changed; one that exists but cannot be read is reported on stderr
// and passed by, since the updater could not replace it either.
//
// Manifest text: records separated by "#". A record is hex digits (the content's bytes XORed with
// kManifestScramble) followed by a 9-character tag, ManifestTag(key sentence).
#pragma once

#include "shell/SharedTypes.h"

// The sentence whose MD5 gives every record's tag.
extern const char* const kManifestKeySentence;
// The low byte of this constant scrambles every content byte.
constexpr unsigned kManifestScramble = 0xC3B;

// What the check does to the world once it has found a difference. The program uses
// SystemUpdateEffects(); tests hand in their own.
class UpdateEffects {
 public:
  virtual ~UpdateEffects() = default;
  virtual void showMessage(const AnsiText& text, const AnsiText& title) = 0;
  virtual void startUpdater(const AnsiText& location) = 0;
  // Never returns in the program; a test's version returns and the check returns after it.
  virtual void endProcess() = 0;
};
UpdateEffects& SystemUpdateEffects();

// The system's manifest location. Test builds of the launcher may point it elsewhere before
// the check runs; the program itself never does.
const AnsiText& SystemManifestUrl();
void SetManifestUrlForTesting(const AnsiText& url);

void CheckForUpdates(const AnsiText& location, UpdateEffects& effects = SystemUpdateEffects());

// A location containing "http://" or "https://" (exact case) is a URL; anything else is the
// manifest text itself.
bool IsManifestUrl(const AnsiText& location);
// The manifest text: the body of the URL up to its first zero byte, or the location itself.
// Empty when the fetch fails.
AnsiText ReadManifestText(const AnsiText& location);

// The record's content, or empty text when its tag does not match the key's. Content stops at
// its first zero byte, as program text does.
AnsiText DecodeManifestRecord(const AnsiText& record, const AnsiText& key);
// The inverse, for whoever writes manifests.
AnsiText EncodeManifestRecord(const AnsiText& content, const AnsiText& key);
// Characters 3 to 11 of the key's lower-case MD5, upper-cased; empty when no MD5 can be made.
AnsiText ManifestTag(const AnsiText& key);

// The whole file; a file that is missing or unreadable reads as no bytes.
ByteBuffer ReadWholeFile(const AnsiText& path);
// True for a path that exists but cannot be read as a file by this user (no permission, or a
// folder where a file should be).
bool IsUnreadableFile(const AnsiText& path);
AnsiText ToLowerAscii(AnsiText text);

// 32 hex digits, upper case unless `lowerCase`; empty when the digest cannot be computed.
AnsiText Md5Hex(const ByteBuffer& bytes, bool lowerCase);
// Two characters per byte, high digit first; characters that are not hex digits are skipped
// within their pair, and a final single character forms a byte by itself. Processes the calling
// thread's pending messages after each byte.
ByteBuffer HexToBytes(const AnsiText& text);
