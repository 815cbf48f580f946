#include "platform/http/AdodbStream.h"

#include <iconv.h>
#include <strings.h>

#include <cerrno>
#include <memory>

#include "platform/win32/Win32.h"

namespace {

struct IconvCloser {
  void operator()(void* handle) const { iconv_close(static_cast<iconv_t>(handle)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

const char* IconvName(const std::string& charset) {
  return strcasecmp(charset.c_str(), "unicode") == 0 ? "UTF-16LE" : charset.c_str();
}

IconvHandle OpenToUtf16(const std::string& charset) {
  iconv_t handle = iconv_open("UTF-16LE", IconvName(charset));
  if (handle == reinterpret_cast<iconv_t>(-1)) return nullptr;
  return IconvHandle(handle);
}

// Bytes in `charset` to UTF-16; a byte that cannot start a character becomes U+FFFD.
std::u16string DecodeToUtf16(iconv_t handle, const std::uint8_t* data, size_t length) {
  std::u16string result;
  char* in = const_cast<char*>(reinterpret_cast<const char*>(data));
  size_t inLeft = length;
  char16_t chunk[1024];
  while (inLeft > 0) {
    char* out = reinterpret_cast<char*>(chunk);
    size_t outLeft = sizeof chunk;
    size_t done = iconv(handle, &in, &inLeft, &out, &outLeft);
    result.append(chunk, (sizeof chunk - outLeft) / sizeof(char16_t));
    if (done != static_cast<size_t>(-1) || errno == E2BIG) continue;
    result.push_back(u'\uFFFD');
    ++in, --inLeft;  // invalid or cut-off sequence: skip one byte
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
  }
  return result;
}

std::string Utf16ToAnsi(const std::u16string& text) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                 nullptr);
  std::string result(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0)
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr,
                        nullptr);
  return result;
}

}  // namespace

bool AdodbStream::SetType(int type) {
  if (type != TypeBinary && type != TypeText) return false;
  if (open_ && position_ != 0) return false;  // the type changes only at position 0
  type_ = type;
  return true;
}

bool AdodbStream::SetMode(int mode) {
  if (open_ || mode < 0 || mode > 3) return false;
  mode_ = mode;
  return true;
}

bool AdodbStream::Open() {
  if (open_) return false;
  open_ = true;
  bytes_.clear();
  position_ = 0;
  return true;
}

bool AdodbStream::Write(const std::vector<std::uint8_t>& bytes) {
  if (!open_ || type_ != TypeBinary || mode_ == 1) return false;
  bytes_.resize(position_);
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  position_ = bytes_.size();
  return true;
}

bool AdodbStream::SetPosition(long position) {
  if (!open_ || position < 0 || static_cast<size_t>(position) > bytes_.size()) return false;
  position_ = static_cast<size_t>(position);
  return true;
}

bool AdodbStream::SetCharset(const std::string& charset) {
  if (open_ && position_ != 0) return false;
  if (!OpenToUtf16(charset)) return false;
  charset_ = charset;
  return true;
}

bool AdodbStream::ReadText(std::string& text) {
  text.clear();
  if (!open_ || type_ != TypeText) return false;
  IconvHandle handle = OpenToUtf16(charset_);
  if (!handle) return false;
  std::u16string wide =
      DecodeToUtf16(static_cast<iconv_t>(handle.get()), bytes_.data() + position_, bytes_.size() - position_);
  if (!wide.empty() && wide[0] == u'\uFEFF') wide.erase(0, 1);  // a byte-order mark is not text
  text = Utf16ToAnsi(wide);
  position_ = bytes_.size();
  return true;
}

void AdodbStream::Close() {
  open_ = false;
  bytes_.clear();
  position_ = 0;
}
