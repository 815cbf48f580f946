#!/usr/bin/env python3
"""Builds the launcher's catalogue database CONFIG.db.

    make_config_db.py --schema schema.sql --catalogue app_list.csv --cities city_id.csv
                      --resources <run>/资源文件 --out <run>/CONFIG.db

The catalogue rows name each tool once (Slug, Dir); the paths and addresses the launcher
reads are derived from them here so they cannot drift apart. Cover_md5 is the MD5 of the
cover image already drawn into the resource folder. The file is written beside the target
and renamed over it, so a failed build never leaves a half-filled database.
"""

import argparse
import csv
import hashlib
import os
import pathlib
import sqlite3
import sys

DOWNLOAD_HOST = "http://update.quillbay.example"
CATEGORY_KEYS = ("video", "image", "effice", "ocr")


def app_row(row, resources):
    slug, folder = row["Slug"], row["Dir"]
    cover_file = resources / "cover" / f"{slug}.png"
    if not cover_file.is_file():
        sys.exit(f"cover image missing for row {row['ID']}: {cover_file}")
    install = "\\Application\\" + folder
    return {
        "Columns": row["Columns"],
        "Name": row["Name"],
        "Version": row["Version"],
        "NewVersion": row["NewVersion"],
        "Cover": f"{slug}.png",
        "Cover_download_http": f"{DOWNLOAD_HOST}/covers/{slug}.png",
        "Cover_path": f"\\资源文件\\cover\\{slug}.png",
        "Cover_md5": hashlib.md5(cover_file.read_bytes()).hexdigest(),
        "App_download_http": f"{DOWNLOAD_HOST}/tools/{slug}.zip",
        # No archive is published yet, so there is no checksum to promise.
        "App_md5": "",
        "App_Install_path": install,
        "App_Launch_path": f"{install}\\{slug}.sh",
        "ID": int(row["ID"]),
        "IsCollection": 0,
    }


def check_catalogue(rows):
    names = [r["Name"] for r in rows]
    ids = [r["ID"] for r in rows]
    slugs = [r["Slug"] for r in rows]
    for label, values in (("Name", names), ("ID", ids), ("Slug", slugs)):
        if len(set(values)) != len(values):
            sys.exit(f"catalogue has a repeated {label}")
    missing = [k for k in CATEGORY_KEYS if k not in {r["Columns"] for r in rows}]
    if missing:
        sys.exit(f"catalogue has no rows for {', '.join(missing)}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for name in ("schema", "catalogue", "cities", "resources", "out"):
        parser.add_argument(f"--{name}", required=True, type=pathlib.Path)
    args = parser.parse_args()

    with open(args.catalogue, newline="", encoding="utf-8") as f:
        catalogue = list(csv.DictReader(f))
    check_catalogue(catalogue)
    apps = [app_row(r, args.resources) for r in catalogue]
    with open(args.cities, newline="", encoding="utf-8") as f:
        cities = [(r["city"], r["city_adcode"]) for r in csv.DictReader(f)]

    args.out.parent.mkdir(parents=True, exist_ok=True)
    partial = args.out.with_name(args.out.name + ".partial")
    partial.unlink(missing_ok=True)
    db = sqlite3.connect(partial)
    try:
        db.executescript(args.schema.read_text(encoding="utf-8"))
        columns = list(apps[0].keys())
        db.executemany(
            f"INSERT INTO App_List ({', '.join(columns)}) VALUES ({', '.join(':' + c for c in columns)})", apps)
        db.executemany("INSERT INTO city_id (city, city_adcode) VALUES (?, ?)", cities)
        db.commit()
    finally:
        db.close()
    os.replace(partial, args.out)


if __name__ == "__main__":
    main()
