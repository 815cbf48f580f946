#include "catalogue/CatalogueQueries.h"

#include <memory>

namespace {

struct CatalogueState {
  CatalogDb db;
  std::vector<AppRecord> loaded;
};

std::unique_ptr<CatalogueState>& State() {
  static std::unique_ptr<CatalogueState> state = std::make_unique<CatalogueState>();
  return state;
}

CatalogueState& LiveState() {
  if (!State()) State() = std::make_unique<CatalogueState>();
  return *State();
}

AppRecord ReadRecord(const RowCursor& cursor) {
  return AppRecord{
      cursor.text("Columns"),          cursor.text("Name"),     cursor.text("Version"),
      cursor.text("NewVersion"),       cursor.text("Cover"),    cursor.text("Cover_download_http"),
      cursor.text("Cover_path"),       cursor.text("Cover_md5"), cursor.text("App_download_http"),
      cursor.text("App_md5"),          cursor.text("App_Install_path"), cursor.text("App_Launch_path"),
      cursor.text("ID"),               cursor.text("IsCollection"),
  };
}

void LoadRows(const AnsiText& sql, const std::vector<AnsiText>& parameters = {}) {
  std::vector<AppRecord>& records = LoadedRecords();
  records.clear();
  RowCursor cursor = TheCatalogDb().query(sql, parameters);
  cursor.rewind();
  cursor.next();
  while (!cursor.atEnd()) {
    records.push_back(ReadRecord(cursor));
    cursor.next();
  }
  cursor.close();
}

}  // namespace

CatalogDb& TheCatalogDb() { return LiveState().db; }

std::vector<AppRecord>& LoadedRecords() { return LiveState().loaded; }

void ReleaseCatalogueState() {
  if (!State()) return;
  State()->db.close();
  State().reset();
}

void QueryCategory(const AnsiText& key) {
  if (key == "video") return LoadRows("select * from App_List where Columns = 'video'");
  if (key == "image") return LoadRows("select * from App_List where Columns = 'image'");
  if (key == "effice") return LoadRows("select * from App_List where Columns = 'effice'");
  if (key == "ocr") return LoadRows("select * from App_List where Columns = 'ocr'");
  LoadedRecords().clear();
}

void QueryByName(const AnsiText& text) {
  LoadRows("select * from App_List where Name like '%' || ? || '%'", {text});
}

void QueryFavourites() { LoadRows("SELECT * FROM App_List WHERE IsCollection=1"); }

std::vector<AnsiText> QueryInstallDirectories() {
  std::vector<AnsiText> directories;
  RowCursor cursor = TheCatalogDb().query("SELECT App_Install_path FROM App_List", {});
  cursor.rewind();
  while (cursor.next()) directories.push_back(cursor.text("App_Install_path"));
  cursor.close();
  return directories;
}

bool SetFavourite(const AnsiText& id, bool on) {
  return TheCatalogDb().execute(on ? "UPDATE App_List SET IsCollection = '1' WHERE ID =?"
                                   : "UPDATE App_List SET IsCollection = '0' WHERE ID =?",
                                {id});
}

AnsiText LookupCityAdcode(const AnsiText& city) {
  RowCursor cursor = TheCatalogDb().query("select * from city_id where city = ?", {city});
  cursor.rewind();
  cursor.next();
  AnsiText code = cursor.text("city_adcode");
  cursor.close();
  return code;
}
