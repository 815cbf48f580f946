#include "catalogue/CatalogDb.h"

#include "platform/win32/Win32.h"
#include "shell/startup/CodePageText.h"

bool CatalogDb::open(const AnsiText& path) {
  db_.reset();
  sqlite3* handle = nullptr;
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX;
  int rc = sqlite3_open_v2(QbNativePath(path.c_str()).c_str(), &handle, flags, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_close_v2(handle);
    return false;
  }
  db_.reset(handle);
  // A file that exists but is not a database opens fine; reading its schema tells.
  if (sqlite3_exec(handle, "select count(*) from sqlite_master", nullptr, nullptr, nullptr) != SQLITE_OK) {
    db_.reset();
    return false;
  }
  sqlite3_busy_timeout(handle, 2000);
  return true;
}

bool CatalogDb::close() {
  if (!db_) return true;
  if (sqlite3_close(db_.get()) == SQLITE_BUSY) return false;
  (void)db_.release();
  return true;
}

sqlite3_stmt* CatalogDb::prepare(const AnsiText& sql, const std::vector<AnsiText>& parameters) {
  if (!db_) return nullptr;
  std::string utf8 = AnsiToUtf8(sql);
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db_.get(), utf8.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    sqlite3_finalize(statement);
    return nullptr;
  }
  for (size_t i = 0; i < parameters.size(); ++i) {
    std::string value = AnsiToUtf8(parameters[i]);
    sqlite3_bind_text(statement, static_cast<int>(i + 1), value.c_str(), static_cast<int>(value.size()),
                      SQLITE_TRANSIENT);
  }
  return statement;
}

RowCursor CatalogDb::query(const AnsiText& sql, const std::vector<AnsiText>& parameters) {
  return RowCursor(prepare(sql, parameters));
}

bool CatalogDb::execute(const AnsiText& sql, const std::vector<AnsiText>& parameters) {
  sqlite3_stmt* statement = prepare(sql, parameters);
  if (statement == nullptr) return false;
  int rc = sqlite3_step(statement);
  sqlite3_finalize(statement);
  return rc == SQLITE_DONE || rc == SQLITE_ROW;
}
