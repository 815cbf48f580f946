#include "platform/guide/CatalogueEntry.h"

#include <sqlite3.h>

#include <memory>

namespace {
struct DbCloser {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct StatementFinalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

std::string Column(sqlite3_stmt* statement, int index) {
  const unsigned char* text = sqlite3_column_text(statement, index);
  return text ? reinterpret_cast<const char*>(text) : std::string();
}
}  // namespace

std::optional<CatalogueEntry> FindCatalogueEntry(const std::string& runDirectory, const std::string& name) {
  sqlite3* raw = nullptr;
  std::string path = runDirectory + "/CONFIG.db";
  if (sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close_v2(raw);
    return std::nullopt;
  }
  std::unique_ptr<sqlite3, DbCloser> db(raw);
  sqlite3_stmt* rawStatement = nullptr;
  const char* sql = "select Name, Columns, Version, Cover_path, App_Launch_path from App_List where Name = ? limit 1";
  if (sqlite3_prepare_v2(db.get(), sql, -1, &rawStatement, nullptr) != SQLITE_OK) return std::nullopt;
  std::unique_ptr<sqlite3_stmt, StatementFinalizer> statement(rawStatement);
  sqlite3_bind_text(statement.get(), 1, name.c_str(), -1, SQLITE_TRANSIENT);
  if (sqlite3_step(statement.get()) != SQLITE_ROW) return std::nullopt;
  return CatalogueEntry{Column(statement.get(), 0), Column(statement.get(), 1), Column(statement.get(), 2),
                        Column(statement.get(), 3), Column(statement.get(), 4)};
}
