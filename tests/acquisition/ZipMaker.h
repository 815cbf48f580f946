// Writes real ZIP archives for tests with minizip's writer.
#pragma once

#include <minizip/zip.h>

#include <string>
#include <utility>
#include <vector>

struct ZipEntry {
  std::string name;  // stored as given (bytes), "/" ending for a folder
  std::string content;
  bool utf8Name = false;
};

inline bool MakeZip(const std::string& path, const std::vector<ZipEntry>& entries) {
  zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  if (!zip) return false;
  bool ok = true;
  for (const ZipEntry& entry : entries) {
    zip_fileinfo info{};
    ok = ok &&
         zipOpenNewFileInZip4_64(zip, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                 Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY,
                                 nullptr, 0, 0, entry.utf8Name ? (1 << 11) : 0, 0) == ZIP_OK;
    ok = ok && zipWriteInFileInZip(zip, entry.content.data(), static_cast<unsigned>(entry.content.size())) ==
                   ZIP_OK;
    ok = ok && zipCloseFileInZip(zip) == ZIP_OK;
  }
  return zipClose(zip, nullptr) == ZIP_OK && ok;
}
