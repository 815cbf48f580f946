#!/usr/bin/env python3
"""Lays out the distribution site: the launcher's own files and the update manifest.

    stage_site.py --run-dir build/run --site build/dist --base-url URL --make-manifest PROGRAM
                  --sign-manifest PROGRAM --signing-key KEY

The site serves, beside the tool archives (tools/, made by package_tools.py):
  run/                              the run directory's product files, which the updater fetches
  covers/                           the cover images the catalogue names
  screenshots/                      the screenshots the package's AppStream metadata shows
  quillbay_resalse/updata.html      the update manifest over run/, made by make-manifest
  quillbay_resalse/updata.html.sig  its Ed25519 signature, which the updater insists on

Only what the build puts into the run directory is published: the launcher's catalogue with
the user's favourites (CONFIG.db), the toolkit file it writes at start (XCGUI.dll) and the
tools it installed (Application/) are the user's and never listed.
"""

import argparse
import os
import pathlib
import shutil
import subprocess

PRODUCT = ("quillbay", "libwin32.so", "Guide.dll", "UpDater.exe", "布局文件", "资源文件")


def mirror(source, target):
    """Makes target hold exactly the product files of source, copying only what changed."""
    wanted = set()
    for top in PRODUCT:
        start = source / top
        paths = [start] if start.is_file() else sorted(p for p in start.rglob("*") if p.is_file())
        for path in paths:
            relative = path.relative_to(source)
            wanted.add(relative)
            copy = target / relative
            if copy.is_file() and copy.stat().st_size == path.stat().st_size and \
                    copy.stat().st_mtime_ns == path.stat().st_mtime_ns:
                continue
            copy.parent.mkdir(parents=True, exist_ok=True)
            shutil.copy2(path, copy)
    for path in sorted(target.rglob("*"), reverse=True):
        if path.is_file() and path.relative_to(target) not in wanted:
            path.unlink()
        elif path.is_dir() and not any(path.iterdir()):
            path.rmdir()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--run-dir", required=True, type=pathlib.Path)
    parser.add_argument("--site", required=True, type=pathlib.Path)
    parser.add_argument("--base-url", required=True)
    parser.add_argument("--make-manifest", required=True)
    parser.add_argument("--sign-manifest", required=True)
    parser.add_argument("--signing-key", required=True)
    parser.add_argument("--screenshots", type=pathlib.Path)
    args = parser.parse_args()
    base_url = args.base_url.rstrip("/")

    mirror(args.run_dir, args.site / "run")
    covers = args.site / "covers"
    covers.mkdir(parents=True, exist_ok=True)
    for cover in sorted((args.run_dir / "资源文件" / "cover").glob("*.png")):
        shutil.copy2(cover, covers / cover.name)
    if args.screenshots:
        shots = args.site / "screenshots"
        shots.mkdir(parents=True, exist_ok=True)
        for shot in sorted(args.screenshots.glob("*.png")):
            shutil.copy2(shot, shots / shot.name)

    manifest = args.site / "quillbay_resalse" / "updata.html"
    manifest.parent.mkdir(parents=True, exist_ok=True)
    partial = manifest.with_name(manifest.name + ".partial")
    with open(partial, "wb") as out:
        subprocess.run([args.make_manifest, str(args.site / "run"), f"{base_url}/run"], stdout=out, check=True)
    subprocess.run([args.sign_manifest, "sign", args.signing_key, str(partial), str(partial) + ".sig"], check=True)
    os.replace(str(partial) + ".sig", str(manifest) + ".sig")
    os.replace(partial, manifest)


if __name__ == "__main__":
    main()
