// The small file beside a partial download that lets a later task resume it: the URL, the
// server's validators for the file (ETag, Last-Modified; empty when it sent none), the whole
// file's length and, per segment, how far the data on disk is known to be synced.
// Saving writes a temporary file, syncs it and renames it over the old state, so a crash leaves
// either the old state or the new one, never a torn one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace xldl {

struct Segment {
  int64_t begin = 0;
  int64_t end = 0;     // one past the last byte
  int64_t cursor = 0;  // next byte to fetch; begin <= cursor <= end
  bool done() const { return cursor >= end; }
};

struct ResumeState {
  std::string url;
  std::string etag;
  std::string lastModified;
  int64_t totalSize = 0;
  std::vector<Segment> segments;

  // Nothing when the file is missing, unreadable or inconsistent.
  static std::optional<ResumeState> load(const std::string& path);
  // The caller syncs the data the cursors describe before saving.
  bool save(const std::string& path) const;
};

}  // namespace xldl
