#!/usr/bin/env python3
"""The launcher's own icon: a white toolbox on a rounded violet tile, as an SVG (the hicolor
theme's scalable icon) and PNGs rendered from it at the theme's fixed sizes.

    app_icon.py --out DIR      writes DIR/scalable/apps/quillbay.svg and DIR/<n>x<n>/apps/quillbay.png
"""

import argparse
import pathlib
import subprocess

SIZES = (48, 64, 128, 256)

SVG = """<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <defs>
    <linearGradient id="tile" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#8a5cff"/>
      <stop offset="1" stop-color="#4a3ad8"/>
    </linearGradient>
    <linearGradient id="lid" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#ffffff"/>
      <stop offset="1" stop-color="#e9e4ff"/>
    </linearGradient>
  </defs>
  <rect x="8" y="8" width="240" height="240" rx="52" fill="url(#tile)"/>
  <!-- handle -->
  <path d="M96 92 V74 a14 14 0 0 1 14 -14 h36 a14 14 0 0 1 14 14 V92" fill="none"
        stroke="#ffffff" stroke-width="14" stroke-linecap="round"/>
  <!-- body -->
  <rect x="44" y="90" width="168" height="110" rx="18" fill="url(#lid)"/>
  <!-- the lid's seam and the latch -->
  <rect x="44" y="128" width="168" height="8" fill="#4a3ad8" opacity="0.35"/>
  <rect x="112" y="118" width="32" height="28" rx="7" fill="#ff8a4c"/>
  <!-- a spark: tools inside -->
  <path d="M184 36 l7 17 17 7 -17 7 -7 17 -7 -17 -17 -7 17 -7 z" fill="#ffd166"/>
</svg>
"""


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", required=True, type=pathlib.Path)
    args = parser.parse_args()
    scalable = args.out / "scalable" / "apps" / "quillbay.svg"
    scalable.parent.mkdir(parents=True, exist_ok=True)
    scalable.write_text(SVG, encoding="utf-8")
    for size in SIZES:
        png = args.out / f"{size}x{size}" / "apps" / "quillbay.png"
        png.parent.mkdir(parents=True, exist_ok=True)
        subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), "-o", str(png), str(scalable)], check=True)


if __name__ == "__main__":
    main()
