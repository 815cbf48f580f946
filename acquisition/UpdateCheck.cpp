#include "acquisition/UpdateCheck.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

#include "acquisition/ManifestRecord.h"
#include "platform/cryptoapi/CryptoApi.h"
#include "platform/urlmon/UrlFetch.h"
#include "platform/win32/Win32.h"
#include "shell/startup/CodePageText.h"
#include "shell/startup/RunDirectory.h"
#include "shell/startup/Waits.h"

const char* const kManifestKeySentence = "窗外又下小雨，灯下读旧书，明早还要赶路。";

namespace {

// The distribution site's address is chosen when the launcher is built.
const char* const kManifestUrl = QB_MANIFEST_URL;
const char* const kDifferenceText = "未发现软件更新但检测到网络文件与本地文件有差异，需更新！";
const char* const kDifferenceTitle = "发现差异文件";
const char* const kUpdaterProgram = "UpDater.exe";
constexpr size_t kTagLength = 9;
constexpr size_t kTagStart = 2;  // characters 3 to 11
constexpr long kManifestTimeoutSeconds = 30;

class SystemEffects : public UpdateEffects {
 public:
  void showMessage(const AnsiText& text, const AnsiText& title) override {
    MessageBoxA(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONWARNING);
  }
  void startUpdater(const AnsiText& location) override {
    ShellExecuteA(nullptr, "open", kUpdaterProgram, location.c_str(), nullptr, SW_SHOWNORMAL);
  }
  void endProcess() override { KillProcess(); }
};

// Releases a CryptoAPI context or hash on every path out of Md5Hex.
class ContextGuard {
 public:
  explicit ContextGuard(HCRYPTPROV provider) : provider_(provider) {}
  ~ContextGuard() { CryptReleaseContext(provider_, 0); }
  ContextGuard(const ContextGuard&) = delete;
  ContextGuard& operator=(const ContextGuard&) = delete;

 private:
  HCRYPTPROV provider_;
};
class HashGuard {
 public:
  explicit HashGuard(HCRYPTHASH hash) : hash_(hash) {}
  ~HashGuard() { CryptDestroyHash(hash_); }
  HashGuard(const HashGuard&) = delete;
  HashGuard& operator=(const HashGuard&) = delete;

