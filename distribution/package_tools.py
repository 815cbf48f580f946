#!/usr/bin/env python3
"""Packs every catalogue row's tool into the ZIP archive its card downloads.

    package_tools.py --catalogue app_list.csv --tools distribution/tools --out build/dist/tools
                     --stamp tools.stamp

An archive holds the tool's folder (its launch file <slug>.sh, README and whatever else it keeps)
and the shared common/qbtool.sh, at the archive's root: it is unpacked into the tool's install
directory. A folder may list files of the system in system-files.txt ("SOURCE DESTINATION", one
pair a line), which are copied in at this moment (material such as font files that Debian ships
and the repository does not keep).

Each archive also holds <slug>.desktop.in, the tool's desktop entry: its card name, and the
types of file its chooser takes (from TOOL_FILTER, TOOL_INPUT_KIND and QB_MULTIPLE in the
launch file), so that once installed a file manager offers it under "Open with". The page
builder fills in @EXEC@ and @ICON@ with the installed paths.

Archives are reproducible: members in name order, fixed dates and modes, so that the same
sources give the same bytes and the same MD5 in CONFIG.db and the update manifest.
"""

import argparse
import csv
import os
import pathlib
import re
import sys
import zipfile

FIXED_DATE = (2026, 1, 1, 0, 0, 0)
COMMON_FILES = ("qbtool.sh",)


# The type of every file extension a tool's chooser names (shared-mime-info's names).
MIME_TYPES = {
    "mp4": "video/mp4", "m4v": "video/x-m4v", "mkv": "video/x-matroska", "mov": "video/quicktime",
    "avi": "video/x-msvideo", "wmv": "video/x-ms-wmv", "flv": "video/x-flv", "webm": "video/webm",
    "ts": "video/mp2t", "3gp": "video/3gpp", "mpg": "video/mpeg", "mpeg": "video/mpeg",
    "jpg": "image/jpeg", "jpeg": "image/jpeg", "png": "image/png", "webp": "image/webp",
    "bmp": "image/bmp", "tif": "image/tiff", "tiff": "image/tiff", "gif": "image/gif",
    "ico": "image/vnd.microsoft.icon", "heic": "image/heif", "heif": "image/heif", "hif": "image/heif",
    "pdf": "application/pdf",
    "doc": "application/msword", "rtf": "application/rtf",
    "docx": "application/vnd.openxmlformats-officedocument.wordprocessingml.document",
    "odt": "application/vnd.oasis.opendocument.text",
    "xls": "application/vnd.ms-excel", "csv": "text/csv",
    "xlsx": "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet",
    "ods": "application/vnd.oasis.opendocument.spreadsheet",
    "ppt": "application/vnd.ms-powerpoint", "pps": "application/vnd.ms-powerpoint",
    "pptx": "application/vnd.openxmlformats-officedocument.presentationml.presentation",
    "ppsx": "application/vnd.openxmlformats-officedocument.presentationml.slideshow",
    "odp": "application/vnd.oasis.opendocument.presentation",
    "txt": "text/plain", "text": "text/plain", "md": "text/markdown", "srt": "application/x-subrip",
    "lrc": "text/plain", "ini": "text/plain", "log": "text/x-log",
}


def launch_setting(script, name):
    found = re.search(rf'^{name}="?([^"\n]*)"?$', script, re.M)
    return found.group(1) if found else ""


def desktop_entry(slug, name, launch):
    """The tool's desktop entry, with @EXEC@ and @ICON@ left for the installed paths."""
    script = launch.read_text(encoding="utf-8")
    types = []
    if launch_setting(script, "TOOL_INPUT_KIND") == "directory":
        types = ["inode/directory"]
    else:
        for extension in re.findall(r"\*\.(\w+)", launch_setting(script, "TOOL_FILTER")):
            mime = MIME_TYPES.get(extension.lower())
            if mime is None:
                sys.exit(f"{launch}: no MIME type known for *.{extension} (add it to MIME_TYPES)")
            if mime not in types:
                types.append(mime)
    field = "%F" if launch_setting(script, "QB_MULTIPLE") == "1" else "%f"
    lines = ["[Desktop Entry]", "Type=Application", f"Name={name}", f"Name[zh_CN]={name}",
             "Comment=An office tool of Quillbay Office Tools", "Comment[zh_CN]=办公小工具箱中的工具",
             f"Exec=@EXEC@ {field}" if types else "Exec=@EXEC@", "Icon=@ICON@", "Terminal=false",
             "Categories=Office;"]
    if types:
        lines.append("MimeType=" + ";".join(types) + ";")
    return ("\n".join(lines) + "\n").encode("utf-8")


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
    """(archive name, file) pairs of one tool, sorted by archive name; a file is a path or the
    bytes themselves."""
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
    return found


def write_archive(target, entries):
    partial = target.with_name(target.name + ".partial")
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for name, path in entries:
            info = zipfile.ZipInfo(name, FIXED_DATE)
            info.compress_type = zipfile.ZIP_DEFLATED
            executable = name.endswith(".sh")
            info.external_attr = ((0o100755 if executable else 0o100644) << 16)
            archive.writestr(info, path if isinstance(path, bytes) else path.read_bytes())
    os.replace(partial, target)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for name in ("catalogue", "tools", "out", "stamp"):
        parser.add_argument(f"--{name}", required=True, type=pathlib.Path)
    args = parser.parse_args()
    with open(args.catalogue, newline="", encoding="utf-8") as f:
        rows = list(csv.DictReader(f))
    slugs = [row["Slug"] for row in rows]
    args.out.mkdir(parents=True, exist_ok=True)
    for row in rows:
        slug = row["Slug"]
        entries = members(args.tools, slug)
        entries[f"{slug}.desktop.in"] = desktop_entry(slug, row["Name"], args.tools / slug / f"{slug}.sh")
        write_archive(args.out / f"{slug}.zip", sorted(entries.items()))
    # Archives of rows that left the catalogue would stay downloadable without this.
    for stale in args.out.glob("*.zip"):
        if stale.stem not in slugs:
            stale.unlink()
    args.stamp.write_text("\n".join(slugs) + "\n", encoding="utf-8")


if __name__ == "__main__":
    main()
