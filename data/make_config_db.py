#!/usr/bin/env python3
"""Builds the launcher's catalogue database CONFIG.db.

    make_config_db.py --schema schema.sql --catalogue app_list.csv --cities city_id.csv
                      --resources <run>/资源文件 --archives <dist>/tools --base-url URL
                      --out <run>/CONFIG.db --published <run>/资源文件/catalogue/CONFIG.db

The catalogue rows name each tool once (Slug, Dir); the paths and addresses the launcher
reads are derived from them here so they cannot drift apart. Cover_md5 and App_md5 are the
MD5s of the cover image and of the tool archive the build has already made; the addresses are
those of the distribution site at URL. Each file is written beside its target and renamed over
it, so a failed build never leaves a half-filled database.

Two copies are written: the launcher's CONFIG.db, whose favourite flags the user changes, and
the catalogue as published, which nothing changes: the update manifest lists the published one,
so a favourite never looks like a file that needs updating, and the updater carries the user's
flags over when a new catalogue arrives.
"""

import argparse
import csv
import hashlib
import os
import pathlib
import sqlite3
import sys

CATEGORY_KEYS = ("video", "image", "effice", "ocr")


def file_md5(path):
    return hashlib.md5(path.read_bytes()).hexdigest()


def app_row(row, resources, archives, base_url):
    slug, folder = row["Slug"], row["Dir"]
    cover_file = resources / "cover" / f"{slug}.png"
    if not cover_file.is_file():
        sys.exit(f"cover image missing for row {row['ID']}: {cover_file}")
    archive = archives / f"{slug}.zip"
    if not archive.is_file():
        sys.exit(f"tool archive missing for row {row['ID']}: {archive}")
    install = "\\Application\\" + folder
    return {
        "Columns": row["Columns"],
        "Name": row["Name"],
        "Version": row["Version"],
        "NewVersion": row["NewVersion"],
        "Cover": f"{slug}.png",
        "Cover_download_http": f"{base_url}/covers/{slug}.png",
        "Cover_path": f"\\资源文件\\cover\\{slug}.png",
        "Cover_md5": file_md5(cover_file),
        "App_download_http": f"{base_url}/tools/{slug}.zip",
        "App_md5": file_md5(archive),
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
    for name in ("schema", "catalogue", "cities", "resources", "archives", "out", "published"):
        parser.add_argument(f"--{name}", required=True, type=pathlib.Path)
    parser.add_argument("--base-url", required=True)
    args = parser.parse_args()
    base_url = args.base_url.rstrip("/")

    with open(args.catalogue, newline="", encoding="utf-8") as f:
        catalogue = list(csv.DictReader(f))
    check_catalogue(catalogue)
    apps = [app_row(r, args.resources, args.archives, base_url) for r in catalogue]
    with open(args.cities, newline="", encoding="utf-8") as f:
        cities = [(r["city"], r["city_adcode"]) for r in csv.DictReader(f)]

    for target in (args.published, args.out):
        write_database(target, args.schema, apps, cities)


def write_database(target, schema, apps, cities):
    target.parent.mkdir(parents=True, exist_ok=True)
    partial = target.with_name(target.name + ".partial")
    partial.unlink(missing_ok=True)
    db = sqlite3.connect(partial)
    try:
        db.executescript(schema.read_text(encoding="utf-8"))
        columns = list(apps[0].keys())
        db.executemany(
            f"INSERT INTO App_List ({', '.join(columns)}) VALUES ({', '.join(':' + c for c in columns)})", apps)
        db.executemany("INSERT INTO city_id (city, city_adcode) VALUES (?, ?)", cities)
        db.commit()
    finally:
        db.close()
    os.replace(partial, target)

if __name__ == "__main__":
    main()