 private:
  HCRYPTHASH hash_;
};

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

AnsiText ToUpper(AnsiText text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Whether a record's path names a file under the run directory: relative, no drive, no "..".
// It is judged in the form the file system sees, after the code-page and separator change.
bool StaysInsideRunDir(const AnsiText& path) {
  const std::string native = QbNativePath(path.c_str());
  if (native.empty() || native[0] == '/' || native.find(':') != std::string::npos) return false;
  size_t start = 0;
  while (start <= native.size()) {
    const size_t end = std::min(native.find('/', start), native.size());
    if (native.compare(start, end - start, "..") == 0) return false;
    start = end + 1;
  }
  return true;
}

AnsiText UpToFirstZero(const ByteBuffer& bytes) {
  auto zero = std::find(bytes.begin(), bytes.end(), 0);
  return AnsiText(bytes.begin(), zero);
}

}  // namespace

AnsiText ToLowerAscii(AnsiText text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

ByteBuffer ReadWholeFile(const AnsiText& path) {
  ByteBuffer bytes;
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  BYTE chunk[64 * 1024];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) {
    bytes.insert(bytes.end(), chunk, chunk + read);
  }
  CloseHandle(file);
  return bytes;
}

bool IsUnreadableFile(const AnsiText& path) {
  const std::string native = QbNativePath(path.c_str());
  struct stat info {};
  if (::stat(native.c_str(), &info) != 0) return false;  // missing: not unreadable
  return !S_ISREG(info.st_mode) || ::access(native.c_str(), R_OK) != 0;
}

UpdateEffects& SystemUpdateEffects() {
  static SystemEffects effects;
  return effects;
}

namespace {
AnsiText& ManifestUrlSlot() {
  static AnsiText url = kManifestUrl;
  return url;
}
}  // namespace

const AnsiText& SystemManifestUrl() { return ManifestUrlSlot(); }

void SetManifestUrlForTesting(const AnsiText& url) { ManifestUrlSlot() = url; }

bool IsManifestUrl(const AnsiText& location) {
  return location.find("http://") != AnsiText::npos || location.find("https://") != AnsiText::npos;
}

AnsiText ReadManifestText(const AnsiText& location) {
  if (!IsManifestUrl(location)) return location;
  ByteBuffer body;
  UrlFetchOptions options;
  options.totalTimeoutSeconds = kManifestTimeoutSeconds;
  UrlFetch::getBytes(location, &body, options);
  return UpToFirstZero(body);
}

void CheckForUpdates(const AnsiText& location, UpdateEffects& effects) {
  const AnsiText key = kManifestKeySentence;
  for (const AnsiText& record : SplitText(ReadManifestText(location), '#')) {
    std::optional<ManifestRecord> fields = ManifestRecord::fromContent(DecodeManifestRecord(record, key));
    // A path that leaves the run directory is no file of ours (and the updater refuses it): it
    // is neither read nor acted on.
    if (!fields || !StaysInsideRunDir(fields->path())) continue;
    PumpingWait(50, 0);
    const AnsiText path = RunDir() + "\\" + fields->path();
    const ByteBuffer local = ReadWholeFile(path);
    // A missing file is a difference; one that is there but cannot be read would send the user
    // to an updater that cannot replace it either, at every start: it is reported and passed by.
    if (local.empty() && IsUnreadableFile(path)) {
      WriteDiagnosticLine("更新检查：无法读取 " + path + "，跳过此文件");
      continue;
    }
    if (Md5Hex(local, true) == fields->md5()) continue;
    effects.showMessage(kDifferenceText, kDifferenceTitle);
    effects.startUpdater(location);
    effects.endProcess();
    return;
  }
}

AnsiText ManifestTag(const AnsiText& key) {
  const AnsiText digest = Md5Hex(TextAsBytes(key), true);
  if (digest.size() < kTagStart + kTagLength) return AnsiText();
  return ToUpper(digest.substr(kTagStart, kTagLength));
}

AnsiText DecodeManifestRecord(const AnsiText& record, const AnsiText& key) {
  const AnsiText expected = ManifestTag(key);
  if (expected.empty() || record.size() < kTagLength) return AnsiText();
  if (record.compare(record.size() - kTagLength, kTagLength, expected) != 0) return AnsiText();
  ByteBuffer bytes = HexToBytes(record.substr(0, record.size() - kTagLength));
  for (uint8_t& byte : bytes) byte ^= static_cast<uint8_t>(kManifestScramble & 0xFF);
  return UpToFirstZero(bytes);
}

AnsiText EncodeManifestRecord(const AnsiText& content, const AnsiText& key) {
  static const char kDigits[] = "0123456789ABCDEF";
  AnsiText record;
  record.reserve(content.size() * 2 + kTagLength);
  for (unsigned char c : content) {
    const unsigned scrambled = c ^ (kManifestScramble & 0xFF);
    record += kDigits[scrambled >> 4];
    record += kDigits[scrambled & 0xF];
  }
  return record + ManifestTag(key);
}

AnsiText Md5Hex(const ByteBuffer& bytes, bool lowerCase) {
  HCRYPTPROV provider = 0;
  if (!CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT) &&
      !CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_FULL, 0)) {
    return AnsiText();
  }
  ContextGuard contextGuard(provider);
  HCRYPTHASH hash = 0;
  if (!CryptCreateHash(provider, CALG_MD5, 0, 0, &hash)) return AnsiText();
  HashGuard hashGuard(hash);
  constexpr size_t kPiece = 1u << 30;  // the length argument is 32 bits wide
  for (size_t done = 0; done < bytes.size(); done += kPiece) {
    const DWORD length = static_cast<DWORD>(std::min(kPiece, bytes.size() - done));
    if (!CryptHashData(hash, bytes.data() + done, length, 0)) return AnsiText();
  }
  BYTE value[16] = {};
  DWORD length = sizeof value;
  if (!CryptGetHashParam(hash, HP_HASHVAL, value, &length, 0) || length != sizeof value) return AnsiText();
  static const char kDigits[] = "0123456789ABCDEF";
  AnsiText hex;
  for (BYTE byte : value) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0xF];
  }
  return lowerCase ? ToLowerAscii(hex) : hex;
}

ByteBuffer HexToBytes(const AnsiText& text) {
  ByteBuffer bytes;
  bytes.reserve(text.size() / 2 + 1);
  for (size_t i = 0; i < text.size(); i += 2) {
    unsigned value = 0;
    for (size_t j = i; j < std::min(i + 2, text.size()); ++j) {
      const int digit = HexDigitValue(text[j]);
      if (digit >= 0) value = value * 16 + static_cast<unsigned>(digit);
    }
    bytes.push_back(static_cast<uint8_t>(value));
    ProcessPendingMessages();
  }
  return bytes;
}
