#include "platform/updater/CatalogueMerge.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <memory>
#include <system_error>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

const char* const kPublishedCatalogue = "资源文件/catalogue/CONFIG.db";

namespace {

struct DbCloser {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct StatementFinalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

Db Open(const fs::path& path, int flags, std::string* error) {
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
  Db db(raw);
  if (rc != SQLITE_OK) {
    *error = path.string() + "：" + (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc));
    return nullptr;
  }
  return db;
}

Statement Prepare(sqlite3* db, const char* sql) {
  sqlite3_stmt* raw = nullptr;
  sqlite3_prepare_v2(db, sql, -1, &raw, nullptr);
  return Statement(raw);
}

// (ID, IsCollection) of every row the user marked; empty when there is no old catalogue.
std::vector<std::pair<sqlite3_int64, int>> UserFlags(const fs::path& catalogue) {
  std::vector<std::pair<sqlite3_int64, int>> flags;
  std::string ignored;
  Db db = std::filesystem::exists(catalogue) ? Open(catalogue, SQLITE_OPEN_READONLY, &ignored) : nullptr;
  if (!db) return flags;
  Statement rows = Prepare(db.get(), "SELECT ID, IsCollection FROM App_List WHERE IsCollection = 1");
  while (rows && sqlite3_step(rows.get()) == SQLITE_ROW) {
    flags.emplace_back(sqlite3_column_int64(rows.get(), 0), sqlite3_column_int(rows.get(), 1));
  }
  return flags;
}

bool ApplyFlags(const fs::path& catalogue, const std::vector<std::pair<sqlite3_int64, int>>& flags,
                std::string* error) {
  Db db = Open(catalogue, SQLITE_OPEN_READWRITE, error);
  if (!db) return false;
  Statement update = Prepare(db.get(), "UPDATE App_List SET IsCollection = ? WHERE ID = ?");
  if (!update || sqlite3_exec(db.get(), "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK) {
    *error = sqlite3_errmsg(db.get());
    return false;
  }
  for (const auto& [id, flag] : flags) {
    sqlite3_bind_int(update.get(), 1, flag);
    sqlite3_bind_int64(update.get(), 2, id);
    if (sqlite3_step(update.get()) != SQLITE_DONE) {
      *error = sqlite3_errmsg(db.get());
      return false;
    }
    sqlite3_reset(update.get());
  }
  if (sqlite3_exec(db.get(), "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
    *error = sqlite3_errmsg(db.get());
    return false;
  }
  return true;
}

bool SyncFile(const fs::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

}  // namespace

bool MergeCatalogue(const fs::path& runDirectory, std::string* error) {
  const fs::path published = runDirectory / kPublishedCatalogue;
  const fs::path live = runDirectory / "CONFIG.db";
  const fs::path fresh = runDirectory / ".CONFIG.db.update";
  std::error_code failure;
  fs::copy_file(published, fresh, fs::copy_options::overwrite_existing, failure);
  if (failure) {
    *error = published.string() + "：" + failure.message();
    return false;
  }
  if (!ApplyFlags(fresh, UserFlags(live), error) || !SyncFile(fresh)) {
    if (error->empty()) *error = fresh.string() + "：无法写入";
    fs::remove(fresh, failure);
    return false;
  }
  fs::rename(fresh, live, failure);
  if (failure) {
    *error = live.string() + "：" + failure.message();
    fs::remove(fresh, failure);
    return false;
  }
  return true;
}
