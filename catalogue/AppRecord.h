// One App_List row as held in memory; every field is the column of the same name, as text.
#pragma once

#include "shell/SharedTypes.h"

struct AppRecord {
  AnsiText Columns;
  AnsiText Name;
  AnsiText Version;
  AnsiText NewVersion;
  AnsiText Cover;
  AnsiText Cover_download_http;
  AnsiText Cover_path;
  AnsiText Cover_md5;
  AnsiText App_download_http;
  AnsiText App_md5;
  AnsiText App_Install_path;
  AnsiText App_Launch_path;
  AnsiText ID;
  AnsiText IsCollection;
};
