#!/usr/bin/env python3
"""Draws every image of the run directory's resource folder.

    generate_images.py --catalogue app_list.csv --out <run>/资源文件 [--stamp file]

Writes the navigation icons, the system-button strips, the indicator frames download/
Download_1.png .. Download_95.png and one cover/<Slug>.png per catalogue row. The output
depends only on this folder's scripts, the catalogue file, the font and Pillow, and the PNG
files carry no time stamps, so two runs give the same bytes.
"""

import argparse
import csv
import pathlib
import sys

# The build runs this from the source tree; keep that tree free of compiled caches.
sys.dont_write_bytecode = True
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))

import covers  # noqa: E402
import indicator_frames  # noqa: E402
import ui_icons  # noqa: E402
import window_images  # noqa: E402
from painter import save_png  # noqa: E402


def read_catalogue(path):
    with open(path, newline="", encoding="utf-8") as f:
        return list(csv.DictReader(f))


def write_covers(rows, out_dir):
    # A row that left the catalogue takes its cover along, so the published files stay the
    # catalogue's own.
    wanted = {f"{row['Slug']}.png" for row in rows}
    for stale in (out_dir / "cover").glob("*.png") if (out_dir / "cover").is_dir() else ():
        if stale.name not in wanted:
            stale.unlink()
    for row in rows:
        image = covers.cover(row["Columns"], row["Name"], row["Glyph"], row["Badge"])
        save_png(image, out_dir / "cover" / f"{row['Slug']}.png")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--catalogue", required=True, type=pathlib.Path)
    parser.add_argument("--out", required=True, type=pathlib.Path)
    parser.add_argument("--stamp", type=pathlib.Path)
    args = parser.parse_args()

    rows = read_catalogue(args.catalogue)
    for row in rows:
        kind = row["Glyph"].partition(":")[0]
        if kind not in covers.GLYPHS:
            sys.exit(f"{args.catalogue}: row {row['ID']} names an unknown glyph '{kind}'")
        if row["Badge"] not in covers.BADGES and row["Badge"] != "none":
            sys.exit(f"{args.catalogue}: row {row['ID']} names an unknown badge '{row['Badge']}'")

    window_images.write_all(args.out, save_png)
    ui_icons.write_all(args.out, save_png)
    indicator_frames.write_all(args.out, save_png)
    write_covers(rows, args.out)
    if args.stamp:
        args.stamp.parent.mkdir(parents=True, exist_ok=True)
        args.stamp.write_text(f"{len(rows)} covers\n")


if __name__ == "__main__":
    main()
