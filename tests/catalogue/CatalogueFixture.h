// A real catalogue file in a scratch directory, with the schema the product ships.
#pragma once

#include <sqlite3.h>

#include <string>

#include "support/ScratchDirectory.h"

class CatalogueFixture {
 public:
  CatalogueFixture();
  // Runs SQL (UTF-8) directly on the file, outside the code under test.
  void exec(const std::string& sql);
  std::string path() const { return scratch_.file("CONFIG.db"); }
  // One column of one row read directly from the file.
  std::string read(const std::string& sql);

 private:
  ScratchDirectory scratch_;
};
