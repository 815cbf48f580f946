#include "catalogue/CatalogueFixture.h"

#include <stdexcept>

namespace {
constexpr const char* kSchema =
    "CREATE TABLE App_List (Columns TEXT, Name TEXT, Version TEXT, NewVersion TEXT, Cover TEXT,"
    " Cover_download_http TEXT, Cover_path TEXT, Cover_md5 TEXT, App_download_http TEXT, App_md5 TEXT,"
    " App_Install_path TEXT, App_Launch_path TEXT, ID INTEGER, IsCollection INTEGER);"
    "CREATE TABLE city_id (city TEXT, city_adcode TEXT);";
}

CatalogueFixture::CatalogueFixture() { exec(kSchema); }

void CatalogueFixture::exec(const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open(path().c_str(), &db);
  char* error = nullptr;
  int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
  std::string message = error ? error : "";
  sqlite3_free(error);
  sqlite3_close(db);
  if (rc != SQLITE_OK) throw std::runtime_error(message);
}

std::string CatalogueFixture::read(const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open(path().c_str(), &db);
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
  std::string value;
  if (statement && sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0)) {
    value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
  }
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return value;
}
