// What the page builder shows of a tool, read from the catalogue beside the executable.
#pragma once

#include <optional>
#include <string>

struct CatalogueEntry {
  std::string name;        // UTF-8
  std::string category;    // the category key
  std::string version;
  std::string coverPath;   // Windows-style, relative to the run directory
  std::string launchPath;  // Windows-style, relative to the run directory
};

// The first App_List row with that name (UTF-8), read-only; nothing when the catalogue or the
// row is missing.
std::optional<CatalogueEntry> FindCatalogueEntry(const std::string& runDirectory, const std::string& name);
