#include "catalogue/RowCursor.h"

#include <strings.h>

#include "shell/startup/CodePageText.h"

RowCursor::RowCursor(sqlite3_stmt* statement) : statement_(statement) { atEnd_ = statement == nullptr; }

void RowCursor::rewind() {
  if (!statement_) return;
  sqlite3_reset(statement_.get());
  onRow_ = false;
  atEnd_ = false;
}

bool RowCursor::next() {
  if (!statement_ || atEnd_) return false;
  onRow_ = sqlite3_step(statement_.get()) == SQLITE_ROW;
  atEnd_ = !onRow_;
  return onRow_;
}

bool RowCursor::atEnd() const { return !statement_ || atEnd_; }

AnsiText RowCursor::text(const AnsiText& column) const {
  if (!statement_ || !onRow_) return AnsiText();
  std::string wanted = AnsiToUtf8(column);
  int count = sqlite3_column_count(statement_.get());
  for (int i = 0; i < count; ++i) {
    const char* name = sqlite3_column_name(statement_.get(), i);
    if (name == nullptr || strcasecmp(name, wanted.c_str()) != 0) continue;
    const unsigned char* value = sqlite3_column_text(statement_.get(), i);
    if (value == nullptr) return AnsiText();
    return Utf8ToAnsiText(reinterpret_cast<const char*>(value));
  }
  return AnsiText();
}

void RowCursor::close() {
  statement_.reset();
  onRow_ = false;
  atEnd_ = true;
}
