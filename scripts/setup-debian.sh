#!/usr/bin/env bash
# Installs every Debian package the launcher needs to build, run and test.
# Safe to run again: apt-get only adds what is missing.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

packages=(
  build-essential cmake ninja-build pkg-config git ca-certificates
  libsqlite3-dev sqlite3 zlib1g-dev libminizip-dev
  libcurl4-openssl-dev libssl-dev
  libsdl2-dev libsdl2-ttf-dev libsdl2-image-dev libx11-dev fonts-wqy-microhei libpugixml-dev
  duktape-dev libpcre2-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev
  xvfb xauth xdotool imagemagick x11-utils openbox xcompmgr
  clang-14 libclang-rt-14-dev
  aria2 curl time bc gnuplot-nox python3 python3-pil locales unzip
  # the Debian package and its checks
  dpkg-dev desktop-file-utils appstream lintian
  # the distribution site
  nginx-light
  # what the office tools behind the cards work with
  zenity xclip xdg-utils ffmpeg imagemagick ghostscript qpdf poppler-utils
  tesseract-ocr tesseract-ocr-chi-sim tesseract-ocr-eng qrencode zbar-tools espeak-ng libheif-examples
  fonts-arphic-gkai00mp fonts-arphic-gbsn00lp fonts-dejavu-core librsvg2-bin
  libreoffice-writer-nogui libreoffice-calc-nogui libreoffice-impress-nogui
)

$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${packages[@]}"

# The tools' dialogs speak Simplified Chinese where the system has the locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  $SUDO sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
