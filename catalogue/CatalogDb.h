// The catalogue connection. Every statement's inserted values travel as bound parameters, so a
// text holding quotes, wildcards or "--" can neither break a statement nor change what it does.
// The connection is opened in SQLite's serialized mode: the weather thread shares it.
#pragma once

#include <sqlite3.h>

#include <memory>
#include <vector>

#include "catalogue/RowCursor.h"

class CatalogDb {
 public:
  // Opens an existing file (CP936 path); never creates one.
  bool open(const AnsiText& path);
  // False only when SQLite reports the connection busy.
  bool close();
  bool isOpen() const { return db_ != nullptr; }
  // Compiles one SELECT with its parameters bound (texts, CP936); not run yet.
  RowCursor query(const AnsiText& sql, const std::vector<AnsiText>& parameters = {});
  // Runs a statement that returns no rows; true when SQLite reports success.
  bool execute(const AnsiText& sql, const std::vector<AnsiText>& parameters = {});

 private:
  sqlite3_stmt* prepare(const AnsiText& sql, const std::vector<AnsiText>& parameters);

  struct Closer {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
  };
  std::unique_ptr<sqlite3, Closer> db_;
};
