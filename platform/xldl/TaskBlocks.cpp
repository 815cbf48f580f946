#include "platform/xldl/TaskBlocks.h"

#include <cstring>
#include <string_view>

namespace xldl {
namespace {

// Parameter block offsets and sizes.
constexpr std::size_t kTaskUrl = 4, kTaskUrlSize = 4168;
constexpr std::size_t kRefUrl = 4172, kRefUrlSize = 4168;
constexpr std::size_t kCookies = 8340, kCookiesSize = 8192;
constexpr std::size_t kFilename = 16532, kFilenameSize = 520;
constexpr std::size_t kSavePath = 17572, kSavePathSize = 520;
constexpr std::size_t kIsOnlyOriginal = 18356, kNReserved1 = 18360, kDisableAutoRename = 18364,
                      kIsResume = 18368;

// Information block offsets.
constexpr std::size_t kStat = 0, kFailCode = 4, kInfoFilename = 8, kTotalSize = 1048, kTotalDownload = 1056,
                      kPercent = 1064, kSrcTotal = 1072, kSrcUsing = 1076, kHttpStatus = 1080, kSpeed = 1152,
                      kOriginUsable = 1164, kCreatingFile = 1169;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// UTF-16LE text up to the first zero unit or the end of the field (a full field has no zero).
std::string ReadText(const uint8_t* block, std::size_t offset, std::size_t size) {
  std::string out;
  const uint8_t* p = block + offset;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    char32_t unit = p[i] | p[i + 1] << 8;
    if (unit == 0) break;
    if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < size) {
      char32_t low = p[i + 2] | p[i + 3] << 8;
      if (low >= 0xDC00 && low < 0xE000) {
        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    AppendUtf8(out, unit);
  }
  return out;
}

void WriteText(uint8_t* block, std::size_t offset, std::size_t size, const std::string& utf8) {
  std::memset(block + offset, 0, size);
  std::size_t at = 0;
  auto put = [&](char32_t unit) {
    if (at + 2 > size) return;
    block[offset + at] = static_cast<uint8_t>(unit & 0xFF);
    block[offset + at + 1] = static_cast<uint8_t>(unit >> 8);
    at += 2;
  };
  for (std::size_t i = 0; i < utf8.size();) {
    auto byte = static_cast<unsigned char>(utf8[i]);
    int length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
    char32_t c = length == 1 ? byte : byte & (0x3F >> (length - 1));
    for (int k = 1; k < length && i + k < utf8.size(); ++k) c = c << 6 | (utf8[i + k] & 0x3F);
    i += length;
    if (c >= 0x10000) {
      put(0xD800 + ((c - 0x10000) >> 10));
      put(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      put(c);
    }
  }
}

template <class T>
T ReadValue(const uint8_t* block, std::size_t offset) {
  T value;
  std::memcpy(&value, block + offset, sizeof value);
  return value;
}

template <class T>
void WriteValue(uint8_t* block, std::size_t offset, T value) {
  std::memcpy(block + offset, &value, sizeof value);
}

}  // namespace

std::string NativePath(const std::string& path) {
  std::string out;
  for (char c : path) {
    if (c == '\\') c = '/';
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out += c;
  }
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

TaskParameters ReadTaskParamBlock(const void* block) {
  const auto* bytes = static_cast<const uint8_t*>(block);
  TaskParameters p;
  p.url = ReadText(bytes, kTaskUrl, kTaskUrlSize);
  p.refUrl = ReadText(bytes, kRefUrl, kRefUrlSize);
  p.cookies = ReadText(bytes, kCookies, kCookiesSize);
  p.fileName = ReadText(bytes, kFilename, kFilenameSize);
  p.savePath = NativePath(ReadText(bytes, kSavePath, kSavePathSize));
  p.onlyOriginal = ReadValue<int32_t>(bytes, kIsOnlyOriginal) != 0;
  p.disableAutoRename = ReadValue<int32_t>(bytes, kDisableAutoRename) != 0;
  p.resume = ReadValue<int32_t>(bytes, kIsResume) != 0;
  return p;
}

void WriteTaskInfoBlock(void* block, const TaskProgress& progress) {
  auto* bytes = static_cast<uint8_t*>(block);
  WriteValue<int32_t>(bytes, kStat, progress.stat);
  WriteValue<int32_t>(bytes, kFailCode, progress.failCode);
  WriteText(bytes, kInfoFilename, 520, progress.fileName);
  WriteValue<int64_t>(bytes, kTotalSize, progress.totalSize);
  WriteValue<int64_t>(bytes, kTotalDownload, progress.totalDownload);
  WriteValue<float>(bytes, kPercent, progress.percent);
  WriteValue<int32_t>(bytes, kSrcTotal, progress.sourcesTotal);
  WriteValue<int32_t>(bytes, kSrcUsing, progress.sourcesUsing);
  WriteValue<int32_t>(bytes, kHttpStatus, progress.httpStatus);
  WriteValue<int32_t>(bytes, kSpeed, progress.speed);
  WriteValue<uint8_t>(bytes, kOriginUsable, progress.originUsable ? 1 : 0);
  WriteValue<int32_t>(bytes, kCreatingFile, progress.creatingFile);
}

std::vector<uint8_t> MakeTaskParamBlock(const TaskParameters& parameters) {
  std::vector<uint8_t> block(kParamBlockSize, 0);
  uint8_t* bytes = block.data();
  WriteText(bytes, kTaskUrl, kTaskUrlSize, parameters.url);
  WriteText(bytes, kRefUrl, kRefUrlSize, parameters.refUrl);
  WriteText(bytes, kCookies, kCookiesSize, parameters.cookies);
  WriteText(bytes, kFilename, kFilenameSize, parameters.fileName);
  WriteText(bytes, kSavePath, kSavePathSize, parameters.savePath);
  WriteValue<int32_t>(bytes, kIsOnlyOriginal, parameters.onlyOriginal);
  WriteValue<int32_t>(bytes, kNReserved1, 5);
  WriteValue<int32_t>(bytes, kDisableAutoRename, parameters.disableAutoRename);
  WriteValue<int32_t>(bytes, kIsResume, parameters.resume);
  return block;
}

TaskProgress ReadTaskInfoBlock(const void* block) {
  const auto* bytes = static_cast<const uint8_t*>(block);
  TaskProgress p;
  p.stat = ReadValue<int32_t>(bytes, kStat);
  p.failCode = ReadValue<int32_t>(bytes, kFailCode);
  p.fileName = ReadText(bytes, kInfoFilename, 520);
  p.totalSize = ReadValue<int64_t>(bytes, kTotalSize);
  p.totalDownload = ReadValue<int64_t>(bytes, kTotalDownload);
  p.percent = ReadValue<float>(bytes, kPercent);
  p.sourcesTotal = ReadValue<int32_t>(bytes, kSrcTotal);
  p.sourcesUsing = ReadValue<int32_t>(bytes, kSrcUsing);
  p.httpStatus = ReadValue<int32_t>(bytes, kHttpStatus);
  p.speed = ReadValue<int32_t>(bytes, kSpeed);
  p.originUsable = ReadValue<uint8_t>(bytes, kOriginUsable) != 0;
  p.creatingFile = ReadValue<int32_t>(bytes, kCreatingFile);
  return p;
}

}  // namespace xldl
