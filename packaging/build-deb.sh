#!/usr/bin/env bash
# Makes the Debian package from the install tree of a built build directory.
#   build-deb.sh BUILD_DIR VERSION CHANGELOG   ->  BUILD_DIR/quillbay_<VERSION>_<arch>.deb
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
changelog=$3
here=$(cd "$(dirname "$0")" && pwd)
arch=$(dpkg --print-architecture)
work="$build/packaging/deb"
root="$work/root"
rm -rf "$work"
mkdir -p "$root/DEBIAN"

DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
# What the run directory holds is read by every user; only the programs are executable.
find "$root/usr" -type d -exec chmod 0755 {} +
find "$root/usr" -type f -exec chmod 0644 {} +
for program in "$root/usr/bin/quillbay" "$root/usr/lib/quillbay/quillbay" "$root/usr/lib/quillbay/UpDater.exe"; do
  chmod 0755 "$program"
done
gzip -9n -c "$changelog" >"$root/usr/share/doc/quillbay/changelog.gz"

# Depends: the libraries every program links, the toolkit and the engine the launcher carries
# included (they are written out at run time, so dpkg cannot see them inside the launcher).
mkdir -p "$work/shlibs/debian"
printf 'Source: quillbay\n\nPackage: quillbay\nArchitecture: any\n' >"$work/shlibs/debian/control"
objects=("$root/usr/bin/quillbay" "$root/usr/lib/quillbay/quillbay" "$root/usr/lib/quillbay/UpDater.exe"
         "$root/usr/lib/quillbay/Guide.dll" "$root/usr/lib/quillbay/libwin32.so" "$build/shipped/XCGUI.dll")
for engine in "$build"/payload/*.dll; do [ -f "$engine" ] && objects+=("$engine"); done
shlibs=$(cd "$work/shlibs" && dpkg-shlibdeps -O -l"$root/usr/lib/quillbay" "${objects[@]}" 2>/dev/null |
         sed -n 's/^shlibs:Depends=//p')
[ -n "$shlibs" ] || { echo "build-deb.sh: dpkg-shlibdeps found no libraries" >&2; exit 1; }

size=$(du -k -s "$root/usr" | cut -f1)
sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$arch/" -e "s/@SHLIBS@/$shlibs/" -e "s/@SIZE@/$size/" \
  "$here/control.in" >"$root/DEBIAN/control"
(cd "$root" && find usr -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum) >"$root/DEBIAN/md5sums"
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"

out="$build/quillbay_${version}_${arch}.deb"
dpkg-deb --root-owner-group -Zxz --build "$root" "$out" >/dev/null
echo "$out"
