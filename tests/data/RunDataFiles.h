// Helpers shared by the tests of the run directory's data files: SQLite handles, MD5 sums,
// PNG pixels (read with SDL2_image, the loader the toolkit uses) and the data scripts run as
// child processes.
#pragma once

#include <SDL.h>
#include <SDL_image.h>
#include <openssl/evp.h>
#include <sqlite3.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qbtest {

namespace fs = std::filesystem;

struct DatabaseCloser {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StatementFinalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Database = std::unique_ptr<sqlite3, DatabaseCloser>;
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;
using Row = std::vector<std::string>;

inline fs::path RunDir() {
  return QB_RUN_DIR;
}
inline fs::path ResourceDir() {
  return RunDir() / "资源文件";
}

// Opens an existing database; empty when SQLite refuses.
inline Database OpenDatabase(const fs::path& path, int flags = SQLITE_OPEN_READONLY) {
  sqlite3* raw = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
  Database db(raw);
  if (rc != SQLITE_OK) db.reset();
  return db;
}

// Runs one statement and returns every row as texts (NULL reads as empty text). A statement
// that does not compile or fails while stepping gives no rows and sets *ok to false.
inline std::vector<Row> Query(sqlite3* db, const std::string& sql, bool* ok = nullptr) {
  sqlite3_stmt* raw = nullptr;
  std::vector<Row> rows;
  if (ok) *ok = false;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) return rows;
  Statement statement(raw);
  int rc;
  while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
    Row row;
    for (int i = 0; i < sqlite3_column_count(statement.get()); ++i) {
      auto text = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), i));
      row.emplace_back(text ? text : "");
    }
    rows.push_back(std::move(row));
  }
  if (ok) *ok = rc == SQLITE_DONE;
  return rows;
}

inline std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string Md5Hex(const std::string& bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_md5(), nullptr);
  static const char hex[] = "0123456789abcdef";
  std::string out;
  for (unsigned int i = 0; i < length; ++i) {
    out += hex[digest[i] >> 4];
    out += hex[digest[i] & 15];
  }
  return out;
}

// A path of the program's own form ("\资源文件\cover\x.png") under the run directory.
inline fs::path RunPath(std::string relative) {
  for (char& c : relative)
    if (c == '\\') c = '/';
  while (!relative.empty() && relative.front() == '/') relative.erase(relative.begin());
  return RunDir() / relative;
}

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // R, G, B, A per pixel, rows top to bottom

  const std::uint8_t* at(int x, int y) const { return &pixels[(static_cast<size_t>(y) * width + x) * 4]; }
};

struct SurfaceFree {
  void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceFree>;

inline std::optional<RgbaImage> LoadPng(const fs::path& path) {
  Surface loaded(IMG_Load(path.c_str()));
  if (!loaded) return std::nullopt;
  Surface rgba(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGBA32, 0));
  if (!rgba) return std::nullopt;
  RgbaImage image;
  image.width = rgba->w;
  image.height = rgba->h;
  image.pixels.resize(static_cast<size_t>(image.width) * image.height * 4);
  for (int y = 0; y < image.height; ++y) {
    auto row = static_cast<const std::uint8_t*>(rgba->pixels) + static_cast<size_t>(y) * rgba->pitch;
    std::copy(row, row + image.width * 4, image.pixels.begin() + static_cast<size_t>(y) * image.width * 4);
  }
  return image;
}

// Runs one of the data scripts with the build's Python and returns its exit status.
inline int RunScript(const fs::path& script, const std::vector<std::string>& arguments) {
  std::string command = "'" QB_DATA_PYTHON "' '" + script.string() + "'";
  for (const auto& argument : arguments) command += " '" + argument + "'";
  command += " >/dev/null 2>&1";
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline fs::path SourcePath(const std::string& relative) {
  return fs::path(QB_SOURCE_DIR) / relative;
}

}  // namespace qbtest
