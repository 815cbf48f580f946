// One compiled SELECT statement and its position. A cursor without a statement (the query did
// not compile, or the connection is closed) has no rows.
#pragma once

#include <sqlite3.h>

#include <memory>

#include "shell/SharedTypes.h"

class RowCursor {
 public:
  RowCursor() = default;
  explicit RowCursor(sqlite3_stmt* statement);

  // Puts the cursor before the first row.
  void rewind();
  // Moves to the next row; true when a row is there.
  bool next();
  // True after the last row has been passed, when there were no rows, and without a statement.
  bool atEnd() const;
  // The named column of the current row (ASCII letters compared case-insensitively); empty for
  // an unknown column, NULL, or no current row.
  AnsiText text(const AnsiText& column) const;
  void close();

 private:
  struct Finalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
  };
  std::unique_ptr<sqlite3_stmt, Finalizer> statement_;
  bool onRow_ = false;
  bool atEnd_ = true;
};
