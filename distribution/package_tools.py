#!/usr/bin/env python3
"""Packs every catalogue row's tool into the ZIP archive its card downloads.

    package_tools.py --catalogue app_list.csv --tools distribution/tools --out build/dist/tools
                     --stamp tools.stamp

An archive holds the tool's folder (its launch file <slug>.sh, README and whatever else it keeps)
and the shared common/qbtool.sh, at the archive's root: it is unpacked into the tool's install
directory. A folder may list files of the system in system-files.txt ("SOURCE DESTINATION", one
pair a line), which are copied in at this moment (material such as font files that Debian ships
and the repository does not keep).

Archives are reproducible: members in name order, fixed dates and modes, so that the same
sources give the same bytes and the same MD5 in CONFIG.db and the update manifest.
"""

import argparse
import csv
import os
import pathlib
import sys
import zipfile

FIXED_DATE = (2026, 1, 1, 0, 0, 0)
COMMON_FILES = ("qbtool.sh",)


def system_files(folder):
    listing = folder / "system-files.txt"
    if not listing.is_file():
        return []
    pairs = []
    for number, line in enumerate(listing.read_text(encoding="utf-8").splitlines(), 1):
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        parts = line.split(None, 1)
        if len(parts) != 2:
            sys.exit(f"{listing}:{number}: expected 'SOURCE DESTINATION'")
        source, destination = pathlib.Path(parts[0]), parts[1].strip()
        if not source.is_file():
            sys.exit(f"{listing}:{number}: {source} is missing (install its Debian package)")
        if destination.startswith("/") or ".." in pathlib.PurePosixPath(destination).parts:
            sys.exit(f"{listing}:{number}: destination must stay inside the tool: {destination}")
        pairs.append((source, destination))
    return pairs


def members(tools, slug):
    """(archive name, file) pairs of one tool, sorted by archive name."""
    folder = tools / slug
    launch = folder / f"{slug}.sh"
    if not launch.is_file():
        sys.exit(f"tool '{slug}' has no launch file {launch}")
    found = {}
    for path in folder.rglob("*"):
        if path.is_file() and path.name != "system-files.txt":
            found[path.relative_to(folder).as_posix()] = path
    for name in COMMON_FILES:
        found[name] = tools / "common" / name
    for source, destination in system_files(folder):
        found[destination] = source
    return sorted(found.items())


def write_archive(target, entries):
    partial = target.with_name(target.name + ".partial")
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for name, path in entries:
            info = zipfile.ZipInfo(name, FIXED_DATE)
            info.compress_type = zipfile.ZIP_DEFLATED
            executable = name.endswith(".sh")
            info.external_attr = ((0o100755 if executable else 0o100644) << 16)
            archive.writestr(info, path.read_bytes())
    os.replace(partial, target)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for name in ("catalogue", "tools", "out", "stamp"):
        parser.add_argument(f"--{name}", required=True, type=pathlib.Path)
    args = parser.parse_args()
    with open(args.catalogue, newline="", encoding="utf-8") as f:
        slugs = [row["Slug"] for row in csv.DictReader(f)]
    args.out.mkdir(parents=True, exist_ok=True)
    for slug in slugs:
        write_archive(args.out / f"{slug}.zip", members(args.tools, slug))
    # Archives of rows that left the catalogue would stay downloadable without this.
    for stale in args.out.glob("*.zip"):
        if stale.stem not in slugs:
            stale.unlink()
    args.stamp.write_text("\n".join(slugs) + "\n", encoding="utf-8")


if __name__ == "__main__":
    main()
