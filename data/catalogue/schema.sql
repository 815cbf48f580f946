-- The catalogue the launcher reads. Every column of App_List is read as text; ID and
-- IsCollection carry INTEGER affinity so that the launcher's quoted values ('5', '1') and its
-- unquoted favourite test (IsCollection=1) compare equal to the stored integers.
CREATE TABLE App_List (
    Columns             TEXT NOT NULL,
    Name                TEXT NOT NULL,
    Version             TEXT,
    NewVersion          TEXT,
    Cover               TEXT,
    Cover_download_http TEXT,
    Cover_path          TEXT,
    Cover_md5           TEXT,
    App_download_http   TEXT,
    App_md5             TEXT,
    App_Install_path    TEXT,
    App_Launch_path     TEXT,
    ID                  INTEGER PRIMARY KEY,
    IsCollection        INTEGER NOT NULL DEFAULT 0 CHECK (IsCollection IN (0, 1))
);

-- City name as the location lookup spells it, and the area code the weather service takes.
CREATE TABLE city_id (
    city        TEXT NOT NULL,
    city_adcode TEXT NOT NULL
);
CREATE INDEX city_id_by_city ON city_id (city);
